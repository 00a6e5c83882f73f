// The ".glt" texture file: a 28-byte file header (magic "GLTF", version, reserved, target,
// pixel format, pixel type, wrap mode, reserved), a 16-byte image header (reserved, dataSize,
// width, height) and dataSize bytes of pixels laid out as OpenGL unpacks client memory at its
// default alignment of 4, the row at t = 0 first. OpenGL enums are stored as their numbers, so
// the ones the format names are spelled out here instead of coming from a GL header.
#pragma once

#include "resources/formats/Bytes.h"

namespace formats {

// Every OpenGL enum the format names, written once: constant, value, OpenGL's own name.
#define PELMORA_GLT_ENUMS(X)                                                                       \
    X(GlTexture1D, 0x0DE0, "GL_TEXTURE_1D")                                                        \
    X(GlTexture2D, 0x0DE1, "GL_TEXTURE_2D")                                                        \
    X(GlByte, 0x1400, "GL_BYTE")                                                                   \
    X(GlUnsignedByte, 0x1401, "GL_UNSIGNED_BYTE")                                                  \
    X(GlShort, 0x1402, "GL_SHORT")                                                                 \
    X(GlUnsignedShort, 0x1403, "GL_UNSIGNED_SHORT")                                                \
    X(GlInt, 0x1404, "GL_INT")                                                                     \
    X(GlUnsignedInt, 0x1405, "GL_UNSIGNED_INT")                                                    \
    X(GlFloat, 0x1406, "GL_FLOAT")                                                                 \
    X(GlColorIndex, 0x1900, "GL_COLOR_INDEX")                                                      \
    X(GlStencilIndex, 0x1901, "GL_STENCIL_INDEX")                                                  \
    X(GlDepthComponent, 0x1902, "GL_DEPTH_COMPONENT")                                              \
    X(GlRed, 0x1903, "GL_RED")                                                                     \
    X(GlGreen, 0x1904, "GL_GREEN")                                                                 \
    X(GlBlue, 0x1905, "GL_BLUE")                                                                   \
    X(GlAlpha, 0x1906, "GL_ALPHA")                                                                 \
    X(GlRgb, 0x1907, "GL_RGB")                                                                     \
    X(GlRgba, 0x1908, "GL_RGBA")                                                                   \
    X(GlLuminance, 0x1909, "GL_LUMINANCE")                                                         \
    X(GlLuminanceAlpha, 0x190A, "GL_LUMINANCE_ALPHA")                                              \
    X(GlClamp, 0x2900, "GL_CLAMP")                                                                 \
    X(GlRepeat, 0x2901, "GL_REPEAT")                                                               \
    X(GlUnsignedByte332, 0x8032, "GL_UNSIGNED_BYTE_3_3_2")                                         \
    X(GlUnsignedShort4444, 0x8033, "GL_UNSIGNED_SHORT_4_4_4_4")                                    \
    X(GlUnsignedShort5551, 0x8034, "GL_UNSIGNED_SHORT_5_5_5_1")                                    \
    X(GlUnsignedInt8888, 0x8035, "GL_UNSIGNED_INT_8_8_8_8")                                        \
    X(GlUnsignedInt1010102, 0x8036, "GL_UNSIGNED_INT_10_10_10_2")                                  \
    X(GlBgr, 0x80E0, "GL_BGR_EXT")                                                                 \
    X(GlBgra, 0x80E1, "GL_BGRA_EXT")                                                               \
    X(GlClampToBorder, 0x812D, "GL_CLAMP_TO_BORDER")                                               \
    X(GlClampToEdge, 0x812F, "GL_CLAMP_TO_EDGE")                                                   \
    X(GlUnsignedByte233Rev, 0x8362, "GL_UNSIGNED_BYTE_2_3_3_REV")                                  \
    X(GlUnsignedShort565, 0x8363, "GL_UNSIGNED_SHORT_5_6_5")                                       \
    X(GlUnsignedShort565Rev, 0x8364, "GL_UNSIGNED_SHORT_5_6_5_REV")                                \
    X(GlUnsignedShort4444Rev, 0x8365, "GL_UNSIGNED_SHORT_4_4_4_4_REV")                             \
    X(GlUnsignedShort1555Rev, 0x8366, "GL_UNSIGNED_SHORT_1_5_5_5_REV")                             \
    X(GlUnsignedInt8888Rev, 0x8367, "GL_UNSIGNED_INT_8_8_8_8_REV")                                 \
    X(GlUnsignedInt2101010Rev, 0x8368, "GL_UNSIGNED_INT_2_10_10_10_REV")                           \
    X(GlMirroredRepeat, 0x8370, "GL_MIRRORED_REPEAT")

enum : uint32_t {
#define PELMORA_GLT_ENUM(constant, value, name) constant = value,
    PELMORA_GLT_ENUMS(PELMORA_GLT_ENUM)
#undef PELMORA_GLT_ENUM
};

// "GL_RGBA" and the like for the enums above, null for any other value.
const char* glEnumName(uint32_t value);

constexpr uint32_t GltMagic = fourCC('G', 'L', 'T', 'F');
constexpr uint32_t GltVersionMax = 1;
constexpr size_t GltFileHeaderSize = 28;
constexpr size_t GltImageHeaderSize = 16;
constexpr size_t GltHeaderSize = GltFileHeaderSize + GltImageHeaderSize;
constexpr uint32_t GltUnpackAlignment = 4;

// The fields of the file header that are read; the defaults are what the tools write.
struct GltFileHeader {
    uint32_t magic = GltMagic;
    uint32_t version = GltVersionMax;
    uint32_t target = GlTexture2D;
    uint32_t format = GlRgba;
    uint32_t type = GlUnsignedByte;
    uint32_t wrap = GlRepeat;
};

struct GltImage {
    uint32_t dataSize = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    Bytes pixels; // dataSize bytes once read
};

// Bytes OpenGL reads from client memory for such an image at the unpack alignment: every row but
// the last padded to the alignment. -1 for a format or type whose size is not known.
int64_t gltPixelBytes(uint32_t format, uint32_t type, uint32_t width, uint32_t height);
// Bytes from one row's start to the next's, -1 as above.
int64_t gltRowStride(uint32_t format, uint32_t type, uint32_t width);
// The internal format of the level-0 upload, chosen by the pixel format alone; 0 for a format
// OpenGL has no texture for.
uint32_t gltInternalFormat(uint32_t format);
// The component count given to the mipmap build, which replaces level 0.
uint32_t gltMipmapComponents(uint32_t format);

// The engine's reader, in the engine's order: the file header first; then, after the texture
// object exists, the target check, the image header and the pixel data. Every length is checked
// against what the source delivers, and nothing is allocated beyond what the source holds.
Verdict readGltFileHeader(ByteSource& source, GltFileHeader& header);
Verdict readGltImage(ByteSource& source, const GltFileHeader& header, GltImage& image);
// Both steps at once, for readers without an OpenGL context.
Verdict readGlt(ByteSource& source, GltFileHeader& header, GltImage& image);

// The whole file, fields written as given (dataSize too, so that damaged files can be made).
Bytes writeGlt(const GltFileHeader& header, const GltImage& image);

} // namespace formats
