// Bitmap fonts in a real (offscreen Mesa) OpenGL context: glyph metrics, measuring, the state
// text drawing leaves, text pixels where the pen puts them, text styles and refused files.
#include "app/Application.h"
#include "platform/platform.h"
#include "tests/support/GlContext.h"
#include "tests/support/TestSupport.h"
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/FontFile.h"
#include "resources/TextStyle.h"
#include "resources/formats/GlfFormat.h"
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testsupport::makeContext;
using Record = formats::GlyphRecord;

formats::Chunk glyphChunk(const std::vector<Record>& list) {
    formats::Chunk chunk;
    chunk.type = formats::GlfChunkGlyphs;
    chunk.data = formats::writeGlyphRecords(list);
    chunk.size = uint32_t(chunk.data.size());
    return chunk;
}

// A 16 x 8 image whose left half is opaque: glyph 'A' covers it.
formats::Chunk imageChunk(uint32_t width = 16, uint32_t height = 8) {
    formats::Bytes pixels;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            pixels.push_back(x < width / 2 ? 255 : 0);
    formats::Chunk chunk;
    chunk.type = formats::GlfChunkImage;
    chunk.data = formats::writeGlfImage(width, height, pixels);
    chunk.size = uint32_t(chunk.data.size());
    return chunk;
}

std::vector<uint8_t> fontFile(uint32_t unitSize, const std::vector<formats::Chunk>& chunks) {
    formats::GlfExtension extension;
    extension.unitSize = unitSize;
    formats::ChunkFileWriter writer(formats::GlfMagic, "test",
                                    formats::writeGlfExtension(extension));
    for (const formats::Chunk& chunk : chunks)
        writer.addChunk(chunk.type, 0, chunk.data);
    return writer.finish();
}

const Record GlyphA = {'A', 0, 0, 8, 8, 0, 0, 8};
const Record GlyphC = {'c', 0, 0, 16, 32, 0, 0, 18};

String writeFont(const std::string& name, const std::vector<uint8_t>& bytes) {
    testsupport::writeFile("font_files/" + name + ".glf", bytes);
    return String(("fonts/" + name).c_str());
}

class FontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        makeContext();
        Application::instance();
        mkdir("font_files", 0755);
        FileSystem::instance()->addSource("fonts/", new DiskDirectory("font_files"));
    }
    static Font* standardFont() {
        return Font::load(writeFont(
            "standard",
            fontFile(8, {imageChunk(), glyphChunk({GlyphA, Record{0, 0, 0, 8, 8, 0, 0, 8}})})));
    }
    void expectRefused(const String& name) { testsupport::expectRefused(Font::load, "Font", name); }
};

} // namespace

// ---- Glyph table -----------------------------------------------------------------------------

TEST(GlyphTableTest, MetricsAreDividedByTheUnitSizeAndCornersByTheImage) {
    Glyph glyphs[Font::GlyphCount];
    formats::Chunk table = glyphChunk({GlyphC, Record{'d', 4, 8, 4, 8, -10, -3, -2}});
    buildGlyphTable(glyphs, table, 64, 32, 32);
    const Glyph& c = glyphs[uint8_t('c')];
    EXPECT_FLOAT_EQ(c.x1, 0.5f);
    EXPECT_FLOAT_EQ(c.y1, 1.0f);
    EXPECT_FLOAT_EQ(c.advance, 0.5625f);
    EXPECT_FLOAT_EQ(c.s1, 0.25f);
    EXPECT_FLOAT_EQ(c.t1, 1.0f);
    // Negative offsets plus a width stay small numbers.
    const Glyph& d = glyphs[uint8_t('d')];
    EXPECT_FLOAT_EQ(d.x0, -10.0f / 32);
    EXPECT_FLOAT_EQ(d.x1, -6.0f / 32);
    EXPECT_FLOAT_EQ(d.y1, 5.0f / 32);
    EXPECT_FLOAT_EQ(d.advance, -2.0f / 32);
    EXPECT_FLOAT_EQ(d.s0, 4.0f / 64);
    EXPECT_FLOAT_EQ(d.t0, 8.0f / 32);
}

TEST(GlyphTableTest, RecordFieldsAreReadInFileOrder) {
    // Written out byte by byte, not by the writer: code 'q', x 1, y 2, w 3, h 4, xOffset -5,
    // yOffset -6, advance 7.
    formats::Chunk table;
    table.data = {'q', 0, 0, 0, 1,    0,    0,    0,    2,    0,    0,    0,    3, 0, 0, 0,
                  4,   0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 0xFA, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0};
    table.size = uint32_t(table.data.size());
    Glyph glyphs[Font::GlyphCount];
    buildGlyphTable(glyphs, table, 8, 8, 1);
    const Glyph& q = glyphs[uint8_t('q')];
    EXPECT_EQ(std::vector<float>({q.s0, q.t0, q.s1, q.t1}),
              std::vector<float>({1 / 8.0f, 2 / 8.0f, 4 / 8.0f, 6 / 8.0f}));
    EXPECT_EQ(std::vector<float>({q.x0, q.y0, q.x1, q.y1, q.advance}),
              std::vector<float>({-5, -6, -2, -2, 7}));
}

