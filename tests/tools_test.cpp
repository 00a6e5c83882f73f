// The asset tools run as programs: PNGs written here go through pelmora-texpack, the committed
// font through pelmora-fontbake, and what comes out is read back with the format library's
// readers (whose layout the resource tests pin down byte by byte). pelmora-inspect must give the
// engine's own verdict on sound and damaged files, and no input may make a tool abort. Also
// checks the game's built data against what the flower scene relies on.
#include <gtest/gtest.h>

#ifdef PELMORA_TOOLS_BUILT
#include "game/Messages.h"
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/Texture.h"
#include "resources/formats/GlfFormat.h"
#include "resources/formats/GltFormat.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GlContext.h"
#include "tests/support/TestSupport.h"
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using formats::Bytes;

const std::string toolDir = std::string(PELMORA_BINARY_DIR) + "/tools/";
const std::string fontSource = std::string(PELMORA_SOURCE_DIR) + "/assets/fonts/Comfortaa-Bold.ttf";
// A Debian font (fonts-dejavu-extra) with Latin and Greek letters but no Cyrillic.
const std::string latinFont = "/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf";

const char* const messages[] = {LovesMessage, LovesNotMessage, LovedVerdict, NotLovedVerdict,
                                "0123456789"};

// Files the cases make live in the process's own working directory, which goes when it ends.
std::string scratch(const std::string& name) {
    return testsupport::workDirectory() + "/" + name;
}

struct RunResult {
    int status;
    std::string output;
};

// The tool's status (128 + the signal that ended it, if one did) and its standard output and
// error together; the arguments are read by the shell.
RunResult run(const std::string& tool, const std::string& arguments) {
    testsupport::ChildProcess::Options options;
    options.output = options.errorsToOutput = true;
    testsupport::ChildProcess child({"/bin/sh", "-c", toolDir + tool + " " + arguments}, options);
    RunResult result{-1, child.readAll()};
    if (child.started())
        result.status = child.wait();
    return result;
}

bool contains(const RunResult& result, const std::string& text) {
    return result.output.find(text) != std::string::npos;
}

const auto readBytes = testsupport::readFile<Bytes>;
using testsupport::writeFile;

// Writes a PNG whose channel c of pixel (x, y) is value(x, y, c).
void writePng(const std::string& path, uint32_t width, uint32_t height, int colourType,
              int channels, const std::function<uint8_t(uint32_t, uint32_t, int)>& value) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(width * channels);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                row[x * channels + c] = value(x, y, c);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(file);
}

uint8_t pattern(uint32_t x, uint32_t y, int c) {
    return uint8_t(x * 40 + y * 7 + c * 60 + 1);
}

struct GltFile {
    formats::GltFileHeader header;
    formats::GltImage image;
};

GltFile readGlt(const std::string& path) {
    Bytes data = readBytes(path);
    formats::MemorySource source(data);
    GltFile file;
    formats::Verdict verdict = formats::readGlt(source, file.header, file.image);
    EXPECT_TRUE(verdict) << path << ": " << verdict.reason();
    return file;
}

// The pattern written as <name>.png with that PNG colour type, packed by pelmora-texpack into
// <name>.glt with the options given, and read back.
GltFile packPattern(const std::string& name, uint32_t width, uint32_t height, int colourType,
                    int channels, const std::string& options = "") {
    std::string png = scratch(name + ".png"), glt = scratch(name + ".glt");
    writePng(png, width, height, colourType, channels, pattern);
    RunResult result = run("pelmora-texpack", options + " " + png + " " + glt);
    EXPECT_EQ(result.status, 0) << result.output;
    return readGlt(glt);
}

// ---- textures ---------------------------------------------------------------------------------

