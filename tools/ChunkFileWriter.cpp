// Serialises chunk files field by field.
#include "ChunkFileWriter.h"

ChunkFileWriter::ChunkFileWriter(uint32_t magic, const std::string& name, Bytes extension)
    : magic(magic), name(name), extension(std::move(extension)) {}

void ChunkFileWriter::addChunk(uint32_t type, uint32_t index, Bytes data) {
    entries.push_back({type, index, std::move(data)});
}

Bytes ChunkFileWriter::finish() const {
    Bytes out;
    putU32(out, magic);
    putU32(out, ChunkVersion);
    for (uint32_t i = 0; i < ChunkNameSize; ++i)
        out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    size_t tableOffsetField = out.size();
    putU32(out, 0);
    putU32(out, static_cast<uint32_t>(entries.size()));
    out.insert(out.end(), extension.begin(), extension.end());

    std::vector<uint32_t> offsets;
    for (const Entry& entry : entries) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        out.insert(out.end(), entry.data.begin(), entry.data.end());
        while (out.size() % 4)
            out.push_back(0);
    }
    setU32(out, tableOffsetField, static_cast<uint32_t>(out.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        putU32(out, entries[i].type);
        putU32(out, entries[i].index);
        putU32(out, offsets[i]);
        putU32(out, static_cast<uint32_t>(entries[i].data.size()));
    }
    return out;
}
