// Throughput of the ".glt" and ".glf" readers on large files held in memory, and the readers'
// share of the game's own asset loading (the five textures and the font read from disk, without
// the OpenGL upload). The large files are made with the asset tools' writers.
#include "ChunkFileWriter.h"
#include "GltFormat.h"

#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/FontFile.h"
#include "resources/Image.h"
#include "resources/MemoryStream.h"
#include "resources/Stream.h"
#include "resources/Texture.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

Bytes largeTexture(uint32_t side) {
    std::vector<uint8_t> rgba(size_t(side) * side * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = uint8_t(i * 7);
    return encodeGlt(rgba.data(), side, side, GltRgba, GltRepeat);
}

Bytes largeFont(uint32_t side) {
    Bytes extension;
    putU32(extension, 100); // unit size
    putU32(extension, 0);
    putU32(extension, 0);
    ChunkFileWriter writer(ChunkMagicFont, "large", extension);
    Bytes image;
    putU32(image, side);
    putU32(image, side);
    putU32(image, 8);
    image.resize(image.size() + size_t(side) * side, 0x80);
    writer.addChunk(ChunkTypeFontImage, 0, image);
    Bytes glyphs;
    for (uint32_t code = 0; code < 256; ++code) {
        const uint32_t record[8] = {code, (code % 16) * 64, (code / 16) * 64, 60, 60, 2, 2, 64};
        for (uint32_t field : record)
            putU32(glyphs, field);
    }
    writer.addChunk(ChunkTypeGlyphs, 0, glyphs);
    return writer.finish();
}

void textureReader(benchmark::State& state) {
    const Bytes file = largeTexture(uint32_t(state.range(0)));
    MemoryStream stream(file.data(), int32_t(file.size()));
    for (auto _ : state) {
        stream.seek(0, Stream::SeekStart);
        TextureFileHeader header;
        TextureImage image;
        if (!Texture::readFileHeader(stream, header) || !Texture::readImage(stream, header, image))
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
        if (!font.load(stream) || !Font::readImage(font, image))
            state.SkipWithError("font refused");
        const Chunk* records = font.findChunk(FontFile::ChunkGlyphs, 0);
        if (records)
            Font::buildGlyphs(glyphs, records->data.data(), uint32_t(records->data.size()),
                              image.getWidth(), image.getHeight(), font.getUnitSize());
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
            TextureFileHeader header;
            TextureImage image;
            if (!stream || !Texture::readFileHeader(*stream, header) ||
                !Texture::readImage(*stream, header, image)) {
                state.SkipWithError("run the benchmark from the game's run directory");
                return;
            }
            bytes += Texture::FileHeaderSize + Texture::ImageHeaderSize + image.dataSize;
        }
        FontFile font;
        Image image;
        if (!font.load(String("data/graffiti.glf")) || !Font::readImage(font, image)) {
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
