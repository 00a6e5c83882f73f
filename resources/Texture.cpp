// Texture: the ".glt" load with its upload and mipmaps, and the texture registry.
#include "resources/Texture.h"
#include "resources/FileSystem.h"
#include "resources/Stream.h"
#include "resources/formats/GltFormat.h"
#include <memory>

// The format library spells out the GL enums a file stores; they must be GL's own numbers.
static_assert(formats::GlTexture2D == GL_TEXTURE_2D && formats::GlRgba == GL_RGBA &&
                  formats::GlBgra == GL_BGRA_EXT && formats::GlLuminance == GL_LUMINANCE &&
                  formats::GlUnsignedByte == GL_UNSIGNED_BYTE &&
                  formats::GlUnsignedInt2101010Rev == GL_UNSIGNED_INT_2_10_10_10_REV,
              "format library enums differ from OpenGL's");

namespace {

Texture* loadFailed(const String& name) {
    logLoadFailed("Texture id=", name);
    return nullptr;
}

// Level 0, then the mipmap build, which specifies level 0 again with every smaller level.
// OpenGL refuses some uploads that no check of the file can foresee (a side beyond what the
// driver takes, for one); a load that answered a texture then would draw white shapes instead
// of reporting the failure that lets the game fall back to flat colours.
bool upload(const formats::GltFileHeader& header, const formats::GltImage& image) {
    clearGlErrors();
    GLsizei width = GLsizei(image.width);
    GLsizei height = GLsizei(image.height);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(formats::gltInternalFormat(header.format)), width, height,
                 0, header.format, header.type, image.pixels.data());
    if (glGetError() != GL_NO_ERROR)
        return false;
    gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(formats::gltMipmapComponents(header.format)), width,
                      height, header.format, header.type, image.pixels.data());
    return true;
}

} // namespace

Texture::~Texture() {
    handle_.destroy();
}

Texture* Texture::load(const String& name) {
    if (Texture* loaded = ResourceRegistry<Texture>::find(name))
        return loaded;

    std::unique_ptr<Stream> stream(FileSystem::instance()->openRead(name + String(".glt")));
    if (!stream)
        return loadFailed(name);
    StreamSource source(*stream);
    formats::GltFileHeader header;
    if (!formats::readGltFileHeader(source, header))
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

    // The target is judged here, after the texture object exists, as the reader's order has it.
    formats::GltImage image;
    if (!formats::readGltImage(source, header, image) || !upload(header, image))
        return loadFailed(name);
    stream.reset();

    texture->setName(name);
    ResourceRegistry<Texture>::add(texture.get());
    return texture.release();
}
