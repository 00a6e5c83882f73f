// ChunkFile: the header, the chunk table and the chunks, each checked against the file's size.
#include "resources/ChunkFile.h"
#include "resources/FileSystem.h"
#include "resources/Stream.h"
#include <memory>

ChunkFile::ChunkFile() : magic_(MagicPlain), version_(VersionCurrent) {}

bool ChunkFile::readExtraHeader(Stream&) {
    return true;
}

bool ChunkFile::writeExtraHeader(Stream&) {
    return true;
}

bool ChunkFile::load(const String& name) {
    chunks_.clear();
    std::unique_ptr<Stream> stream(FileSystem::instance()->openRead(name));
    if (!stream)
        return false;
    return load(*stream);
}

bool ChunkFile::load(Stream& stream) {
    chunks_.clear();
    uint8_t header[HeaderSize];
    if (!readFully(stream, header, HeaderSize))
        return false;
    magic_ = readLE32(header);
    version_ = readLE32(header + 4);
    name_ = String(reinterpret_cast<const char*>(header + 8), 32);
    uint32_t tableOffset = readLE32(header + 40);
    uint32_t chunkCount = readLE32(header + 44);
    if (!readExtraHeader(stream))
        return false;
    if (!readChunks(stream, tableOffset, chunkCount)) {
        chunks_.clear();
        return false;
    }
    return true;
}

bool ChunkFile::readChunks(Stream& stream, uint32_t tableOffset, uint32_t chunkCount) {
    // Every count and offset is weighed against the file's size before anything is allocated,
    // so a damaged table can neither exhaust memory nor have a read run past the file.
    int32_t fileSize = stream.seek(0, Stream::SeekEnd);
    if (fileSize < 0)
        return false;
    uint64_t end = uint64_t(fileSize);
    uint64_t tableBytes = uint64_t(chunkCount) * TableEntrySize;
    if (uint64_t(tableOffset) + tableBytes > end)
        return false;
    if (stream.seek(int32_t(tableOffset), Stream::SeekStart) != int32_t(tableOffset))
        return false;
    std::vector<uint8_t> table(static_cast<size_t>(tableBytes));
    if (!readFully(stream, table.data(), int32_t(tableBytes)))
        return false;

    chunks_.reserve(chunkCount);
    for (uint32_t i = 0; i < chunkCount; ++i) {
        const uint8_t* entry = table.data() + size_t(i) * TableEntrySize;
        uint32_t dataOffset = readLE32(entry + 8);
        uint32_t size = readLE32(entry + 12);
        if (uint64_t(dataOffset) + size > end)
            return false;
        Chunk chunk;
        chunk.type = readLE32(entry);
        chunk.index = readLE32(entry + 4);
        chunk.size = size;
        chunk.data.resize(size);
        if (stream.seek(int32_t(dataOffset), Stream::SeekStart) != int32_t(dataOffset) ||
            !readFully(stream, chunk.data.data(), int32_t(size)))
            return false;
        chunks_.push_back(std::move(chunk));
    }
    return true;
}

const Chunk* ChunkFile::findChunk(uint32_t type, uint32_t index) const {
    for (const Chunk& chunk : chunks_)
        if (chunk.type == type && chunk.index == index)
            return &chunk;
    return nullptr;
}