TEST(GlyphTableTest, OnlyWholeRecordsCountAndLaterRecordsReplaceEarlierOnes) {
    Glyph glyphs[Font::GlyphCount];
    formats::Chunk table =
        glyphChunk({Record{'a', 0, 0, 1, 1, 0, 0, 1}, Record{'a', 0, 0, 1, 1, 0, 0, 5},
                    Record{'z', 0, 0, 1, 1, 0, 0, 7}});
    table.data.resize(70); // two whole records and 6 bytes of the third
    buildGlyphTable(glyphs, table, 4, 4, 1);
    EXPECT_FLOAT_EQ(glyphs[uint8_t('a')].advance, 5.0f);
    EXPECT_FLOAT_EQ(glyphs[uint8_t('z')].advance, 0.0f);
}

TEST(GlyphTableTest, CodesOutsideTheTableAreSkipped) {
    Glyph glyphs[Font::GlyphCount + 1];
    glyphs[Font::GlyphCount].advance = 99; // a sentinel just past the table
    formats::Chunk table =
        glyphChunk({Record{256 + 'A', 0, 0, 1, 1, 0, 0, 3}, Record{256, 0, 0, 1, 1, 0, 0, 3},
                    Record{0xFFFFFFFFu, 0, 0, 1, 1, 0, 0, 3}});
    buildGlyphTable(glyphs, table, 4, 4, 1);
    EXPECT_FLOAT_EQ(glyphs[uint8_t('A')].advance, 0.0f);
    EXPECT_FLOAT_EQ(glyphs[0].advance, 0.0f);
    EXPECT_FLOAT_EQ(glyphs[Font::GlyphCount].advance, 99.0f);
}

// ---- Loading and measuring -------------------------------------------------------------------

TEST_F(FontTest, LoadedFontMeasuresByAdvanceTimesSize) {
    Font* font =
        Font::load(writeFont("measure", fontFile(32, {imageChunk(64, 32), glyphChunk({GlyphC})})));
    ASSERT_NE(font, nullptr);
    EXPECT_FLOAT_EQ(font->textWidth(40, "c", -1), 22.5f);
    EXPECT_FLOAT_EQ(font->textWidth(40, "cc", -1), 45.0f);
    EXPECT_FLOAT_EQ(font->textWidth(40, "cc", 1), 22.5f);
    EXPECT_FLOAT_EQ(font->textWidth(40, "cxc", -1), 45.0f); // 'x' has no record
    EXPECT_FLOAT_EQ(font->textWidth(40, "", -1), 0.0f);
    EXPECT_FLOAT_EQ(font->textWidth(40, "ccc", 0), 0.0f);
    // The build leaves the font's texture bound on unit 0 with linear filters.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
}

TEST_F(FontTest, SameNameAnswersTheSameFontAndStylesCountTheirUses) {
    Font* font = standardFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(Font::load("fonts/standard"), font);
    {
        TextStyle a(font, Vector3(1, 0, 0), 10);
        TextStyle b(font, Vector3(0, 1, 0), 20);
        TextStyle c(font, Vector3(0, 0, 1), 30);
        EXPECT_EQ(font->getUseCount(), 3);
        EXPECT_FLOAT_EQ(b.width("AA", -1), 2 * 20.0f);
        EXPECT_FLOAT_EQ(c.getSize(), 30.0f);
    }
    EXPECT_EQ(font->getUseCount(), 0);
}

TEST_F(FontTest, StyleWithoutFontDrawsNothingAndMeasuresZero) {
    TextStyle style(nullptr, Vector3(1, 1, 1), 40);
    EXPECT_FLOAT_EQ(style.width("abc", -1), 0.0f);
    style.draw(0, 0, "abc");
    style.drawFormatted(0, 0, "%i", 42);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// ---- Refused files ---------------------------------------------------------------------------

TEST_F(FontTest, DamagedFilesAreRefusedWithTheLogLine) {
    formats::Chunk glyphs = glyphChunk({GlyphA});
    expectRefused("fonts/missing");
    expectRefused(writeFont("no_image", fontFile(8, {glyphs})));
    expectRefused(writeFont("no_glyphs", fontFile(8, {imageChunk()})));
    formats::Chunk cut = imageChunk();
    cut.data.pop_back();
    expectRefused(writeFont("short_image", fontFile(8, {cut, glyphs})));
    expectRefused(writeFont("empty_image", fontFile(8, {imageChunk(0, 8), glyphs})));
    expectRefused(writeFont("odd_width", fontFile(8, {imageChunk(6, 8), glyphs})));
    expectRefused(writeFont("zero_unit", fontFile(0, {imageChunk(), glyphs})));
    // Twice the widest texture the driver takes: OpenGL refuses the upload.
    GLint widest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &widest);
    expectRefused(
        writeFont("too_wide", fontFile(8, {imageChunk(uint32_t(widest) * 2, 1), glyphs})));
    std::vector<uint8_t> header = fontFile(8, {});
    header.resize(47);
    expectRefused(writeFont("short_header", header));
}

