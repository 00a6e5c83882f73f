// The engine's container format: a fixed header, a header extension whose size depends on the
// kind of file, and a table of typed, indexed chunks read whole into memory. Kinds of chunk
// file derive from ChunkFile to fix their magic and their header extension.
#pragma once

#include "app/String.h"
#include <cstdint>
#include <vector>

class Stream;

// A four-character code as stored in reading order, read as a little-endian number.
constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// Little-endian fields of the engine's binary formats.
inline uint32_t readLE32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}
inline int32_t readLE32Signed(const uint8_t* bytes) {
    return int32_t(readLE32(bytes));
}
inline void writeLE32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
}

struct Chunk {
    uint32_t type = 0;
    uint32_t index = 0;
    uint32_t size = 0;
    std::vector<uint8_t> data; // size bytes
};

class ChunkFile {
public:
    static constexpr uint32_t MagicPlain = fourCC('G', 'C', 'F', 'v');
    static constexpr uint32_t VersionCurrent = fourCC('0', '.', '1', ' ');
    static constexpr int32_t HeaderSize = 48;
    static constexpr int32_t TableEntrySize = 16;

    ChunkFile();
    virtual ~ChunkFile() = default;

    virtual bool isValid() const { return magic_ == MagicPlain; }
    virtual bool readExtraHeader(Stream& stream);
    virtual bool writeExtraHeader(Stream& stream);
    virtual int32_t extraHeaderSize() const { return 0; }

    // Opens the resource name through the file system and reads it. The magic and version are
    // not examined. A file whose table or chunk data lies beyond its end is refused whole.
    bool load(const String& name);
    // Reads from an open stream standing at the file's first byte; the stream stays open.
    bool load(Stream& stream);

    // The first chunk in table order with that type and index, or null.
    const Chunk* findChunk(uint32_t type, uint32_t index) const;

    size_t getChunkCount() const { return chunks_.size(); }
    const Chunk& getChunk(size_t i) const { return chunks_[i]; }
    uint32_t getMagic() const { return magic_; }
    uint32_t getVersion() const { return version_; }
    const String& getName() const { return name_; }

protected:
    uint32_t magic_;
    uint32_t version_;

private:
    bool readChunks(Stream& stream, uint32_t tableOffset, uint32_t chunkCount);

    std::vector<Chunk> chunks_;
    String name_;
};
