// The ".glt" texture file: a 28-byte file header, a 16-byte image header and rows of pixels laid
// out as OpenGL unpacks them with its default alignment of 4, the row at t = 0 first.
#pragma once

#include "BinaryIO.h"

#include <string>

enum : uint32_t {
    GltMagic = 0x46544C47, // "GLTF"
    GltVersion = 1,
    GltHeaderSize = 44,
    GltTexture2D = 0x0DE1,
    GltUnsignedByte = 0x1401,
    GltAlpha = 0x1906,
    GltRgb = 0x1907,
    GltRgba = 0x1908,
    GltLuminance = 0x1909,
    GltLuminanceAlpha = 0x190A,
    GltBgr = 0x80E0,
    GltBgra = 0x80E1,
    GltClamp = 0x2900,
    GltRepeat = 0x2901,
    GltClampToEdge = 0x812F,
};

// OpenGL's unpack alignment of 4: every row starts on a 4-byte boundary.
inline uint64_t gltRowStride(uint64_t width, uint32_t bytesPerPixel) {
    return (width * bytesPerPixel + 3) / 4 * 4;
}

// Builds the file from 8-bit RGBA pixels, top row first; format is GltRgb or GltRgba.
Bytes encodeGlt(const uint8_t* rgba, uint32_t width, uint32_t height, uint32_t format,
                uint32_t wrap);

// Bytes per pixel of an 8-bit pixel format, 0 for a format the tools do not know.
uint32_t gltBytesPerPixel(uint32_t format);
const char* gltEnumName(uint32_t value);
