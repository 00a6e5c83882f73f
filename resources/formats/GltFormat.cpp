// The ".glt" layout, the checks that decide whether the engine loads a file, and the writer.
#include "resources/formats/GltFormat.h"

#include <cstdio>

namespace formats {

namespace {

int componentsOf(uint32_t format) {
    switch (format) {
    case GlColorIndex:
    case GlStencilIndex:
    case GlDepthComponent:
    case GlRed:
    case GlGreen:
    case GlBlue:
    case GlAlpha:
    case GlLuminance:
        return 1;
    case GlLuminanceAlpha:
        return 2;
    case GlRgb:
    case GlBgr:
        return 3;
    case GlRgba:
    case GlBgra:
        return 4;
    default:
        return -1;
    }
}

// Size of one component, or for a packed type of one whole pixel; -1 when unknown. components
// is the count a packed type holds, 0 for the plain types.
int elementSizeOf(uint32_t type, int& components) {
    components = 0;
    switch (type) {
    case GlUnsignedByte:
    case GlByte:
        return 1;
    case GlUnsignedShort:
    case GlShort:
        return 2;
    case GlUnsignedInt:
    case GlInt:
    case GlFloat:
        return 4;
    case GlUnsignedByte332:
    case GlUnsignedByte233Rev:
        components = 3;
        return 1;
    case GlUnsignedShort565:
    case GlUnsignedShort565Rev:
        components = 3;
        return 2;
    case GlUnsignedShort4444:
    case GlUnsignedShort4444Rev:
    case GlUnsignedShort5551:
    case GlUnsignedShort1555Rev:
        components = 4;
        return 2;
    case GlUnsignedInt8888:
    case GlUnsignedInt8888Rev:
    case GlUnsignedInt1010102:
    case GlUnsignedInt2101010Rev:
        components = 4;
        return 4;
    default:
        return -1;
    }
}

// Bytes of one pixel and of one element (the unit OpenGL aligns rows by); false when the
// format or the type is unknown.
bool pixelLayout(uint32_t format, uint32_t type, int64_t& pixel, int& element) {
    int components = componentsOf(format);
    int packedComponents = 0;
    element = elementSizeOf(type, packedComponents);
    if (components < 0 || element < 0)
        return false;
    pixel = packedComponents ? element : int64_t(element) * components;
    return true;
}

std::string enumText(uint32_t value) {
    const char* name = glEnumName(value);
    char number[16];
    std::snprintf(number, sizeof number, "0x%04X", value);
    return name ? std::string(name) + " (" + number + ")" : std::string(number);
}

} // namespace

const char* glEnumName(uint32_t value) {
    switch (value) {
#define PELMORA_GLT_ENUM_NAME(constant, number, name)                                              \
    case constant:                                                                                 \
        return name;
        PELMORA_GLT_ENUMS(PELMORA_GLT_ENUM_NAME)
#undef PELMORA_GLT_ENUM_NAME
    default:
        return nullptr;
    }
}

int64_t gltRowStride(uint32_t format, uint32_t type, uint32_t width) {
    int64_t pixel = 0;
    int element = 0;
    if (!pixelLayout(format, type, pixel, element))
        return -1;
    int64_t row = pixel * width;
    // OpenGL pads rows only for elements smaller than the alignment.
    if (element >= int(GltUnpackAlignment))
        return row;
    return (row + GltUnpackAlignment - 1) / GltUnpackAlignment * GltUnpackAlignment;
}

int64_t gltPixelBytes(uint32_t format, uint32_t type, uint32_t width, uint32_t height) {
    int64_t pixel = 0;
    int element = 0;
    if (!pixelLayout(format, type, pixel, element))
        return -1;
    if (width == 0 || height == 0)
        return 0;
    int64_t row = pixel * width;
    int64_t stride = gltRowStride(format, type, width);
    // The last row is read only up to its last pixel, not to the alignment.
    if (height > 1 && stride > (INT64_MAX - row) / int64_t(height - 1))
        return INT64_MAX;
    return stride * int64_t(height - 1) + row;
}

uint32_t gltInternalFormat(uint32_t format) {
    switch (format) {
    case GlDepthComponent:
        return GlDepthComponent;
    case GlRed:
    case GlGreen:
    case GlBlue:
    case GlRgb:
    case GlBgr:
        return GlRgb;
    case GlAlpha:
        return GlAlpha;
    case GlRgba:
    case GlBgra:
        return GlRgba;
    case GlLuminance:
        return GlLuminance;
    case GlLuminanceAlpha:
        return GlLuminanceAlpha;
    default:
        return 0;
    }
}

uint32_t gltMipmapComponents(uint32_t format) {
    switch (format) {
    case GlRgba:
        return 4;
    case GlRgb:
    case GlBgr:
    case GlRed:
    case GlGreen:
    case GlBlue:
    case GlLuminance:
        return 3;
    default:
        // The mipmap build replaces level 0, so for the formats that carry alpha it must keep
        // what the level-0 upload kept.
        return gltInternalFormat(format);
    }
}

Verdict readGltFileHeader(ByteSource& source, GltFileHeader& header) {
    Verdict read = readWordBlock(source, "file header",
                                 {&header.magic, &header.version, nullptr, &header.target,
                                  &header.format, &header.type, &header.wrap});
    if (!read)
        return read;
    if (header.magic != GltMagic)
        return Verdict::refuse("bad magic \"%s\": not GLTF", fourCCText(header.magic).c_str());
    if (header.version > GltVersionMax)
        return Verdict::refuse("version %u is newer than %u", header.version, GltVersionMax);
    return Verdict::accept();
}

Verdict readGltImage(ByteSource& source, const GltFileHeader& header, GltImage& image) {
    if (header.target != GlTexture2D)
        return Verdict::refuse("target %s is not GL_TEXTURE_2D", enumText(header.target).c_str());
    Verdict read = readWordBlock(source, "image header",
                                 {nullptr, &image.dataSize, &image.width, &image.height});
    if (!read)
        return read;

    // OpenGL refuses an upload in a format without an internal format, and a load that answered
    // a texture then would report a failure as a success: such files are refused here.
    if (gltInternalFormat(header.format) == 0)
        return Verdict::refuse("pixel format %s has no internal format",
                               enumText(header.format).c_str());
    int packedComponents = 0;
    if (elementSizeOf(header.type, packedComponents) < 0)
        return Verdict::refuse("pixel type %s has no known size", enumText(header.type).c_str());
    if (packedComponents != 0 && packedComponents != componentsOf(header.format))
        return Verdict::refuse("packed type %s does not fit format %s",
                               enumText(header.type).c_str(), enumText(header.format).c_str());
    // OpenGL makes an empty texture without a word, and it samples as white.
    if (image.width == 0 || image.height == 0)
        return Verdict::refuse("image is %ux%u: no pixels", image.width, image.height);
    // OpenGL and the mipmap build read as much as the image's size says, whatever dataSize
    // claims: a file with less than that would have them read past the buffer.
    int64_t needed = gltPixelBytes(header.format, header.type, image.width, image.height);
    if (int64_t(image.dataSize) < needed)
        return Verdict::refuse("dataSize %u is less than the %lld bytes OpenGL reads for a %ux%u "
                               "image (rows of %lld bytes, padded to %u)",
                               image.dataSize, (long long)needed, image.width, image.height,
                               (long long)gltRowStride(header.format, header.type, image.width),
                               GltUnpackAlignment);
    int64_t here = source.position();
    int64_t end = source.size();
    if (here < 0 || end < 0)
        return Verdict::refuse("the stream cannot tell its size");
    if (end - here < int64_t(image.dataSize))
        return Verdict::refuse("dataSize %u but only %lld bytes follow the header", image.dataSize,
                               (long long)(end - here));
    image.pixels.resize(image.dataSize);
    size_t got = source.read(image.pixels.data(), image.pixels.size());
    if (got != image.pixels.size()) {
        image.pixels.clear();
        return Verdict::refuse("the pixel data ends after %zu of %u bytes", got, image.dataSize);
    }
    return Verdict::accept();
}

Verdict readGlt(ByteSource& source, GltFileHeader& header, GltImage& image) {
    Verdict verdict = readGltFileHeader(source, header);
    return verdict ? readGltImage(source, header, image) : verdict;
}

Bytes writeGlt(const GltFileHeader& header, const GltImage& image) {
    Bytes out;
    out.reserve(GltHeaderSize + image.pixels.size());
    appendWords(out, {header.magic, header.version, 0u, header.target, header.format, header.type,
                      header.wrap});
    appendWords(out, {0u, image.dataSize, image.width, image.height});
    appendBytes(out, image.pixels.data(), image.pixels.size());
    return out;
}

} // namespace formats
