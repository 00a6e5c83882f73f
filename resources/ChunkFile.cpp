// ChunkFile: the header, the kind's extension and the chunks, read by the format library.
#include "resources/ChunkFile.h"
#include "resources/FileSystem.h"
#include "resources/Stream.h"
#include <memory>

ChunkFile::ChunkFile() : magic_(formats::ChunkMagicPlain), version_(formats::ChunkVersion) {}

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
    StreamSource source(stream);
    formats::ChunkHeader header;
    if (!formats::readChunkHeader(source, header))
        return false;
    magic_ = header.magic;
    version_ = header.version;
    name_ = String(header.name.data(), int32_t(header.name.size()));
    return readExtraHeader(stream) && formats::readChunks(source, header, chunks_);
}

const Chunk* ChunkFile::findChunk(uint32_t type, uint32_t index) const {
    return formats::findChunk(chunks_, type, index);
}
