// The chunk-file header, table and chunks, each checked against the source's size; the writer.
#include "resources/formats/ChunkFormat.h"

namespace formats {

Verdict readChunkHeader(ByteSource& source, ChunkHeader& header) {
    uint8_t bytes[ChunkHeaderSize];
    Verdict read = readBlock(source, bytes, sizeof bytes, "chunk-file header");
    if (!read)
        return read;
    readWords(bytes, {&header.magic, &header.version});
    header.name.assign(reinterpret_cast<const char*>(bytes + 8), ChunkNameSize);
    readWords(bytes + 8 + ChunkNameSize, {&header.tableOffset, &header.chunkCount});
    return Verdict::accept();
}

Verdict readChunks(ByteSource& source, const ChunkHeader& header, std::vector<Chunk>& chunks) {
    chunks.clear();
    int64_t fileSize = source.size();
    if (fileSize < 0)
        return Verdict::refuse("the stream cannot tell its size");
    uint64_t end = uint64_t(fileSize);
    uint64_t tableBytes = uint64_t(header.chunkCount) * ChunkEntrySize;
    if (uint64_t(header.tableOffset) + tableBytes > end)
        return Verdict::refuse("chunk table at %u with %u entries runs past the end of the "
                               "%llu-byte file",
                               header.tableOffset, header.chunkCount, (unsigned long long)end);
    Bytes table(size_t(tableBytes), 0);
    if (!source.seek(header.tableOffset) || !readExactly(source, table.data(), table.size()))
        return Verdict::refuse("the chunk table cannot be read");

    chunks.reserve(header.chunkCount);
    for (uint32_t i = 0; i < header.chunkCount; ++i) {
        const uint8_t* entry = table.data() + size_t(i) * ChunkEntrySize;
        Chunk chunk;
        uint32_t dataOffset = 0;
        readWords(entry, {&chunk.type, &chunk.index, &dataOffset, &chunk.size});
        if (uint64_t(dataOffset) + chunk.size > end) {
            chunks.clear();
            return Verdict::refuse("chunk %u (%s index %u) data at %u+%u runs past the end of "
                                   "the %llu-byte file",
                                   i + 1, fourCCText(chunk.type).c_str(), chunk.index, dataOffset,
                                   chunk.size, (unsigned long long)end);
        }
        chunk.data.resize(chunk.size);
        if (!source.seek(dataOffset) || !readExactly(source, chunk.data.data(), chunk.size)) {
            chunks.clear();
            return Verdict::refuse("chunk %u (%s) cannot be read", i + 1,
                                   fourCCText(chunk.type).c_str());
        }
        chunks.push_back(std::move(chunk));
    }
    return Verdict::accept();
}

const Chunk* findChunk(const std::vector<Chunk>& chunks, uint32_t type, uint32_t index) {
    for (const Chunk& chunk : chunks)
        if (chunk.type == type && chunk.index == index)
            return &chunk;
    return nullptr;
}

ChunkFileWriter::ChunkFileWriter(uint32_t magic, const std::string& name, Bytes extension)
    : magic_(magic), name_(name), extension_(std::move(extension)) {
    name_.resize(ChunkNameSize, '\0');
}

void ChunkFileWriter::addChunk(uint32_t type, uint32_t index, Bytes data) {
    Chunk chunk;
    chunk.type = type;
    chunk.index = index;
    chunk.size = uint32_t(data.size());
    chunk.data = std::move(data);
    chunks_.push_back(std::move(chunk));
}

Bytes ChunkFileWriter::finish() const {
    Bytes out;
    appendWords(out, {magic_, ChunkVersion});
    appendBytes(out, name_.data(), ChunkNameSize);
    size_t tableOffsetField = out.size();
    appendWords(out, {0u, uint32_t(chunks_.size())});
    appendBytes(out, extension_.data(), extension_.size());

    std::vector<uint32_t> offsets;
    for (const Chunk& chunk : chunks_) {
        offsets.push_back(uint32_t(out.size()));
        appendBytes(out, chunk.data.data(), chunk.data.size());
        out.resize((out.size() + 3) / 4 * 4, 0);
    }
    writeLE32(out.data() + tableOffsetField, uint32_t(out.size()));
    for (size_t i = 0; i < chunks_.size(); ++i)
        appendWords(out, {chunks_[i].type, chunks_[i].index, offsets[i], chunks_[i].size});
    return out;
}

} // namespace formats
