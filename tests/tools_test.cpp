// The asset tools run as programs: PNGs written here go through pelmora-texpack, the committed
// font through pelmora-fontbake, and the bytes that come out are parsed back field by field;
// pelmora-inspect must pass sound files and name the fault in broken ones. Also checks the game's
// built data against what the flower scene relies on.
#include <gtest/gtest.h>

#ifdef PELMORA_TOOLS_BUILT
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const std::string toolDir = std::string(PELMORA_BINARY_DIR) + "/tools/";
const std::string fontSource = std::string(PELMORA_SOURCE_DIR) + "/assets/fonts/Comfortaa-Bold.ttf";

const char* const messages[] = {
    "\xCB\xFE\xE1\xE8\xF2!",                                                        // loves
    "\xCD\xE5 \xEB\xFE\xE1\xE8\xF2...",                                             // loves not
    "\xCF\xEE\xE7\xE4\xF0\xE0\xE2\xEB\xFF\xFE! \xC2\xFB \xEB\xFE\xE1\xE8\xEC\xFB!", // loved
    "\xD3\xE2\xFB, \xC2\xE0\xF8\xE8 \xF7\xF3\xE2\xF1\xF2\xE2\xE0 \xED\xE5 "
    "\xE2\xE7\xE0\xE8\xEC\xED\xFB...", // not loved
    "0123456789"};

std::string scratch(const std::string& name) {
    // One folder per process: ctest may run the cases of this file side by side.
    std::string dir = std::string(PELMORA_BINARY_DIR) + "/tests/tools_scratch";
    mkdir(dir.c_str(), 0755);
    dir += "/" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    return dir + "/" + name;
}

struct RunResult {
    int status;
    std::string output;
};

RunResult run(const std::string& tool, const std::string& arguments) {
    std::string command = toolDir + tool + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    RunResult result{-1, ""};
    if (!pipe)
        return result;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), data.size());
}

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

uint32_t u32(const Bytes& data, size_t offset) {
    return data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 |
           uint32_t(data[offset + 3]) << 24;
}

void putU32(Bytes& data, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        data[offset + i] = uint8_t(value >> (8 * i));
}

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
    uint32_t magic, version, target, format, type, wrap, dataSize, width, height;
    Bytes pixels;
};

GltFile parseGlt(const Bytes& data) {
    GltFile glt{};
    EXPECT_GE(data.size(), 44u);
    if (data.size() < 44)
        return glt;
    glt = {u32(data, 0),  u32(data, 4),  u32(data, 12), u32(data, 16), u32(data, 20),
           u32(data, 24), u32(data, 32), u32(data, 36), u32(data, 40), {}};
    glt.pixels.assign(data.begin() + 44, data.end());
    return glt;
}

// ---- textures ---------------------------------------------------------------------------------

