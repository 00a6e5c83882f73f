// pelmora-fuzz-corpus: writes the fuzz targets' seed inputs into <corpus>/<target>/ with the
// format library's own writers: small sound files of each format and damaged variants (short
// headers, tables and data past the end, huge counts and sizes). Run through the "fuzz_corpus"
// target; the replay test checks every file in the corpus, found crashes included.
#include "PngImage.h"
#include "ToolSupport.h"

#include "resources/formats/GlfFormat.h"
#include "resources/formats/GltFormat.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdio>
#include <string>

using namespace formats;

namespace {

std::string corpus;
bool failed = false;

void write(const std::string& target, const std::string& name, const Bytes& data) {
    std::string directory = corpus + "/" + target;
    mkdir(directory.c_str(), 0755);
    std::string error;
    if (!writeFile(directory + "/" + name, data, error)) {
        std::fprintf(stderr, "pelmora-fuzz-corpus: %s\n", error.c_str());
        failed = true;
    }
}

Bytes cut(Bytes data, size_t size) {
    data.resize(size);
    return data;
}

Bytes patched(Bytes data, size_t at, uint32_t value) {
    writeLE32(data.data() + at, value);
    return data;
}

Bytes glt(uint32_t format, uint32_t width, uint32_t height, size_t pixels, uint32_t version = 0,
          uint32_t target = GlTexture2D) {
    GltFileHeader header;
    header.version = version;
    header.target = target;
    header.format = format;
    GltImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(pixels, 0);
    image.dataSize = uint32_t(pixels);
    return writeGlt(header, image);
}

void writeTextures() {
    Bytes rgba = glt(GlRgba, 2, 2, 16);
    write("texture", "rgba_2x2", rgba);
    write("texture", "rgb_3x2_padded", glt(GlRgb, 3, 2, 21));
    write("texture", "alpha_4x4", glt(GlAlpha, 4, 4, 16));
    write("texture", "luminance_4x4", glt(GlLuminance, 4, 4, 16));
    write("texture", "short_header", cut(rgba, 27));
    write("texture", "short_data", cut(rgba, rgba.size() - 1));
    write("texture", "data_below_gl_read", glt(GlRgba, 4, 4, 16));
    write("texture", "huge_datasize", patched(rgba, 32, 0xFFFFFFF0u));
    write("texture", "version2", glt(GlRgba, 2, 2, 16, 2));
    write("texture", "target_1d", glt(GlRgba, 2, 2, 16, 0, GlTexture1D));
    write("texture", "zero_width", glt(GlRgba, 0, 2, 16));
    write("texture", "colour_index", glt(GlColorIndex, 4, 4, 16));
    write("texture", "wider_than_drivers", glt(GlAlpha, 32768, 1, 32768));
}

Bytes chunkFile(uint32_t magic, const std::vector<Chunk>& chunks, const Bytes& extension = {}) {
    ChunkFileWriter writer(magic, "seed", extension);
    for (const Chunk& chunk : chunks)
        writer.addChunk(chunk.type, chunk.index, chunk.data);
    return writer.finish();
}

Chunk chunk(uint32_t type, uint32_t index, const std::string& text) {
    Chunk made;
    made.type = type;
    made.index = index;
    made.data.assign(text.begin(), text.end());
    return made;
}

void writeChunkFiles() {
    Bytes plain = chunkFile(ChunkMagicPlain, {chunk(fourCC('A', 'A', 'A', 'A'), 0, "abc"),
                                              chunk(fourCC('B', 'B', 'B', 'B'), 1, "defg")});
    size_t table = readLE32(plain.data() + 40);
    write("chunkfile", "two_chunks", plain);
    write("chunkfile", "empty", chunkFile(ChunkMagicPlain, {}));
    write("chunkfile", "header_47", cut(plain, 47));
    write("chunkfile", "count_wraps", patched(plain, 44, 0x10000001u));
    write("chunkfile", "table_past_end", patched(plain, 40, 0xFFFFFFF8u));
    write("chunkfile", "data_past_end", patched(plain, table + 12, 0x7FFFFFFFu));
}

Bytes font(uint32_t unit, uint32_t width, uint32_t height, const std::vector<GlyphRecord>& glyphs,
           size_t pixels) {
    GlfExtension extension;
    extension.unitSize = unit;
    Chunk image;
    image.type = GlfChunkImage;
    image.data = writeGlfImage(width, height, Bytes(pixels, 0xFF));
    Chunk records;
    records.type = GlfChunkGlyphs;
    records.data = writeGlyphRecords(glyphs);
    return chunkFile(GlfMagic, {image, records}, writeGlfExtension(extension));
}

GlyphRecord glyph(uint32_t code, uint32_t x, int32_t xOffset, int32_t yOffset, int32_t advance) {
    GlyphRecord record;
    record.code = code;
    record.x = x;
    record.w = 4;
    record.h = 4;
    record.xOffset = xOffset;
    record.yOffset = yOffset;
    record.advance = advance;
    return record;
}

void writeFonts() {
    const GlyphRecord a = glyph('A', 0, 0, 0, 5);
    Bytes two = font(8, 8, 4, {a, glyph('B', 4, -9, -2, 3)}, 32);
    write("font", "one_glyph", font(8, 8, 4, {a}, 32));
    write("font", "two_and_a_bit_records", patched(two, two.size() - 4, 70));
    write("font", "code_256", font(8, 8, 4, {glyph(256, 0, 0, 0, 5)}, 32));
    write("font", "negative_corner", font(8, 8, 4, {glyph('A', 0, -100, -100, -1)}, 32));
    write("font", "short_image", font(8, 8, 4, {a}, 10));
    write("font", "odd_width", font(8, 6, 2, {a}, 12));
    write("font", "zero_unit", font(0, 8, 4, {a}, 32));
    write("font", "short_extension", cut(font(8, 8, 4, {a}, 32), 55));
}

void writeConfigs() {
    std::string sections = "[GraphicSystem]\nwidth=1024\nHeight = 768\n; comment\n[Other]\n"
                           "key=Value\n";
    write("config", "sections", Bytes(sections.begin(), sections.end()));
    std::string odd =
        "[unclosed\n=novalue\nkey\n\n\r\n[]\nx=" + std::string(600, 'y') + std::string("\n\0\n", 3);
    write("config", "odd_lines", Bytes(odd.begin(), odd.end()));
}

// One memory-stream operation: a code byte, then a 32-bit argument.
void operation(Bytes& out, uint8_t code, uint32_t argument) {
    out.push_back(code);
    append32(out, argument);
}

void writeMemoryStreams() {
    Bytes seeks = {10};
    appendBytes(seeks, "0123456789", 10);
    const struct {
        uint8_t code;
        uint32_t argument;
    } operations[] = {{0, 8}, {1, 4},           {4, 0xFFFFFFFBu}, {3, 0},
                      {2, 5}, {8, 0x7FFFFFFFu}, {1, 0x80000000u}};
    for (const auto& step : operations)
        operation(seeks, step.code, step.argument);
    write("memorystream", "seeks_and_reads", seeks);
    Bytes empty = {0};
    operation(empty, 3, 0);
    operation(empty, 1, 1);
    write("memorystream", "empty", empty);
}

// A PNG chunk with its length and CRC, for headers libpng would never write.
void pngChunk(Bytes& out, const char* type, const Bytes& data) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(data.size() >> shift));
    size_t start = out.size();
    appendBytes(out, type, 4);
    appendBytes(out, data.data(), data.size());
    uint32_t crc = uint32_t(crc32(0, out.data() + start, uInt(out.size() - start)));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(crc >> shift));
}