TEST(TexturePacking, RgbRowsArePaddedToFourBytesWithTheTopRowFirst) {
    GltFile file = packPattern("rgb3x2", 3, 2, PNG_COLOR_TYPE_RGB, 3);
    Bytes raw = readBytes(scratch("rgb3x2.glt"));
    ASSERT_GE(raw.size(), 4u);
    EXPECT_EQ(std::string(raw.begin(), raw.begin() + 4), "GLTF");
    EXPECT_EQ(file.header.version, 1u);
    EXPECT_EQ(file.header.target, 0x0DE1u);
    EXPECT_EQ(file.header.format, 0x1907u);
    EXPECT_EQ(file.header.type, 0x1401u);
    EXPECT_EQ(file.header.wrap, 0x2901u);
    EXPECT_EQ(file.image.width, 3u);
    EXPECT_EQ(file.image.height, 2u);
    // 3 pixels x 3 bytes = 9, padded to 12 per row.
    ASSERT_EQ(file.image.dataSize, 24u);
    for (uint32_t y = 0; y < 2; ++y) {
        for (uint32_t x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(file.image.pixels[y * 12 + x * 3 + c], pattern(x, y, c))
                    << "x " << x << " y " << y << " c " << c;
        for (int pad = 9; pad < 12; ++pad)
            EXPECT_EQ(file.image.pixels[y * 12 + pad], 0) << "padding of row " << y;
    }
}

TEST(TexturePacking, AlphaInThePngGivesRgbaAndClampIsStored) {
    // Both spellings of an option's value, and "--" before the operands.
    GltFile file =
        packPattern("rgba5x3", 5, 3, PNG_COLOR_TYPE_RGBA, 4, "--wrap=clamp --format rgba --");
    EXPECT_EQ(file.header.format, 0x1908u);
    EXPECT_EQ(file.header.wrap, 0x2900u);
    ASSERT_EQ(file.image.dataSize, 60u);
    EXPECT_EQ(file.image.pixels[(2 * 5 + 4) * 4 + 3], pattern(4, 2, 3));
    EXPECT_EQ(file.image.pixels[(1 * 5 + 0) * 4 + 0], pattern(0, 1, 0));
}

TEST(TexturePacking, FormatOptionOverridesTheChoiceFromThePng) {
    GltFile file = packPattern("forced", 5, 3, PNG_COLOR_TYPE_RGBA, 4, "--format rgb");
    EXPECT_EQ(file.header.format, 0x1907u);
    // 15 bytes of pixels padded to 16 per row; the alpha channel is gone.
    ASSERT_EQ(file.image.dataSize, 48u);
    EXPECT_EQ(file.image.pixels[16 * 2 + 4 * 3 + 2], pattern(4, 2, 2));

    file = packPattern("grey", 2, 2, PNG_COLOR_TYPE_GRAY, 1, "--format rgba");
    EXPECT_EQ(file.header.format, 0x1908u);
    ASSERT_EQ(file.image.pixels.size(), 16u);
    EXPECT_EQ(file.image.pixels[4 * 3 + 0], pattern(1, 1, 0));
    EXPECT_EQ(file.image.pixels[4 * 3 + 2], pattern(1, 1, 0));
    EXPECT_EQ(file.image.pixels[4 * 3 + 3], 255);
}

// The start of a PNG whose header claims width x height pixels: the signature, the header and
// the first image chunk's own header, which is where a reader learns the size.
Bytes pngHeader(uint32_t width, uint32_t height) {
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            file.push_back(uint8_t(value >> shift));
    for (uint8_t field : {8, 6, 0, 0, 0}) // 8-bit RGBA, not interlaced
        file.push_back(field);
    uint32_t crc = uint32_t(crc32(0, &file[12], 17));
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(uint8_t(crc >> shift));
    const uint8_t imageChunk[] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
    file.insert(file.end(), std::begin(imageChunk), std::end(imageChunk));
    return file;
}

TEST(TexturePacking, BadInputFailsWithItsReasonAndWritesNothing) {
    std::string out = scratch("never.glt");
    std::string text = scratch("not-a-png.png");
    writeFile(text, Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
    std::string good = scratch("cut-source.png"), cut = scratch("cut.png");
    writePng(good, 64, 64, PNG_COLOR_TYPE_RGB, 3, pattern);
    Bytes whole = readBytes(good);
    writeFile(cut, Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    std::string huge = scratch("huge.png"), wide = scratch("wide.png");
    writeFile(huge, pngHeader(1000000, 1000000));
    writeFile(wide, pngHeader(16384, 8192));

    const struct {
        std::string arguments;
        int status;
        const char* reason;
    } cases[] = {
        {scratch("missing.png") + " " + out, 1, "No such file or directory"},
        {text + " " + out, 1, "is not a PNG file"},
        {cut + " " + out, 1, "broken PNG"},
        {huge + " " + out, 1, "exceeds user limit"},
        {wide + " " + out, 1, "larger than the 256 MiB"},
        {"--wrap mirror " + good + " " + out, 2, "--wrap must be repeat or clamp"},
        {"--format bgr " + good + " " + out, 2, "--format must be rgb or rgba"},
        {"--bogus " + good + " " + out, 2, "unknown option --bogus"},
        {good, 2, "an input PNG and an output file are needed"},
        {scratch("missing.png") + " " + scratch("no-such-dir/x.glt"), 1, "cannot open"},
        {good + " " + scratch("no-such-dir/x.glt"), 1, "cannot create"},
    };
    for (const auto& c : cases) {
        RunResult result = run("pelmora-texpack", c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.output;
        EXPECT_TRUE(contains(result, std::string("pelmora-texpack: "))) << result.output;
        EXPECT_TRUE(contains(result, c.reason)) << c.arguments << "\n" << result.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.arguments;
    }
}

// ---- fonts ------------------------------------------------------------------------------------

struct BakedFont {
    formats::GlfFile file;
    std::map<uint32_t, formats::GlyphRecord> glyphs;
    Bytes data;
};

// Reads a baked font with the engine's reader; every record must be for a distinct code.
void readFont(const std::string& path, BakedFont& font) {
    font.data = readBytes(path);
    formats::MemorySource source(font.data);
    formats::Verdict verdict = formats::readGlf(source, font.file);
    ASSERT_TRUE(verdict) << path << ": " << verdict.reason();
    EXPECT_EQ(std::string(font.data.begin(), font.data.begin() + 8), "GLFv0.1 ");
    EXPECT_EQ(font.file.glyphs->size % 32, 0u);
    for (uint32_t i = 0; i < formats::glyphRecordCount(*font.file.glyphs); ++i) {
        formats::GlyphRecord r = formats::readGlyphRecord(*font.file.glyphs, i);
        EXPECT_EQ(font.glyphs.count(r.code), 0u) << "duplicate record for " << r.code;
        font.glyphs[r.code] = r;
    }
}

bool isPowerOfTwo(uint32_t v) {
    return v && !(v & (v - 1));
}

class FontBaking : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        defaultUnit = scratch("default.glf");
        explicitUnit = scratch("unit50.glf");
        bakeStatus[0] = run("pelmora-fontbake", "--size 24 " + fontSource + " " + defaultUnit);
        bakeStatus[1] =
            run("pelmora-fontbake", "--size=24 --unit 50 " + fontSource + " " + explicitUnit);
    }
    static std::string defaultUnit, explicitUnit;
    static RunResult bakeStatus[2];
};
std::string FontBaking::defaultUnit, FontBaking::explicitUnit;
RunResult FontBaking::bakeStatus[2];

TEST_F(FontBaking, ImageHasPowerOfTwoSidesAndEveryLetterOfTheMessagesIsInkedInsideIt) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    BakedFont font;
    readFont(defaultUnit, font);
    const formats::GlfImage& image = font.file.image;
    EXPECT_TRUE(isPowerOfTwo(image.width)) << image.width;
    EXPECT_TRUE(isPowerOfTwo(image.height)) << image.height;
    for (const char* message : messages)
        for (const char* p = message; *p; ++p) {
            uint32_t code = uint8_t(*p);
            ASSERT_TRUE(font.glyphs.count(code)) << "no record for byte " << code;
            const formats::GlyphRecord& g = font.glyphs[code];
            EXPECT_GT(g.advance, 0) << code;
            EXPECT_LE(g.x + g.w, image.width) << code;
            EXPECT_LE(g.y + g.h, image.height) << code;
            if (code == ' ')
                continue;
            uint32_t ink = 0;
            for (uint32_t y = g.y; y < g.y + g.h; ++y)
                for (uint32_t x = g.x; x < g.x + g.w; ++x)
                    ink += image.pixels[y * image.width + x];
            EXPECT_GT(ink, 0u) << "glyph " << code << " has no ink in its rectangle";
        }
}

TEST_F(FontBaking, NoInkLiesOutsideTheGlyphRectangles) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    BakedFont font;
    readFont(defaultUnit, font);
    const formats::GlfImage& image = font.file.image;
    std::vector<bool> covered(size_t(image.width) * image.height, false);
    for (const auto& [code, g] : font.glyphs) {
        ASSERT_LE(g.x + g.w, image.width) << code;
        ASSERT_LE(g.y + g.h, image.height) << code;
        for (uint32_t y = g.y; y < g.y + g.h; ++y)
            for (uint32_t x = g.x; x < g.x + g.w; ++x)
                covered[y * image.width + x] = true;
    }
    size_t stray = 0;
    for (size_t i = 0; i < covered.size(); ++i)
        if (!covered[i] && image.pixels[i] != 0)
            ++stray;
    EXPECT_EQ(stray, 0u);
}

