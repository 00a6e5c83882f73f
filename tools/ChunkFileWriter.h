// The chunk container: a 48-byte header (magic, version, 32-byte name, table offset, chunk
// count), a header extension whose size depends on the kind of file, the chunks' data and a table
// of 16-byte entries (type, index, absolute data offset, size).
#pragma once

#include "BinaryIO.h"

#include <string>

enum : uint32_t {
    ChunkMagicPlain = 0x76464347, // "GCFv"
    ChunkMagicFont = 0x76464C47,  // "GLFv"
    ChunkVersion = 0x20312E30,    // "0.1 "
    ChunkHeaderSize = 48,
    ChunkNameSize = 32,
    ChunkEntrySize = 16,
    ChunkFontExtensionSize = 12,
    ChunkTypeFontImage = 0x54494246, // "FBIT"
    ChunkTypeGlyphs = 0x53524843,    // "CHRS"
    GlyphRecordSize = 32,
};

class ChunkFileWriter {
public:
    ChunkFileWriter(uint32_t magic, const std::string& name, Bytes extension);
    void addChunk(uint32_t type, uint32_t index, Bytes data);
    // Data follows the header in the order added, the table comes last.
    Bytes finish() const;

private:
    struct Entry {
        uint32_t type;
        uint32_t index;
        Bytes data;
    };
    uint32_t magic;
    std::string name;
    Bytes extension;
    std::vector<Entry> entries;
};