TEST(TexturePacking, RgbRowsArePaddedToFourBytesWithTheTopRowFirst) {
    std::string png = scratch("rgb3x2.png"), glt = scratch("rgb3x2.glt");
    writePng(png, 3, 2, PNG_COLOR_TYPE_RGB, 3, pattern);
    RunResult result = run("pelmora-texpack", png + " " + glt);
    ASSERT_EQ(result.status, 0) << result.output;
    Bytes data = readBytes(glt);
    GltFile file = parseGlt(data);
    EXPECT_EQ(file.magic, 0x46544C47u);
    EXPECT_EQ(std::string(data.begin(), data.begin() + 4), "GLTF");
    EXPECT_EQ(file.version, 1u);
    EXPECT_EQ(file.target, 0x0DE1u);
    EXPECT_EQ(file.format, 0x1907u);
    EXPECT_EQ(file.type, 0x1401u);
    EXPECT_EQ(file.wrap, 0x2901u);
    EXPECT_EQ(file.width, 3u);
    EXPECT_EQ(file.height, 2u);
    // 3 pixels x 3 bytes = 9, padded to 12 per row.
    EXPECT_EQ(file.dataSize, 24u);
    ASSERT_EQ(file.pixels.size(), 24u);
    for (uint32_t y = 0; y < 2; ++y) {
        for (uint32_t x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(file.pixels[y * 12 + x * 3 + c], pattern(x, y, c))
                    << "x " << x << " y " << y << " c " << c;
        for (int pad = 9; pad < 12; ++pad)
            EXPECT_EQ(file.pixels[y * 12 + pad], 0) << "padding of row " << y;
    }
}

TEST(TexturePacking, AlphaInThePngGivesRgbaAndClampIsStored) {
    std::string png = scratch("rgba5x3.png"), glt = scratch("rgba5x3.glt");
    writePng(png, 5, 3, PNG_COLOR_TYPE_RGBA, 4, pattern);
    RunResult result = run("pelmora-texpack", "--wrap clamp " + png + " " + glt);
    ASSERT_EQ(result.status, 0) << result.output;
    GltFile file = parseGlt(readBytes(glt));
    EXPECT_EQ(file.format, 0x1908u);
    EXPECT_EQ(file.wrap, 0x2900u);
    EXPECT_EQ(file.dataSize, 60u);
    ASSERT_EQ(file.pixels.size(), 60u);
    EXPECT_EQ(file.pixels[(2 * 5 + 4) * 4 + 3], pattern(4, 2, 3));
    EXPECT_EQ(file.pixels[(1 * 5 + 0) * 4 + 0], pattern(0, 1, 0));
}

TEST(TexturePacking, FormatOptionOverridesTheChoiceFromThePng) {
    std::string png = scratch("rgba5x3b.png"), rgb = scratch("forced.glt");
    writePng(png, 5, 3, PNG_COLOR_TYPE_RGBA, 4, pattern);
    RunResult result = run("pelmora-texpack", "--format rgb " + png + " " + rgb);
    ASSERT_EQ(result.status, 0) << result.output;
    GltFile file = parseGlt(readBytes(rgb));
    EXPECT_EQ(file.format, 0x1907u);
    // 15 bytes of pixels padded to 16 per row; the alpha channel is gone.
    EXPECT_EQ(file.dataSize, 48u);
    ASSERT_EQ(file.pixels.size(), 48u);
    EXPECT_EQ(file.pixels[16 * 2 + 4 * 3 + 2], pattern(4, 2, 2));

    std::string grey = scratch("grey.png"), rgba = scratch("grey.glt");
    writePng(grey, 2, 2, PNG_COLOR_TYPE_GRAY, 1, pattern);
    result = run("pelmora-texpack", "--format rgba " + grey + " " + rgba);
    ASSERT_EQ(result.status, 0) << result.output;
    file = parseGlt(readBytes(rgba));
    EXPECT_EQ(file.format, 0x1908u);
    ASSERT_EQ(file.pixels.size(), 16u);
    EXPECT_EQ(file.pixels[4 * 3 + 0], pattern(1, 1, 0));
    EXPECT_EQ(file.pixels[4 * 3 + 2], pattern(1, 1, 0));
    EXPECT_EQ(file.pixels[4 * 3 + 3], 255);
}

TEST(TexturePacking, BadInputFailsWithAMessageAndWritesNothing) {
    std::string out = scratch("never.glt");
    std::remove(out.c_str());
    std::string text = scratch("not-a-png.png");
    writeBytes(text, Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
    std::string good = scratch("cut-source.png"), cut = scratch("cut.png");
    writePng(good, 64, 64, PNG_COLOR_TYPE_RGB, 3, pattern);
    Bytes whole = readBytes(good);
    writeBytes(cut, Bytes(whole.begin(), whole.begin() + whole.size() / 2));

    const std::string cases[] = {scratch("missing.png") + " " + out,
                                 text + " " + out,
                                 cut + " " + out,
                                 "--wrap mirror " + good + " " + out,
                                 "--format bgr " + good + " " + out,
                                 "--bogus " + good + " " + out,
                                 good};
    for (const std::string& arguments : cases) {
        RunResult result = run("pelmora-texpack", arguments);
        EXPECT_NE(result.status, 0) << arguments;
        EXPECT_NE(result.output.find("pelmora-texpack:"), std::string::npos) << arguments;
        EXPECT_FALSE(exists(out)) << arguments;
    }
}

// ---- fonts ------------------------------------------------------------------------------------

struct Record {
    uint32_t code, x, y, w, h;
    int32_t xOffset, yOffset, advance;
};

struct FontFile {
    uint32_t unitSize = 0, imageWidth = 0, imageHeight = 0;
    const uint8_t* pixels = nullptr;
    std::map<uint32_t, Record> glyphs;
    Bytes data;
};

// Parses a baked font, asserting the container's structure on the way.
void parseFont(const std::string& path, FontFile& font) {
    font.data = readBytes(path);
    const Bytes& data = font.data;
    ASSERT_GE(data.size(), 60u);
    ASSERT_EQ(std::string(data.begin(), data.begin() + 8), "GLFv0.1 ");
    font.unitSize = u32(data, 48);
    uint32_t tableOffset = u32(data, 40), count = u32(data, 44);
    ASSERT_LE(uint64_t(tableOffset) + count * 16ull, data.size());
    std::map<std::string, std::pair<uint32_t, uint32_t>> chunks;
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = tableOffset + i * 16;
        std::string type(data.begin() + at, data.begin() + at + 4);
        uint32_t offset = u32(data, at + 8), size = u32(data, at + 12);
        ASSERT_LE(uint64_t(offset) + size, data.size()) << type;
        if (u32(data, at + 4) == 0)
            chunks[type] = {offset, size};
    }
    ASSERT_TRUE(chunks.count("FBIT"));
    ASSERT_TRUE(chunks.count("CHRS"));
    auto [imageAt, imageSize] = chunks["FBIT"];
    font.imageWidth = u32(data, imageAt);
    font.imageHeight = u32(data, imageAt + 4);
    ASSERT_GE(imageSize, 12ull + uint64_t(font.imageWidth) * font.imageHeight);
    font.pixels = &data[imageAt + 12];
    auto [tableAt, tableSize] = chunks["CHRS"];
    EXPECT_EQ(tableSize % 32, 0u);
    for (uint32_t i = 0; i < tableSize / 32; ++i) {
        size_t at = tableAt + i * 32;
        Record r{u32(data, at),
                 u32(data, at + 4),
                 u32(data, at + 8),
                 u32(data, at + 12),
                 u32(data, at + 16),
                 int32_t(u32(data, at + 20)),
                 int32_t(u32(data, at + 24)),
                 int32_t(u32(data, at + 28))};
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
            run("pelmora-fontbake", "--size 24 --unit 50 " + fontSource + " " + explicitUnit);
    }
    static std::string defaultUnit, explicitUnit;
    static RunResult bakeStatus[2];
};
std::string FontBaking::defaultUnit, FontBaking::explicitUnit;
RunResult FontBaking::bakeStatus[2];

TEST_F(FontBaking, ImageHasPowerOfTwoSidesAndAWidthThatIsAMultipleOfFour) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    FontFile font;
    parseFont(defaultUnit, font);
    EXPECT_TRUE(isPowerOfTwo(font.imageWidth)) << font.imageWidth;
    EXPECT_TRUE(isPowerOfTwo(font.imageHeight)) << font.imageHeight;
    EXPECT_EQ(font.imageWidth % 4, 0u);
}