TEST_F(FontBaking, TextStandsBelowThePenWithinOneLineByDefault) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    BakedFont font;
    readFont(defaultUnit, font);
    uint32_t unit = font.file.extension.unitSize;
    ASSERT_GT(unit, 0u);
    // Cap height of a capital: well over half of the unit, so text at size S is about S tall.
    const formats::GlyphRecord& capital = font.glyphs[0xCF];
    EXPECT_GT(capital.h * 2, unit);
    for (const char* message : messages)
        for (const char* p = message; *p; ++p) {
            const formats::GlyphRecord& g = font.glyphs[uint8_t(*p)];
            if (g.h == 0)
                continue;
            EXPECT_GE(g.yOffset, 0) << "byte " << unsigned(uint8_t(*p)) << " rises above the pen";
            EXPECT_LE(g.yOffset + int32_t(g.h), int32_t(unit))
                << "byte " << unsigned(uint8_t(*p)) << " hangs below the line";
        }
    // Baseline is shared: a lower-case letter without a descender ends where the capital does.
    const formats::GlyphRecord& lower = font.glyphs[0xEE];
    EXPECT_NEAR(lower.yOffset + int32_t(lower.h), capital.yOffset + int32_t(capital.h), 1);
}

TEST_F(FontBaking, UnitOptionIsStoredAndLeavesTheGlyphsAlone) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    ASSERT_EQ(bakeStatus[1].status, 0) << bakeStatus[1].output;
    BakedFont byDefault, explicitly;
    readFont(defaultUnit, byDefault);
    readFont(explicitUnit, explicitly);
    EXPECT_EQ(explicitly.file.extension.unitSize, 50u);
    EXPECT_NE(byDefault.file.extension.unitSize, 50u);
    ASSERT_EQ(byDefault.glyphs.size(), explicitly.glyphs.size());
    EXPECT_EQ(byDefault.glyphs[0xC0].advance, explicitly.glyphs[0xC0].advance);
}