Bytes pngClaiming(uint32_t width, uint32_t height) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    for (uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(uint8_t(value >> shift));
    for (uint8_t field : {8, 6, 0, 0, 0}) // 8-bit RGBA, not interlaced
        header.push_back(field);
    pngChunk(out, "IHDR", header);
    pngChunk(out, "IEND", {});
    return out;
}

void writePngs() {
    for (bool alpha : {false, true}) {
        PngImage picture;
        picture.width = 3;
        picture.height = 2;
        for (uint32_t i = 0; i < 3 * 2 * 4; ++i)
            picture.rgba.push_back(uint8_t(i * 37));
        std::string path = corpus + "/png/" + (alpha ? "rgba_3x2" : "rgb_3x2");
        std::string error;
        mkdir((corpus + "/png").c_str(), 0755);
        if (!picture.write(path, alpha, error)) {
            std::fprintf(stderr, "pelmora-fuzz-corpus: %s\n", error.c_str());
            failed = true;
        }
    }
    write("png", "claims_a_million_squared", pngClaiming(1000000, 1000000));
    write("png", "claims_16384x8192", pngClaiming(16384, 8192));
    write("png", "signature_only", cut(pngClaiming(1, 1), 8));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmora-fuzz-corpus corpus-directory\n");
        return 2;
    }
    corpus = argv[1];
    mkdir(corpus.c_str(), 0755);
    writeTextures();
    writeChunkFiles();
    writeFonts();
    writeConfigs();
    writeMemoryStreams();
    writePngs();
    return failed ? 1 : 0;
}
