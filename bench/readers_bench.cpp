// Throughput of the ".glt" and ".glf" readers on large files held in memory, and the readers'
// share of the game's own asset loading (the five textures and the font read from disk, without
// the OpenGL upload). The large files are made with the format library's writers.
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/FontFile.h"
#include "resources/Image.h"
#include "resources/MemoryStream.h"
#include "resources/Stream.h"
#include "resources/formats/GlfFormat.h"
#include "resources/formats/GltFormat.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using formats::Bytes;

Bytes largeTexture(uint32_t side) {
    formats::GltImage image;
    image.width = side;
    image.height = side;
    image.pixels.resize(size_t(side) * side * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = uint8_t(i * 7);
    image.dataSize = uint32_t(image.pixels.size());
    return formats::writeGlt(formats::GltFileHeader(), image);
}

Bytes largeFont(uint32_t side) {
    formats::GlfExtension extension;
    extension.unitSize = 100;
    formats::ChunkFileWriter writer(formats::GlfMagic, "large",
                                    formats::writeGlfExtension(extension));
    writer.addChunk(formats::GlfChunkImage, 0,
                    formats::writeGlfImage(side, side, Bytes(size_t(side) * side, 0x80)));
    std::vector<formats::GlyphRecord> glyphs;
    for (uint32_t code = 0; code < 256; ++code) {
        formats::GlyphRecord record;
        record.code = code;
        record.x = (code % 16) * 64;
        record.y = (code / 16) * 64;
        record.w = record.h = 60;
        record.xOffset = record.yOffset = 2;
        record.advance = 64;
        glyphs.push_back(record);
    }
    writer.addChunk(formats::GlfChunkGlyphs, 0, formats::writeGlyphRecords(glyphs));
    return writer.finish();
}

bool readTexture(Stream& stream, formats::GltFileHeader& header, formats::GltImage& image) {
    StreamSource source(stream);
    return bool(formats::readGlt(source, header, image));
}

void textureReader(benchmark::State& state) {
    const Bytes file = largeTexture(uint32_t(state.range(0)));
    MemoryStream stream(file.data(), int32_t(file.size()));
    for (auto _ : state) {
        stream.seek(0, Stream::SeekStart);
        formats::GltFileHeader header;
        formats::GltImage image;
        if (!readTexture(stream, header, image))
            state.SkipWithError("texture refused");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(textureReader)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond);

void fontReader(benchmark::State& state) {
    const Bytes file = largeFont(uint32_t(state.range(0)));
    MemoryStream stream(file.data(), int32_t(file.size()));
    static Glyph glyphs[Font::GlyphCount];
    for (auto _ : state) {
        stream.seek(0, Stream::SeekStart);
        FontFile font;
        Image image;
        if (!font.load(stream) || !readFontImage(font, image))
            state.SkipWithError("font refused");
        const Chunk* records = font.findChunk(formats::GlfChunkGlyphs, 0);
        if (records)
            buildGlyphTable(glyphs, *records, image.getWidth(), image.getHeight(),
                            font.getUnitSize());
        benchmark::DoNotOptimize(image.getPixels());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(fontReader)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);

// The game's files from its run directory (the working directory), through the file system.
void gameAssetsRead(benchmark::State& state) {
    static bool registered = false;
    if (!registered) {
        FileSystem::instance()->addSource("data/", new DiskDirectory("data"));
        FileSystem::instance()->addSource("textures/", new DiskDirectory("textures"));
        registered = true;
    }
    const char* const textures[] = {"petal", "center", "bg1", "logo", "cursor"};
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const char* name : textures) {
            std::unique_ptr<Stream> stream(FileSystem::instance()->openRead(
                String("textures/w_tavelina/") + String(name) + String(".glt")));
            formats::GltFileHeader header;
            formats::GltImage image;
            if (!stream || !readTexture(*stream, header, image)) {
                state.SkipWithError("run the benchmark from the game's run directory");
                return;
            }
            bytes += int64_t(formats::GltHeaderSize) + image.dataSize;
        }
        FontFile font;
        Image image;
        if (!font.load(String("data/graffiti.glf")) || !readFontImage(font, image)) {
            state.SkipWithError("run the benchmark from the game's run directory");
            return;
        }
        bytes += int64_t(image.getByteCount());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(gameAssetsRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
