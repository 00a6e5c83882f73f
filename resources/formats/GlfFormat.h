// The ".glf" bitmap font: a chunk file (ChunkFormat.h) with the magic "GLFv" and a 12-byte header
// extension (unitSize, two reserved fields). Its chunk "FBIT" index 0 holds the glyph image
// (width, height, a field not read, then one 8-bit alpha byte per pixel in rows without padding);
// its chunk "CHRS" index 0 holds 32-byte glyph records (code, x, y, w, h, xOffset, yOffset,
// advance), as many as fit whole.
#pragma once

#include "resources/formats/ChunkFormat.h"

namespace formats {

constexpr uint32_t GlfMagic = fourCC('G', 'L', 'F', 'v');
constexpr size_t GlfExtensionSize = 12;
constexpr uint32_t GlfChunkImage = fourCC('F', 'B', 'I', 'T');
constexpr uint32_t GlfChunkGlyphs = fourCC('C', 'H', 'R', 'S');
constexpr size_t GlfImageHeaderSize = 12;
constexpr size_t GlfGlyphRecordSize = 32;
constexpr uint32_t GlfGlyphCount = 256;
// OpenGL reads the image's rows at its default unpack alignment, and the rows are not padded.
constexpr uint32_t GlfRowAlignment = 4;

struct GlfExtension {
    uint32_t unitSize = 0;
    uint32_t reserved1 = 0;
    uint32_t reserved2 = 0;
};

// The glyph image, pointing into its chunk's data.
struct GlfImage {
    uint32_t width = 0;
    uint32_t height = 0;
    const uint8_t* pixels = nullptr; // width x height bytes
};

struct GlyphRecord {
    uint32_t code = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t w = 0;
    uint32_t h = 0;
    int32_t xOffset = 0;
    int32_t yOffset = 0;
    int32_t advance = 0;
};

// The engine's font reader, in the engine's order: the extension right after the chunk-file
// header, then (after readChunks) the image and the unit size, which come before the upload,
// then the glyph table, which is looked for only after it.
Verdict readGlfExtension(ByteSource& source, GlfExtension& extension);
Verdict readGlfImage(const std::vector<Chunk>& chunks, GlfImage& image);
Verdict checkGlfUnitSize(const GlfExtension& extension);
Verdict findGlfGlyphs(const std::vector<Chunk>& chunks, const Chunk*& glyphs);

// A whole font file, as the engine reads it, for readers without an OpenGL context.
struct GlfFile {
    ChunkHeader header;
    GlfExtension extension;
    std::vector<Chunk> chunks;
    GlfImage image;
    const Chunk* glyphs = nullptr;
};
Verdict readGlf(ByteSource& source, GlfFile& file);

// Records that fit whole in a glyph chunk, and record i of them.
uint32_t glyphRecordCount(const Chunk& glyphs);
GlyphRecord readGlyphRecord(const Chunk& glyphs, uint32_t i);

// Writing: the extension, an "FBIT" chunk's data, and a "CHRS" chunk's data.
Bytes writeGlfExtension(const GlfExtension& extension);
Bytes writeGlfImage(uint32_t width, uint32_t height, const Bytes& pixels);
Bytes writeGlyphRecords(const std::vector<GlyphRecord>& records);

} // namespace formats