TEST_F(FontBaking, EveryLetterOfTheMessagesAndEveryDigitHasAnInkedGlyphInsideTheImage) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    FontFile font;
    parseFont(defaultUnit, font);
    for (const char* message : messages)
        for (const char* p = message; *p; ++p) {
            uint32_t code = uint8_t(*p);
            ASSERT_TRUE(font.glyphs.count(code)) << "no record for byte " << code;
            const Record& g = font.glyphs[code];
            EXPECT_GT(g.advance, 0) << code;
            EXPECT_LE(g.x + g.w, font.imageWidth) << code;
            EXPECT_LE(g.y + g.h, font.imageHeight) << code;
            if (code == ' ')
                continue;
            uint32_t ink = 0;
            for (uint32_t y = g.y; y < g.y + g.h; ++y)
                for (uint32_t x = g.x; x < g.x + g.w; ++x)
                    ink += font.pixels[y * font.imageWidth + x];
            EXPECT_GT(ink, 0u) << "glyph " << code << " has no ink in its rectangle";
        }
}

TEST_F(FontBaking, NoInkLiesOutsideTheGlyphRectangles) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    FontFile font;
    parseFont(defaultUnit, font);
    std::vector<bool> covered(size_t(font.imageWidth) * font.imageHeight, false);
    for (const auto& [code, g] : font.glyphs) {
        ASSERT_LE(g.x + g.w, font.imageWidth) << code;
        ASSERT_LE(g.y + g.h, font.imageHeight) << code;
        for (uint32_t y = g.y; y < g.y + g.h; ++y)
            for (uint32_t x = g.x; x < g.x + g.w; ++x)
                covered[y * font.imageWidth + x] = true;
    }
    size_t stray = 0;
    for (size_t i = 0; i < covered.size(); ++i)
        if (!covered[i] && font.pixels[i] != 0)
            ++stray;
    EXPECT_EQ(stray, 0u);
}

