// Fuzz target bodies: the readers run on in-memory streams, without a window or GL context.
#include "fuzz/targets.h"
#include "app/ConfigFile.h"
#include "resources/ChunkFile.h"
#include "resources/Font.h"
#include "resources/FontFile.h"
#include "resources/Image.h"
#include "resources/MemoryStream.h"
#include "resources/Stream.h"
#include "resources/formats/GltFormat.h"
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

// Inputs beyond what the 32-bit stream interface holds are cut.
int32_t streamSize(size_t size) {
    return size > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(size);
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

void fuzzTextureFile(const uint8_t* data, size_t size) {
    MemoryStream stream(data, streamSize(size));
    StreamSource source(stream);
    formats::GltFileHeader header;
    formats::GltImage image;
    if (!formats::readGlt(source, header, image))
        return;
    check(image.pixels.size() == image.dataSize);
    check(source.position() == int64_t(formats::GltHeaderSize) + image.dataSize);
}

void fuzzChunkFile(const uint8_t* data, size_t size) {
    MemoryStream stream(data, streamSize(size));
    ChunkFile file;
    if (!file.load(stream))
        return;
    for (const Chunk& chunk : file.getChunks()) {
        check(chunk.data.size() == chunk.size);
        check(file.findChunk(chunk.type, chunk.index) != nullptr);
    }
}

void fuzzFontFile(const uint8_t* data, size_t size) {
    MemoryStream stream(data, streamSize(size));
    FontFile file;
    if (!file.load(stream))
        return;
    Image image;
    if (!readFontImage(file, image) || file.getUnitSize() == 0)
        return;
    check(image.getByteCount() == size_t(image.getWidth()) * image.getHeight());
    const Chunk* records = file.findChunk(formats::GlfChunkGlyphs, 0);
    if (records == nullptr)
        return;
    Glyph glyphs[Font::GlyphCount];
    buildGlyphTable(glyphs, *records, image.getWidth(), image.getHeight(), file.getUnitSize());
}

void fuzzConfigFile(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ConfigFile config(in);
}

void fuzzMemoryStream(const uint8_t* data, size_t size) {
    // The first byte splits the input: the stream's contents, then operations of 5 bytes each
    // (operation, 32-bit argument).
    if (size < 1)
        return;
    size_t contentSize = data[0] < size - 1 ? data[0] : size - 1;
    MemoryStream stream(data + 1, int32_t(contentSize));
    check(stream.state() == Stream::StreamOpen);
    uint8_t buffer[256];
    int32_t position = 0;
    for (size_t at = 1 + contentSize; at + 5 <= size; at += 5) {
        int32_t argument;
        std::memcpy(&argument, data + at + 1, 4);
        switch (data[at] % 4) {
        case 0: {
            position = stream.seek(argument, data[at] / 4 % 3);
            break;
        }
        case 1: {
            int32_t count = argument % 300;
            if (count > int32_t(sizeof buffer))
                count = sizeof buffer;
            int32_t got = stream.read(buffer, count);
            check(got >= 0 && got <= (count > 0 ? count : 0));
            check(got == 0 || std::memcmp(buffer, data + 1 + position, size_t(got)) == 0);
            position += got;
            break;
        }
        case 2:
            check(stream.write(buffer, argument) <= 0);
            break;
        default:
            check(stream.eof() == (position == int32_t(contentSize)));
            break;
        }
        check(position >= 0 && position <= int32_t(contentSize));
        check(stream.getPosition() == position);
    }
}

FuzzTarget fuzzTargetNamed(const char* name) {
    const struct {
        const char* name;
        FuzzTarget target;
    } targets[] = {{"texture", fuzzTextureFile},
                   {"chunkfile", fuzzChunkFile},
                   {"font", fuzzFontFile},
                   {"config", fuzzConfigFile},
                   {"memorystream", fuzzMemoryStream},
                   {"texture_gl", fuzzTextureUpload},
                   {"font_gl", fuzzFontDrawing},
                   {"png", fuzzPngImage}};
    for (const auto& entry : targets)
        if (std::strcmp(entry.name, name) == 0)
            return entry.target;
    return nullptr;
}