TEST(FontBakingInput, FontWithoutTheCodePagesLettersIsRefusedUnlessMissingOnesAreAllowed) {
    ASSERT_TRUE(std::filesystem::exists(latinFont)) << "install fonts-dejavu-extra";
    std::string out = scratch("latin.glf");
    RunResult result = run("pelmora-fontbake", latinFont + " " + out);
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_FALSE(std::filesystem::exists(out));
    // One line, naming each of the 66 letters of Windows-1251 by byte and code point.
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
    EXPECT_TRUE(contains(result, "lacks 66 letters of cp1251")) << result.output;
    for (const char* letter : {"0xA8 (U+0401)", "0xB8 (U+0451)", "0xC0 (U+0410)", "0xFF (U+044F)"})
        EXPECT_TRUE(contains(result, letter)) << letter;

    result = run("pelmora-fontbake", "--allow-missing --size 16 " + latinFont + " " + out);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(contains(result, "warning: no glyph for")) << result.output;
    BakedFont font;
    readFont(out, font);
    EXPECT_TRUE(font.glyphs.count('A'));
    EXPECT_FALSE(font.glyphs.count(0xC0));
}

TEST(FontBakingInput, BadInputFailsWithItsReasonAndWritesNothing) {
    std::string out = scratch("never.glf");
    std::string text = scratch("not-a-font.ttf");
    writeFile(text, Bytes(200, 'x'));
    const struct {
        std::string arguments;
        int status;
        std::string reason;
    } cases[] = {
        {scratch("missing.ttf") + " " + out, 1,
         "cannot open " + scratch("missing.ttf") + ": No such file or directory"},
        {text + " " + out, 1, "is not a font: unknown file format (FT_Err_Unknown_File_Format)"},
        {"--size 0 " + fontSource + " " + out, 2, "bad value for --size: 0"},
        {"--size=big " + fontSource + " " + out, 2, "bad value for --size: big"},
        {"--unit -3 " + fontSource + " " + out, 2, "bad value for --unit"},
        {"--codepage klingon " + fontSource + " " + out, 2, "unknown code page klingon"},
        {"--whatever " + fontSource + " " + out, 2, "unknown option --whatever"},
        {"--allow-missing=yes " + fontSource + " " + out, 2, "--allow-missing takes no value"},
        {"--name 0123456789abcdef0123456789abcdefX " + fontSource + " " + out, 2,
         "--name is 33 bytes; the file's name field holds 32"},
        {fontSource, 2, "a font file and an output file are needed"},
    };
    for (const auto& c : cases) {
        RunResult result = run("pelmora-fontbake", c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.output;
        EXPECT_TRUE(contains(result, "pelmora-fontbake: ")) << result.output;
        EXPECT_TRUE(contains(result, c.reason)) << c.arguments << "\n" << result.output;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.arguments;
    }
}

TEST(FontBakingInput, NameIsKeptWholeOrCutToTheFieldWithAWarning) {
    std::string out = scratch("named.glf");
    std::string name = "0123456789abcdef0123456789abcdef";
    RunResult result =
        run("pelmora-fontbake", "--size 8 --name " + name + " " + fontSource + " " + out);
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_FALSE(contains(result, "warning")) << result.output;
    BakedFont font;
    readFont(out, font);
    EXPECT_EQ(font.file.header.name, name);

    // The name made from the font, "DejaVu Sans Condensed Bold Oblique 8", is 36 bytes.
    const std::string longNamed =
        "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-BoldOblique.ttf";
    ASSERT_TRUE(std::filesystem::exists(longNamed)) << "install fonts-dejavu-extra";
    result = run("pelmora-fontbake", "--size 8 --allow-missing " + longNamed + " " + out);
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(contains(result, "warning: the font's name is cut to \"DejaVu Sans Condensed Bold "
                                 "Obliq\""))
        << result.output;
    BakedFont cut;
    readFont(out, cut);
    EXPECT_EQ(cut.file.header.name, "DejaVu Sans Condensed Bold Obliq");
}

// ---- every tool -------------------------------------------------------------------------------

TEST(ToolCommandLine, EveryToolAnswersHelpAndTheProjectVersion) {
    for (const char* tool : {"pelmora-texpack", "pelmora-fontbake", "pelmora-inspect"}) {
        RunResult result = run(tool, "--version");
        EXPECT_EQ(result.status, 0) << tool;
        EXPECT_TRUE(std::regex_match(result.output,
                                     std::regex(std::string(tool) + " [0-9]+\\.[0-9]+\\.[0-9]+\n")))
            << result.output;
        result = run(tool, "--help");
        EXPECT_EQ(result.status, 0) << tool;
        EXPECT_TRUE(contains(result, std::string("usage: ") + tool)) << result.output;
    }
}

// ---- inspector --------------------------------------------------------------------------------

class Inspection : public ::testing::Test {
protected:
    void SetUp() override {
        std::string png = scratch("inspect.png");
        texture = scratch("inspect.glt");
        writePng(png, 16, 16, PNG_COLOR_TYPE_RGB, 3, pattern);
        ASSERT_EQ(run("pelmora-texpack", png + " " + texture).status, 0);
        font = scratch("inspect.glf");
        ASSERT_EQ(run("pelmora-fontbake", "--size 16 " + fontSource + " " + font).status, 0);
    }

    // Writes a copy of source (keeping its extension) changed by edit and inspects it.
    RunResult inspectEdited(const std::string& source, const std::function<void(Bytes&)>& edit) {
        Bytes data = readBytes(source);
        edit(data);
        std::string path = scratch("edited" + std::filesystem::path(source).extension().string());
        writeFile(path, data);
        return run("pelmora-inspect", path);
    }

    // Position of the table entry for a chunk type in a chunk file.
    static size_t entryOf(const Bytes& data, const char* type) {
        uint32_t table = formats::readLE32(&data[40]), count = formats::readLE32(&data[44]);
        for (uint32_t i = 0; i < count; ++i)
            if (std::equal(type, type + 4, data.begin() + table + i * 16))
                return table + i * 16;
        ADD_FAILURE() << "no chunk " << type;
        return table;
    }
    static void put32(Bytes& data, size_t at, uint32_t value) {
        formats::writeLE32(&data[at], value);
    }

    std::string texture, font;
};

// The verdict is the last line of the output.
std::string verdictOf(const RunResult& result) {
    std::string text = result.output;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.substr(text.rfind('\n') + 1);
}

TEST_F(Inspection, SoundFilesPassWithAVerdictEach) {
    RunResult result = run("pelmora-inspect", texture + " " + font);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(contains(result, "image: 16x16")) << result.output;
    EXPECT_TRUE(contains(result, "CHRS")) << result.output;
    EXPECT_TRUE(contains(result, "OK: the engine loads this texture\n")) << result.output;
    EXPECT_EQ(verdictOf(result), "OK: the engine loads this font");
}

TEST_F(Inspection, RefusalsAreNamedInTheVerdict) {
    const struct {
        const std::string* file;
        std::function<void(Bytes&)> edit;
        const char* verdict;
    } cases[] = {
        {&texture, [](Bytes& d) { d.resize(d.size() - 100); },
         "BROKEN: the engine refuses this texture: dataSize 768 but only 668 bytes follow the "
         "header"},
        {&texture, [](Bytes& d) { d.resize(30); },
         "BROKEN: the engine refuses this texture: only 2 of the 16-byte image header are there"},
        {&texture, [](Bytes& d) { put32(d, 40, 17); },
         "BROKEN: the engine refuses this texture: dataSize 768 is less than the 816 bytes OpenGL "
         "reads for a 16x17 image (rows of 48 bytes, padded to 4)"},
        {&texture, [](Bytes& d) { d[0] = 'X'; },
         "BROKEN: the engine refuses this texture: bad magic \"XLTF\": not GLTF"},
        {&texture, [](Bytes& d) { put32(d, 4, 2); },
         "BROKEN: the engine refuses this texture: version 2 is newer than 1"},
        {&font, [](Bytes& d) { d[entryOf(d, "FBIT")] = 'X'; },
         "BROKEN: the engine refuses this font: no FBIT chunk with index 0: the font has no image"},
        {&font, [](Bytes& d) { put32(d, formats::readLE32(&d[entryOf(d, "FBIT") + 8]), 30); },
         "BROKEN: the engine refuses this font: FBIT width 30 is not a multiple of 4"},
        {&font, [](Bytes& d) { put32(d, 44, 1000000); }, "chunk table at"},
        {&font, [](Bytes& d) { put32(d, entryOf(d, "CHRS") + 12, uint32_t(d.size())); },
         "(CHRS index 0) data at"},
    };
    for (const auto& c : cases) {
        RunResult result = inspectEdited(*c.file, c.edit);
        EXPECT_EQ(result.status, 1) << result.output;
        EXPECT_NE(verdictOf(result).find(c.verdict), std::string::npos) << result.output;
    }
}

TEST_F(Inspection, WhatTheEngineLoadsIsOnlyWarnedAbout) {
    RunResult result = inspectEdited(font, [&](Bytes& d) {
        put32(d, formats::readLE32(&d[entryOf(d, "CHRS") + 8]), 300);
        put32(d, formats::readLE32(&d[entryOf(d, "CHRS") + 8]) + 32 + 4, 100000);
    });
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(contains(result, "code 300, beyond the 256-entry glyph table")) << result.output;
    EXPECT_TRUE(contains(result, "reaches outside")) << result.output;
    EXPECT_EQ(verdictOf(result), "OK: the engine loads this font");
}

TEST_F(Inspection, UnreadableAndTooShortFilesEndWithAVerdictToo) {
    std::string absent = scratch("absent.glf");
    RunResult result = run("pelmora-inspect", absent);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(verdictOf(result), "BROKEN: the engine refuses this file: cannot open " + absent +
                                     ": No such file or directory");
    std::string tiny = scratch("tiny.bin");
    writeFile(tiny, Bytes{'G', 'L'});
    result = run("pelmora-inspect", tiny);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(verdictOf(result), "BROKEN: the engine refuses this file: 2 bytes: too short to "
                                 "tell what kind of file it is");
    std::string empty = scratch("empty.glt");
    writeFile(empty, Bytes{});
    result = run("pelmora-inspect", empty);
    EXPECT_EQ(verdictOf(result), "BROKEN: the engine refuses this texture: only 0 of the 28-byte "
                                 "file header are there");
    // A pipe without a writer would hold the tool, and /dev/zero never ends.
    std::string pipe = scratch("pipe.glt");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& special : {pipe, std::string("/dev/zero")}) {
        result = run("pelmora-inspect", special);
        EXPECT_EQ(result.status, 1) << special;
        EXPECT_EQ(verdictOf(result), "BROKEN: the engine refuses this file: cannot read " +
                                         special + ": not a regular file");
    }
    EXPECT_EQ(run("pelmora-inspect", "").status, 2);
    EXPECT_EQ(run("pelmora-inspect", "--frobnicate " + font).status, 2);
}