TEST_F(FontBaking, TextStandsBelowThePenWithinOneLineByDefault) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    FontFile font;
    parseFont(defaultUnit, font);
    ASSERT_GT(font.unitSize, 0u);
    // Cap height of a capital: well over half of the unit, so text at size S is about S tall.
    const Record& capital = font.glyphs[0xCF];
    EXPECT_GT(capital.h * 2, font.unitSize);
    for (const char* message : messages)
        for (const char* p = message; *p; ++p) {
            const Record& g = font.glyphs[uint8_t(*p)];
            if (g.h == 0)
                continue;
            EXPECT_GE(g.yOffset, 0) << "byte " << unsigned(uint8_t(*p)) << " rises above the pen";
            EXPECT_LE(g.yOffset + int32_t(g.h), int32_t(font.unitSize))
                << "byte " << unsigned(uint8_t(*p)) << " hangs below the line";
        }
    // Baseline is shared: a lower-case letter without a descender ends where the capital does.
    const Record& lower = font.glyphs[0xEE];
    EXPECT_NEAR(lower.yOffset + int32_t(lower.h), capital.yOffset + int32_t(capital.h), 1);
}

TEST_F(FontBaking, UnitOptionIsStoredAndLeavesTheGlyphsAlone) {
    ASSERT_EQ(bakeStatus[0].status, 0) << bakeStatus[0].output;
    ASSERT_EQ(bakeStatus[1].status, 0) << bakeStatus[1].output;
    FontFile byDefault, explicitly;
    parseFont(defaultUnit, byDefault);
    parseFont(explicitUnit, explicitly);
    EXPECT_EQ(explicitly.unitSize, 50u);
    EXPECT_NE(byDefault.unitSize, 50u);
    ASSERT_EQ(byDefault.glyphs.size(), explicitly.glyphs.size());
    EXPECT_EQ(byDefault.glyphs[0xC0].advance, explicitly.glyphs[0xC0].advance);
}

TEST(FontBakingInput, BadInputFailsWithAMessage) {
    std::string out = scratch("never.glf");
    std::remove(out.c_str());
    std::string text = scratch("not-a-font.ttf");
    writeBytes(text, Bytes(200, 'x'));
    const std::string cases[] = {
        scratch("missing.ttf") + " " + out,     text + " " + out,
        "--size 0 " + fontSource + " " + out,   "--size big " + fontSource + " " + out,
        "--unit -3 " + fontSource + " " + out,  "--codepage klingon " + fontSource + " " + out,
        "--whatever " + fontSource + " " + out, fontSource};
    for (const std::string& arguments : cases) {
        RunResult result = run("pelmora-fontbake", arguments);
        EXPECT_NE(result.status, 0) << arguments;
        EXPECT_NE(result.output.find("pelmora-fontbake:"), std::string::npos) << arguments;
        EXPECT_FALSE(exists(out)) << arguments;
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

    // Writes a copy of source changed by edit and inspects it.
    RunResult inspectEdited(const std::string& source, const std::function<void(Bytes&)>& edit) {
        Bytes data = readBytes(source);
        edit(data);
        std::string path = scratch("edited.bin");
        writeBytes(path, data);
        return run("pelmora-inspect", path);
    }

    // Position of the table entry for a chunk type in a chunk file.
    static size_t entryOf(const Bytes& data, const char* type) {
        uint32_t table = u32(data, 40), count = u32(data, 44);
        for (uint32_t i = 0; i < count; ++i)
            if (std::equal(type, type + 4, data.begin() + table + i * 16))
                return table + i * 16;
        ADD_FAILURE() << "no chunk " << type;
        return table;
    }

    std::string texture, font;
};

TEST_F(Inspection, SoundFilesPass) {
    RunResult result = run("pelmora-inspect", texture + " " + font);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("16x16"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("CHRS"), std::string::npos) << result.output;
}

TEST_F(Inspection, TruncatedPixelDataIsNamed) {
    RunResult result = inspectEdited(texture, [](Bytes& d) { d.resize(d.size() - 100); });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("dataSize 768 but only 668 bytes follow the header"),
              std::string::npos)
        << result.output;
    result = inspectEdited(texture, [](Bytes& d) { d.resize(30); });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("30 bytes, shorter than"), std::string::npos) << result.output;
}

