// The chunk file, the engine's container: a 48-byte header (magic, version, 32-byte name, table
// offset, chunk count), a header extension whose size depends on the kind of file, and a table
// of 16-byte entries (type, index, absolute data offset, size) naming chunks anywhere in the
// file. The ".glf" font file is one kind (GlfFormat.h).
#pragma once

#include "resources/formats/Bytes.h"

namespace formats {

constexpr uint32_t ChunkMagicPlain = fourCC('G', 'C', 'F', 'v');
constexpr uint32_t ChunkVersion = fourCC('0', '.', '1', ' ');
constexpr size_t ChunkHeaderSize = 48;
constexpr size_t ChunkNameSize = 32;
constexpr size_t ChunkEntrySize = 16;

struct ChunkHeader {
    uint32_t magic = 0;
    uint32_t version = 0;
    std::string name; // always ChunkNameSize bytes, NULs included
    uint32_t tableOffset = 0;
    uint32_t chunkCount = 0;
};

struct Chunk {
    uint32_t type = 0;
    uint32_t index = 0;
    uint32_t size = 0;
    Bytes data; // size bytes
};

// The engine's reader. The header is read at the source's position; the magic and version are
// not examined, as the engine's loader does not examine them. The table and the chunks are
// then read from their absolute offsets: a table or chunk that lies beyond the end of the source
// refuses the whole file, and every count is weighed against the source's size before anything
// is allocated, so a damaged table can neither exhaust memory nor run a read past the file.
Verdict readChunkHeader(ByteSource& source, ChunkHeader& header);
Verdict readChunks(ByteSource& source, const ChunkHeader& header, std::vector<Chunk>& chunks);

// The first chunk in table order with that type and index, or null.
const Chunk* findChunk(const std::vector<Chunk>& chunks, uint32_t type, uint32_t index);

// Writes a chunk file: the header, the extension, each chunk's data padded to 4 bytes in the
// order added, and the table last.
class ChunkFileWriter {
public:
    // A name longer than the 32-byte field is cut to it; shorter ones are padded with NULs.
    ChunkFileWriter(uint32_t magic, const std::string& name, Bytes extension = {});
    void addChunk(uint32_t type, uint32_t index, Bytes data);
    Bytes finish() const;

private:
    uint32_t magic_;
    std::string name_;
    Bytes extension_;
    std::vector<Chunk> chunks_;
};

} // namespace formats