// The inspector and the engine's loaders must agree on every file, sound or damaged: the same
// files go through pelmora-inspect and through Texture::load and Font::load in a real context.
class InspectorAndEngine : public Inspection {
protected:
    static void SetUpTestSuite() {
        testsupport::makeContext();
        std::filesystem::create_directories(scratch("agree"));
        FileSystem::instance()->addSource("agree/", new DiskDirectory(scratch("agree").c_str()));
    }

    void expectAgreement(const std::string& name, const Bytes& data) {
        std::string path = scratch("agree/" + name);
        writeFile(path, data);
        std::string resource = "agree/" + name.substr(0, name.size() - 4);
        bool loads = name.substr(name.size() - 4) == ".glt"
                         ? Texture::load(resource.c_str()) != nullptr
                         : Font::load(resource.c_str()) != nullptr;
        RunResult result = run("pelmora-inspect", path);
        EXPECT_EQ(result.status, loads ? 0 : 1) << name << "\n" << result.output;
    }
};

formats::Bytes gltFile(uint32_t format, uint32_t type, uint32_t width, uint32_t height,
                       size_t dataSize, uint32_t wrap = formats::GlRepeat) {
    formats::GltFileHeader header;
    header.format = format;
    header.type = type;
    header.wrap = wrap;
    formats::GltImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(dataSize, 0x55);
    image.dataSize = uint32_t(dataSize);
    return formats::writeGlt(header, image);
}

