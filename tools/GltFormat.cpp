// Writing ".glt" textures and naming the OpenGL enums they store.
#include "GltFormat.h"

#include <cstring>

Bytes encodeGlt(const uint8_t* rgba, uint32_t width, uint32_t height, uint32_t format,
                uint32_t wrap) {
    uint32_t channels = format == GltRgba ? 4 : 3;
    uint64_t stride = gltRowStride(width, channels);
    uint32_t dataSize = static_cast<uint32_t>(stride * height);

    Bytes out;
    out.reserve(GltHeaderSize + dataSize);
    putU32(out, GltMagic);
    putU32(out, GltVersion);
    putU32(out, 0);
    putU32(out, GltTexture2D);
    putU32(out, format);
    putU32(out, GltUnsignedByte);
    putU32(out, wrap);
    putU32(out, 0);
    putU32(out, dataSize);
    putU32(out, width);
    putU32(out, height);

    for (uint32_t y = 0; y < height; ++y) {
        size_t rowStart = out.size();
        const uint8_t* source = rgba + size_t(y) * width * 4;
        for (uint32_t x = 0; x < width; ++x)
            out.insert(out.end(), source + size_t(x) * 4, source + size_t(x) * 4 + channels);
        out.resize(rowStart + stride, 0);
    }
    return out;
}

uint32_t gltBytesPerPixel(uint32_t format) {
    switch (format) {
    case GltAlpha:
    case GltLuminance:
        return 1;
    case GltLuminanceAlpha:
        return 2;
    case GltRgb:
    case GltBgr:
        return 3;
    case GltRgba:
    case GltBgra:
        return 4;
    default:
        return 0;
    }
}

const char* gltEnumName(uint32_t value) {
    switch (value) {
    case GltTexture2D:
        return "GL_TEXTURE_2D";
    case GltUnsignedByte:
        return "GL_UNSIGNED_BYTE";
    case GltAlpha:
        return "GL_ALPHA";
    case GltRgb:
        return "GL_RGB";
    case GltRgba:
        return "GL_RGBA";
    case GltLuminance:
        return "GL_LUMINANCE";
    case GltLuminanceAlpha:
        return "GL_LUMINANCE_ALPHA";
    case GltBgr:
        return "GL_BGR_EXT";
    case GltBgra:
        return "GL_BGRA_EXT";
    case GltClamp:
        return "GL_CLAMP";
    case GltRepeat:
        return "GL_REPEAT";
    case GltClampToEdge:
        return "GL_CLAMP_TO_EDGE";
    default:
        return "unknown";
    }
}