TEST_F(Inspection, DataSizeTooSmallForTheImageIsNamed) {
    RunResult result = inspectEdited(texture, [](Bytes& d) { putU32(d, 40, 17); });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("less than the 816 bytes"), std::string::npos) << result.output;
}

TEST_F(Inspection, BadMagicAndNewerVersionAreRefused) {
    RunResult result = inspectEdited(texture, [](Bytes& d) { d[0] = 'X'; });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("bad magic \"XLTF\""), std::string::npos) << result.output;
    result = inspectEdited(texture, [](Bytes& d) { putU32(d, 4, 2); });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("version 2"), std::string::npos) << result.output;
}

TEST_F(Inspection, ChunkRunningPastTheEndIsNamed) {
    size_t fileSize = readBytes(font).size();
    RunResult result = inspectEdited(font, [&](Bytes& d) {
        size_t entry = entryOf(d, "CHRS");
        putU32(d, entry + 12, uint32_t(fileSize));
    });
    EXPECT_EQ(result.status, 1);
    std::string expected = "(CHRS) data at ";
    EXPECT_NE(result.output.find(expected), std::string::npos) << result.output;
    EXPECT_NE(
        result.output.find("runs past the end of the " + std::to_string(fileSize) + "-byte file"),
        std::string::npos)
        << result.output;

    result = inspectEdited(font, [&](Bytes& d) { putU32(d, 44, 1000000); });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("chunk table at"), std::string::npos) << result.output;
}

TEST_F(Inspection, FontImageFaultsAreNamed) {
    RunResult result = inspectEdited(font, [&](Bytes& d) {
        size_t image = u32(d, entryOf(d, "FBIT") + 8);
        putU32(d, image, 30);
    });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("FBIT width 30 is not a multiple of 4"), std::string::npos)
        << result.output;

    result = inspectEdited(font, [&](Bytes& d) {
        size_t table = u32(d, entryOf(d, "CHRS") + 8);
        putU32(d, table, 300);
    });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("code 300"), std::string::npos) << result.output;

    result = inspectEdited(font, [&](Bytes& d) {
        size_t table = u32(d, entryOf(d, "CHRS") + 8);
        putU32(d, table + 4, 100000);
    });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("lies outside"), std::string::npos) << result.output;

    result = inspectEdited(font, [&](Bytes& d) { d[entryOf(d, "FBIT")] = 'X'; });
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("no FBIT chunk"), std::string::npos) << result.output;
}