TEST_F(InspectorAndEngine, AgreeOnTextures) {
    using namespace formats;
    expectAgreement("sound.glt", readBytes(texture));
    expectAgreement("red.glt", gltFile(GlRed, GlUnsignedByte, 4, 4, 16));
    expectAgreement("mirrored.glt", gltFile(GlRgba, GlUnsignedByte, 2, 2, 16, GlMirroredRepeat));
    expectAgreement("unknown_wrap.glt", gltFile(GlRgba, GlUnsignedByte, 2, 2, 16, 0x1234));
    expectAgreement("unpadded_last_row.glt", gltFile(GlRgb, GlUnsignedByte, 3, 2, 21));
    expectAgreement("short_last_row.glt", gltFile(GlRgb, GlUnsignedByte, 3, 2, 20));
    expectAgreement("sixteen_bit.glt", gltFile(GlRgba, GlUnsignedShort, 2, 2, 32));
    expectAgreement("sixteen_bit_short.glt", gltFile(GlRgba, GlUnsignedShort, 2, 2, 16));
    expectAgreement("half_float.glt", gltFile(GlRgba, 0x140B, 2, 2, 32));
    expectAgreement("packed.glt", gltFile(GlRgb, GlUnsignedShort565, 2, 2, 8));
    expectAgreement("packed_mismatch.glt", gltFile(GlRgba, GlUnsignedShort565, 2, 2, 8));
    expectAgreement("colour_index.glt", gltFile(GlColorIndex, GlUnsignedByte, 4, 4, 16));
    expectAgreement("zero_height.glt", gltFile(GlRgba, GlUnsignedByte, 4, 0, 16));
    expectAgreement("npot.glt", gltFile(GlLuminance, GlUnsignedByte, 5, 3, 21));
    Bytes target = readBytes(texture);
    formats::writeLE32(&target[12], GlTexture1D);
    expectAgreement("target_1d.glt", target);
    Bytes version = readBytes(texture);
    formats::writeLE32(&version[4], 2);
    expectAgreement("version_2.glt", version);
}

