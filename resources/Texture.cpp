// Texture: the ".glt" reader, the upload with mipmaps, and the texture registry.
#include "resources/Texture.h"
#include "app/Application.h"
#include "app/Log.h"
#include "resources/ChunkFile.h"
#include "resources/FileSystem.h"
#include "resources/Stream.h"
#include <memory>

namespace {

Texture* loadFailed(const String& name) {
    Log* log = Application::instance()->log;
    if (log != nullptr)
        log->write(String("Texture id=") + name + String(" load failed"));
    return nullptr;
}

// Bytes from the stream's position to its end, or -1 when the stream cannot tell.
int64_t bytesLeft(Stream& stream) {
    int32_t here = stream.seek(0, Stream::SeekCurrent);
    int32_t end = stream.seek(0, Stream::SeekEnd);
    if (here < 0 || end < 0 || stream.seek(here, Stream::SeekStart) != here)
        return -1;
    return int64_t(end) - here;
}

int componentsOf(uint32_t format) {
    switch (format) {
    case GL_COLOR_INDEX:
    case GL_STENCIL_INDEX:
    case GL_DEPTH_COMPONENT:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
    case GL_ALPHA:
    case GL_LUMINANCE:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGB:
    case GL_BGR_EXT:
        return 3;
    case GL_RGBA:
    case GL_BGRA_EXT:
        return 4;
    default:
        return -1;
    }
}

// Size of one component, or for packed types of one whole pixel (packed answers true).
int elementSizeOf(uint32_t type, bool& packed) {
    packed = false;
    switch (type) {
    case GL_UNSIGNED_BYTE:
    case GL_BYTE:
        return 1;
    case GL_UNSIGNED_SHORT:
    case GL_SHORT:
        return 2;
    case GL_UNSIGNED_INT:
    case GL_INT:
    case GL_FLOAT:
        return 4;
    }
    packed = true;
    switch (type) {
    case GL_UNSIGNED_BYTE_3_3_2:
    case GL_UNSIGNED_BYTE_2_3_3_REV:
        return 1;
    case GL_UNSIGNED_SHORT_5_6_5:
    case GL_UNSIGNED_SHORT_5_6_5_REV:
    case GL_UNSIGNED_SHORT_4_4_4_4:
    case GL_UNSIGNED_SHORT_4_4_4_4_REV:
    case GL_UNSIGNED_SHORT_5_5_5_1:
    case GL_UNSIGNED_SHORT_1_5_5_5_REV:
        return 2;
    case GL_UNSIGNED_INT_8_8_8_8:
    case GL_UNSIGNED_INT_8_8_8_8_REV:
    case GL_UNSIGNED_INT_10_10_10_2:
    case GL_UNSIGNED_INT_2_10_10_10_REV:
        return 4;
    }
    return -1;
}

} // namespace

Texture::~Texture() {
    handle_.destroy();
}

bool Texture::readFileHeader(Stream& stream, TextureFileHeader& header) {
    uint8_t bytes[FileHeaderSize];
    if (!readFully(stream, bytes, FileHeaderSize))
        return false;
    header.magic = readLE32(bytes);
    header.version = readLE32(bytes + 4);
    header.target = readLE32(bytes + 12);
    header.format = readLE32(bytes + 16);
    header.type = readLE32(bytes + 20);
    header.wrap = readLE32(bytes + 24);
    return header.magic == FileMagic && header.version <= FileVersionMax;
}

bool Texture::readImage(Stream& stream, const TextureFileHeader& header, TextureImage& image) {
    uint8_t bytes[ImageHeaderSize];
    if (!readFully(stream, bytes, ImageHeaderSize))
        return false;
    image.dataSize = readLE32(bytes + 4);
    image.width = readLE32(bytes + 8);
    image.height = readLE32(bytes + 12);
    // OpenGL and the mipmap builder read as much as the image's size says, whatever dataSize
    // claims: a file with less than that would have them read past the buffer.
    int64_t needed = pixelBytes(header.format, header.type, image.width, image.height);
    if (needed < 0 || int64_t(image.dataSize) < needed)
        return false;
    int64_t left = bytesLeft(stream);
    if (left < int64_t(image.dataSize))
        return false;
    image.pixels.resize(image.dataSize);
    return readFully(stream, image.pixels.data(), int32_t(image.dataSize));
}