TEST_F(Inspection, UsageErrorsAnswerTwoAndMissingFilesOne) {
    EXPECT_EQ(run("pelmora-inspect", "").status, 2);
    EXPECT_EQ(run("pelmora-inspect", "--frobnicate " + font).status, 2);
    RunResult result = run("pelmora-inspect", scratch("absent.glf"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("cannot open"), std::string::npos) << result.output;
    EXPECT_EQ(run("pelmora-inspect", "--help").status, 0);
    EXPECT_EQ(run("pelmora-texpack", "--help").status, 0);
    EXPECT_EQ(run("pelmora-fontbake", "--help").status, 0);
}

// ---- the game's data --------------------------------------------------------------------------

const std::string runDirectory = PELMORA_BINARY_DIR;

TEST(GameData, FontFitsTheScreenAtTheGameSizes) {
    FontFile font;
    parseFont(runDirectory + "/data/graffiti.glf", font);
    ASSERT_GT(font.unitSize, 0u);
    auto width = [&](const char* text, float size) {
        float sum = 0;
        for (const char* p = text; *p; ++p) {
            auto found = font.glyphs.find(uint8_t(*p));
            EXPECT_NE(found, font.glyphs.end()) << "byte " << unsigned(uint8_t(*p));
            if (found != font.glyphs.end())
                sum += size * found->second.advance / float(font.unitSize);
        }
        return sum;
    };
    EXPECT_LE(width(messages[2], 80), 960);
    EXPECT_LE(width(messages[3], 80), 960);
    EXPECT_GE(width(messages[3], 80), 600) << "the verdict would look lost on the screen";
    EXPECT_LT(width("9999", 32), 120);
    // The running message at y = height - 50 and size 40 must end above the screen's bottom.
    for (const char* message : {messages[0], messages[1]})
        for (const char* p = message; *p; ++p) {
            const Record& g = font.glyphs[uint8_t(*p)];
            EXPECT_LE(40.0f * (g.yOffset + int32_t(g.h)) / font.unitSize, 50.0f);
        }
}

TEST(GameData, TexturesCarryWhatTheSceneReliesOn) {
    struct Expected {
        const char* name;
        uint32_t format;
    };
    const Expected textures[] = {{"petal", 0x1907},
                                 {"center", 0x1907},
                                 {"bg1", 0x1907},
                                 {"logo", 0x1908},
                                 {"cursor", 0x1908}};
    for (const Expected& expected : textures) {
        std::string path = runDirectory + "/textures/w_tavelina/" + expected.name + ".glt";
        GltFile file = parseGlt(readBytes(path));
        EXPECT_EQ(file.magic, 0x46544C47u) << path;
        EXPECT_EQ(file.format, expected.format) << path;
        EXPECT_TRUE(isPowerOfTwo(file.width) && isPowerOfTwo(file.height)) << path;
        EXPECT_EQ(file.pixels.size(), file.dataSize) << path;
    }
    GltFile background = parseGlt(readBytes(runDirectory + "/textures/w_tavelina/bg1.glt"));
    EXPECT_EQ(background.wrap, 0x2901u);
}

// A seam shows when the step across the tile's edge is much larger than steps inside the tile.
TEST(GameData, BackgroundTilesWithoutASeam) {
    GltFile tile = parseGlt(readBytes(runDirectory + "/textures/w_tavelina/bg1.glt"));
    ASSERT_EQ(tile.format, 0x1907u);
    ASSERT_GT(tile.width, 2u);
    uint32_t stride = (tile.width * 3 + 3) / 4 * 4;
    ASSERT_GE(tile.pixels.size(), size_t(stride) * tile.height);
    auto at = [&](uint32_t x, uint32_t y, int c) {
        return int(tile.pixels[size_t(y) * stride + x * 3 + c]);
    };
    auto columnStep = [&](uint32_t a, uint32_t b) {
        double sum = 0;
        for (uint32_t y = 0; y < tile.height; ++y)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(at(a, y, c) - at(b, y, c));
        return sum / tile.height;
    };
    auto rowStep = [&](uint32_t a, uint32_t b) {
        double sum = 0;
        for (uint32_t x = 0; x < tile.width; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(at(x, a, c) - at(x, b, c));
        return sum / tile.width;
    };
    double inside = 0;
    for (uint32_t i = 0; i + 1 < tile.width; ++i)
        inside = std::max(inside, columnStep(i, i + 1));
    EXPECT_LE(columnStep(tile.width - 1, 0), inside);
    inside = 0;
    for (uint32_t i = 0; i + 1 < tile.height; ++i)
        inside = std::max(inside, rowStep(i, i + 1));
    EXPECT_LE(rowStep(tile.height - 1, 0), inside);
}

} // namespace

#else

TEST(AssetTools, NotBuilt) {
    GTEST_SKIP() << "configured without the asset tools";
}

#endif