TEST_F(InspectorAndEngine, AgreeOnFonts) {
    Bytes sound = readBytes(font);
    expectAgreement("sound.glf", sound);
    size_t image = formats::readLE32(&sound[entryOf(sound, "FBIT") + 8]);
    size_t glyphs = formats::readLE32(&sound[entryOf(sound, "CHRS") + 8]);
    const struct {
        const char* name;
        std::function<void(Bytes&)> edit;
    } edits[] = {
        {"other_magic.glf", [](Bytes& d) { d[0] = 'X'; }},
        {"other_version.glf", [](Bytes& d) { d[6] = '2'; }},
        {"zero_unit.glf", [](Bytes& d) { put32(d, 48, 0); }},
        {"short_extension.glf", [](Bytes& d) { d.resize(55); }},
        {"no_glyph_table.glf", [&](Bytes& d) { d[entryOf(d, "CHRS")] = 'X'; }},
        {"glyph_table_index_1.glf", [&](Bytes& d) { put32(d, entryOf(d, "CHRS") + 4, 1); }},
        {"code_300.glf", [&](Bytes& d) { put32(d, glyphs, 300); }},
        {"glyph_outside.glf", [&](Bytes& d) { put32(d, glyphs + 4, 100000); }},
        {"odd_width.glf", [&](Bytes& d) { put32(d, image, 30); }},
        {"zero_height.glf", [&](Bytes& d) { put32(d, image + 4, 0); }},
        {"taller_than_its_chunk.glf", [&](Bytes& d) { put32(d, image + 4, 100000); }},
        {"table_past_end.glf", [](Bytes& d) { put32(d, 44, 1000); }},
    };
    for (const auto& e : edits) {
        Bytes data = sound;
        e.edit(data);
        expectAgreement(e.name, data);
    }
}