int64_t Texture::pixelBytes(uint32_t format, uint32_t type, uint32_t width, uint32_t height) {
    int components = componentsOf(format);
    bool packed = false;
    int element = elementSizeOf(type, packed);
    if (components < 0 || element < 0)
        return -1;
    if (width == 0 || height == 0)
        return 0;
    const int64_t alignment = 4;
    int64_t group = packed ? element : int64_t(element) * components;
    int64_t row = group * width;
    int64_t stride = element < alignment ? (row + alignment - 1) / alignment * alignment : row;
    // The last row is read only up to its last pixel, not to the alignment.
    if (height > 1 && stride > (INT64_MAX - row) / int64_t(height - 1))
        return INT64_MAX;
    return stride * int64_t(height - 1) + row;
}

GLint Texture::internalFormatFor(uint32_t format) {
    switch (format) {
    case GL_DEPTH_COMPONENT:
        return GL_DEPTH_COMPONENT;
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
    case GL_RGB:
    case GL_BGR_EXT:
        return GL_RGB;
    case GL_ALPHA:
        return GL_ALPHA;
    case GL_RGBA:
    case GL_BGRA_EXT:
        return GL_RGBA;
    case GL_LUMINANCE:
        return GL_LUMINANCE;
    case GL_LUMINANCE_ALPHA:
        return GL_LUMINANCE_ALPHA;
    default:
        return 0;
    }
}

GLint Texture::mipmapComponentsFor(uint32_t format) {
    switch (format) {
    case GL_RGBA:
        return 4;
    case GL_RGB:
    case GL_BGR_EXT:
    case GL_RED:
    case GL_GREEN:
    case GL_BLUE:
        return 3;
    default:
        // The mipmap build replaces level 0, so it must keep the channels (alpha above all)
        // that the level-0 upload kept.
        return internalFormatFor(format);
    }
}

Texture* Texture::load(const String& name) {
    static std::vector<Texture*>* registry = nullptr; // oldest first; searched from the back
    if (registry == nullptr) {
        registry = new std::vector<Texture*>();
    } else {
        for (auto it = registry->rbegin(); it != registry->rend(); ++it)
            if ((*it)->getName() == name)
                return *it;
    }

    std::unique_ptr<Stream> stream(FileSystem::instance()->openRead(name + String(".glt")));
    TextureFileHeader header;
    if (!stream || !readFileHeader(*stream, header))
        return loadFailed(name);

    std::unique_ptr<Texture> texture(new Texture());
    TextureHandle& handle = texture->handle_;
    handle.generate();
    handle.target = header.target;
    handle.bind(0);
    glTexParameteri(header.target, GL_TEXTURE_WRAP_S, GLint(header.wrap));
    glTexParameteri(header.target, GL_TEXTURE_WRAP_T, GLint(header.wrap));
    glTexParameteri(header.target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(header.target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (header.target != GL_TEXTURE_2D)
        return loadFailed(name);

    TextureImage image;
    if (!readImage(*stream, header, image))
        return loadFailed(name);
    GLsizei width = GLsizei(image.width);
    GLsizei height = GLsizei(image.height);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormatFor(header.format), width, height, 0,
                 header.format, header.type, image.pixels.data());
    gluBuild2DMipmaps(GL_TEXTURE_2D, mipmapComponentsFor(header.format), width, height,
                      header.format, header.type, image.pixels.data());
    stream.reset();

    texture->setName(name);
    registry->push_back(texture.get());
    return texture.release();
}