TEST_F(FontTest, RefusedFontIsNotRemembered) {
    formats::Chunk glyphs = glyphChunk({GlyphA});
    String name = writeFont("later", fontFile(8, {glyphs}));
    expectRefused(name);
    writeFont("later", fontFile(8, {imageChunk(), glyphs}));
    EXPECT_NE(Font::load(name), nullptr);
}

// ---- Drawing ---------------------------------------------------------------------------------

namespace {

void pixelCamera() {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 64, 0, -1, 1); // y downwards, as the scene draws
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

using testsupport::Rgb;

Rgb pixel(int x, int y) {
    return testsupport::pixelAt(x, y, 64);
}

} // namespace

TEST_F(FontTest, GlyphsLandWhereThePenPutsThem) {
    Font* font = standardFont();
    ASSERT_NE(font, nullptr);
    pixelCamera();
    // Size 8 on unit size 8: one font pixel per screen pixel; each 'A' covers 8 x 8 and
    // advances 8, glyph 0 the same.
    font->drawText(Vector3(0, 1, 0), 8, String("A\0A", 3), 8, 16);
    glFinish();
    const Rgb green{0, 255, 0}, black{0, 0, 0};
    for (int x : {9, 14, 17, 22, 25, 30})
        EXPECT_EQ(pixel(x, 20), green) << x;
    EXPECT_EQ(pixel(5, 20), black);
    EXPECT_EQ(pixel(34, 20), black);
    EXPECT_EQ(pixel(12, 13), black);
    EXPECT_EQ(pixel(12, 26), black);
}

TEST_F(FontTest, DrawingLeavesWhiteColourNoTextureAndTheEnablesAsTheyWere) {
    Font* font = standardFont();
    ASSERT_NE(font, nullptr);
    pixelCamera();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0, 0);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    for (const char* text : {"AA", ""}) {
        font->drawText(Vector3(0, 0, 1), 8, text, 3, 4);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[1], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint value = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(value, 0);
        glGetIntegerv(GL_BLEND_SRC, &value);
        EXPECT_EQ(value, GL_SRC_ALPHA);
        glGetIntegerv(GL_BLEND_DST, &value);
        EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        EXPECT_EQ(std::vector<float>(before, before + 16), std::vector<float>(after, after + 16));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glColor3f(1, 0, 0);
    }
    // Enables that were on stay on.
    glEnable(GL_BLEND);
    font->drawText(Vector3(0, 0, 1), 8, "A", 3, 4);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND);
}

TEST_F(FontTest, StyleDrawsFormattedTextInItsColour) {
    Font* font = standardFont();
    ASSERT_NE(font, nullptr);
    pixelCamera();
    TextStyle style(font, Vector3(1, 0, 0), 8);
    style.drawFormatted(0, 0, "%c%s", 'A', "A");
    glFinish();
    EXPECT_EQ(pixel(12, 4), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(20, 4), (Rgb{0, 0, 0}));
}

TEST_F(FontTest, FormattedTextIsCutAt1023Bytes) {
    Font* font = standardFont();
    ASSERT_NE(font, nullptr);
    pixelCamera();
    TextStyle style(font, Vector3(1, 0, 0), 8);
    std::string many(3000, 'A');
    // The pen starts so that glyph 1023 (the last kept) covers x 8..16 and glyph 1024 16..24.
    style.drawFormatted(8 - 1022 * 8, 0, "%s", many.c_str());
    glFinish();
    EXPECT_EQ(pixel(12, 4), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(20, 4), (Rgb{0, 0, 0}));
}

// ---- The game's own font ---------------------------------------------------------------------

TEST_F(FontTest, GameFontLoadsWithGlyphsForTheCyrillicLetters) {
    FileSystem::instance()->addSource("gamedata/", new DiskDirectory(PELMORA_BINARY_DIR "/data"));
    Font* font = Font::load("gamedata/graffiti");
    ASSERT_NE(font, nullptr);
    for (int code = 0xC0; code <= 0xFF; ++code) {
        const char letter = char(code);
        EXPECT_GT(font->textWidth(1.0f, String(&letter, 1), -1), 0.0f) << code;
    }
    EXPECT_GT(font->textWidth(40, "9999", -1), 0.0f);
}