// ---- the game's data --------------------------------------------------------------------------

const std::string runDirectory = PELMORA_BINARY_DIR;

TEST(GameData, FontFitsTheScreenAtTheGameSizes) {
    BakedFont font;
    readFont(runDirectory + "/data/graffiti.glf", font);
    float unit = float(font.file.extension.unitSize);
    ASSERT_GT(unit, 0.0f);
    auto width = [&](const char* text, float size) {
        float sum = 0;
        for (const char* p = text; *p; ++p) {
            auto found = font.glyphs.find(uint8_t(*p));
            EXPECT_NE(found, font.glyphs.end()) << "byte " << unsigned(uint8_t(*p));
            if (found != font.glyphs.end())
                sum += size * found->second.advance / unit;
        }
        return sum;
    };
    EXPECT_LE(width(LovedVerdict, 80), 960);
    EXPECT_LE(width(NotLovedVerdict, 80), 960);
    EXPECT_GE(width(NotLovedVerdict, 80), 600) << "the verdict would look lost on the screen";
    EXPECT_LT(width("9999", 32), 120);
    // The running message at y = height - 50 and size 40 must end above the screen's bottom.
    for (const char* message : {LovesMessage, LovesNotMessage})
        for (const char* p = message; *p; ++p) {
            const formats::GlyphRecord& g = font.glyphs[uint8_t(*p)];
            EXPECT_LE(40.0f * (g.yOffset + int32_t(g.h)) / unit, 50.0f);
        }
}

TEST(GameData, TexturesCarryWhatTheSceneReliesOn) {
    const struct {
        const char* name;
        uint32_t format;
    } textures[] = {{"petal", 0x1907},
                    {"center", 0x1907},
                    {"bg1", 0x1907},
                    {"logo", 0x1908},
                    {"cursor", 0x1908}};
    for (const auto& expected : textures) {
        std::string path = runDirectory + "/textures/w_tavelina/" + expected.name + ".glt";
        GltFile file = readGlt(path);
        EXPECT_EQ(file.header.format, expected.format) << path;
        EXPECT_TRUE(isPowerOfTwo(file.image.width) && isPowerOfTwo(file.image.height)) << path;
    }
    EXPECT_EQ(readGlt(runDirectory + "/textures/w_tavelina/bg1.glt").header.wrap, 0x2901u);
}

// A seam shows when the step across the tile's edge is much larger than steps inside the tile.
TEST(GameData, BackgroundTilesWithoutASeam) {
    GltFile tile = readGlt(runDirectory + "/textures/w_tavelina/bg1.glt");
    ASSERT_EQ(tile.header.format, 0x1907u);
    uint32_t width = tile.image.width, height = tile.image.height;
    ASSERT_GT(width, 2u);
    uint32_t stride = (width * 3 + 3) / 4 * 4;
    ASSERT_GE(tile.image.pixels.size(), size_t(stride) * height);
    auto at = [&](uint32_t x, uint32_t y, int c) {
        return int(tile.image.pixels[size_t(y) * stride + x * 3 + c]);
    };
    // The mean step between columns a and b, or between rows a and b.
    auto step = [&](bool rows, uint32_t a, uint32_t b) {
        uint32_t length = rows ? width : height;
        double sum = 0;
        for (uint32_t i = 0; i < length; ++i)
            for (int c = 0; c < 3; ++c)
                sum += rows ? std::abs(at(i, a, c) - at(i, b, c))
                            : std::abs(at(a, i, c) - at(b, i, c));
        return sum / length;
    };
    for (bool rows : {false, true}) {
        uint32_t count = rows ? height : width;
        double inside = 0;
        for (uint32_t i = 0; i + 1 < count; ++i)
            inside = std::max(inside, step(rows, i, i + 1));
        EXPECT_LE(step(rows, count - 1, 0), inside) << (rows ? "rows" : "columns");
    }
}

} // namespace

#else

TEST(AssetTools, NotBuilt) {
    GTEST_SKIP() << "configured without the asset tools";
}

#endif
