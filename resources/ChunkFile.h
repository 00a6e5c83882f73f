// The engine's container format: a fixed header, a header extension whose size depends on the
// kind of file, and a table of typed, indexed chunks read whole into memory. Kinds of chunk
// file derive from ChunkFile to fix their magic and their header extension. The layout and its
// checks are the format library's (resources/formats/ChunkFormat.h).
#pragma once

#include "app/String.h"
#include "resources/formats/ChunkFormat.h"
#include <cstdint>
#include <vector>

class Stream;

using formats::Chunk;
using formats::fourCC;

class ChunkFile {
public:
    ChunkFile();
    virtual ~ChunkFile() = default;

    virtual bool isValid() const { return magic_ == formats::ChunkMagicPlain; }
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

    const std::vector<Chunk>& getChunks() const { return chunks_; }
    uint32_t getVersion() const { return version_; }
    const String& getName() const { return name_; }

protected:
    uint32_t magic_;
    uint32_t version_;

private:
    std::vector<Chunk> chunks_;
    String name_;
};
