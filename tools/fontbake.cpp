// pelmora-fontbake: renders a TrueType/OpenType font with FreeType into a ".glf" bitmap font:
// one 8-bit alpha image holding a glyph for every printable byte of an 8-bit code page, and the
// table that places each glyph relative to the pen.
#include "ToolSupport.h"

#include "resources/formats/Codepage.h"
#include "resources/formats/GlfFormat.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const Help =
    "Bakes a .glf bitmap font: one alpha image (power-of-two sides, width a multiple of 4)\n"
    "and a 32-byte record per character byte. The pen's y is the top of the text line:\n"
    "glyphs stand below it. A font that lacks any letter of the code page's alphabet is\n"
    "refused, naming the missing letters.\n\n"
    "  --size pixels     rendering size, pixels per em (default 64)\n"
    "  --unit unitSize   pixels per font unit, so that text drawn at size S is S * pixels /\n"
    "                    unitSize; default: the font's line height at --size\n"
    "  --padding pixels  empty border around every glyph in the image (default 2)\n"
    "  --codepage name   cp1251 (default) or latin1\n"
    "  --name text       name stored in the header, at most 32 bytes (default: the font's\n"
    "                    family, style and size)\n"
    "  --allow-missing   bake the font even when letters of the code page are missing\n"
    "  --help, --version\n";

// FreeType's own description and name of an error code.
std::string freetypeError(FT_Error error) {
#undef FTERRORS_H_
#define FT_ERROR_START_LIST switch (error) {
#define FT_ERRORDEF(e, v, s)                                                                       \
    case v:                                                                                        \
        return std::string(s) + " (" + FT_ERROR_NAME(e) + ")";
#define FT_ERROR_NAME(e) FT_ERROR_TEXT(e)
#define FT_ERROR_TEXT(e) #e
#define FT_ERROR_END_LIST }
#include FT_ERRORS_H
    return "FreeType error " + std::to_string(error);
}

struct BakedGlyph {
    uint32_t code;
    uint32_t width, height;
    int32_t xOffset, yOffset, advance;
    std::vector<uint8_t> alpha; // width * height, top row first
    uint32_t x = 0, y = 0;      // place in the image
};

struct Options {
    long size = 64;
    long unit = 0;
    long padding = 2;
    formats::Codepage codepage = formats::CodepageWindows1251;
    std::string codepageName = "cp1251";
    std::string name;
    bool allowMissing = false;
    std::string input, output;
};

long roundPixels(FT_Pos value) {
    return static_cast<long>(std::lround(value / 64.0));
}

std::string byteList(const std::vector<uint8_t>& bytes, formats::Codepage codepage) {
    std::string text;
    for (uint8_t byte : bytes) {
        char item[32];
        std::snprintf(item, sizeof item, "%s0x%02X (U+%04X)", text.empty() ? "" : ", ", byte,
                      formats::codepageToUnicode(codepage, byte));
        text += item;
    }
    return text;
}

// The code point a byte is baked from: 0 for bytes that draw nothing (controls, and the bytes
// the code page leaves empty).
uint32_t printableCharacter(formats::Codepage codepage, uint8_t byte) {
    uint32_t character = formats::codepageToUnicode(codepage, byte);
    if (character < 0x20 || (character >= 0x7F && character < 0xA0))
        return 0;
    return character;
}

// Shelf packing in rows of falling height; answers the used height for this image width, or 0 when
// a glyph is wider than the image.
uint32_t packShelves(std::vector<BakedGlyph*>& order, uint32_t imageWidth, uint32_t padding) {
    uint32_t x = 0, y = 0, shelf = 0;
    for (BakedGlyph* glyph : order) {
        uint32_t cellW = glyph->width + 2 * padding, cellH = glyph->height + 2 * padding;
        if (cellW > imageWidth)
            return 0;
        if (x + cellW > imageWidth) {
            y += shelf;
            x = 0;
            shelf = 0;
        }
        glyph->x = x + padding;
        glyph->y = y + padding;
        x += cellW;
        shelf = std::max(shelf, cellH);
    }
    return y + shelf;
}

bool parseOptions(const CommandLine& line, Options& options, int& exitCode) {
    const struct {
        const char* option;
        long low, high;
        long& value;
    } numbers[] = {{"--size", 4, 512, options.size},
                   {"--unit", 1, 65536, options.unit},
                   {"--padding", 0, 64, options.padding}};
    for (const auto& number : numbers) {
        if (line.has(number.option) &&
            !parseNumber(line.value(number.option), number.low, number.high, number.value)) {
            exitCode = line.usageError(std::string("bad value for ") + number.option + ": " +
                                       line.value(number.option));
            return false;
        }
    }
    options.codepageName = line.value("--codepage", options.codepageName);
    if (!formats::findCodepage(options.codepageName, options.codepage)) {
        exitCode = line.usageError("unknown code page " + options.codepageName);
        return false;
    }
    options.name = line.value("--name");
    if (options.name.size() > formats::ChunkNameSize) {
        exitCode = line.usageError("--name is " + std::to_string(options.name.size()) +
                                   " bytes; the file's name field holds " +
                                   std::to_string(formats::ChunkNameSize));
        return false;
    }
    options.allowMissing = line.has("--allow-missing");
    if (line.operands().size() != 2) {
        exitCode = line.usageError("a font file and an output file are needed");
        return false;
    }
    options.input = line.operands()[0];
    options.output = line.operands()[1];
    return true;
}

// The letters of the code page's alphabet that the font has no glyph for.
std::vector<uint8_t> missingLetters(FT_Face face, formats::Codepage codepage) {
    std::vector<uint8_t> missing;
    for (uint8_t byte : formats::codepageAlphabet(codepage))
        if (FT_Get_Char_Index(face, formats::codepageToUnicode(codepage, byte)) == 0)
            missing.push_back(byte);
    return missing;
}

bool renderGlyphs(FT_Face face, formats::Codepage codepage, long ascender,
                  std::vector<BakedGlyph>& glyphs, std::vector<uint8_t>& absent,
                  std::string& error) {
    for (uint32_t code = 0; code < 256; ++code) {
        uint32_t character = printableCharacter(codepage, static_cast<uint8_t>(code));
        if (character == 0)
            continue;
        FT_UInt index = FT_Get_Char_Index(face, character);
        if (index == 0) {
            // No-break space and soft hyphen are often absent: borrow the plain ones.
            if (character == 0xA0)
                index = FT_Get_Char_Index(face, ' ');
            else if (character == 0xAD)
                index = FT_Get_Char_Index(face, '-');
        }
        if (index == 0) {
            absent.push_back(uint8_t(code));
            continue;
        }
        FT_Error failure = FT_Load_Glyph(face, index, FT_LOAD_RENDER);
        if (failure != 0) {
            char text[64];
            std::snprintf(text, sizeof text, "cannot render byte 0x%02X (U+%04X): ", code,
                          character);
            error = text + freetypeError(failure);
            return false;
        }
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows * bitmap.width != 0) {
            error = "the font renders bitmaps that are not 8-bit grey";
            return false;
        }
        BakedGlyph glyph;
        glyph.code = code;
        glyph.width = bitmap.width;
        glyph.height = bitmap.rows;
        glyph.xOffset = slot->bitmap_left;
        glyph.yOffset = static_cast<int32_t>(ascender - slot->bitmap_top);
        glyph.advance = static_cast<int32_t>(roundPixels(slot->advance.x));
        glyph.alpha.resize(size_t(glyph.width) * glyph.height);
        int pitch = bitmap.pitch;
        for (uint32_t row = 0; row < glyph.height; ++row) {
            const unsigned char* source =
                pitch >= 0 ? bitmap.buffer + size_t(row) * pitch
                           : bitmap.buffer + size_t(glyph.height - 1 - row) * size_t(-pitch);
            std::copy(source, source + glyph.width,
                      glyph.alpha.begin() + size_t(row) * glyph.width);
        }
        glyphs.push_back(std::move(glyph));
    }
    return true;
}

// Picks the power-of-two image of least area (then the squarest) that holds every glyph.
bool packImage(std::vector<BakedGlyph>& glyphs, uint32_t padding, uint32_t& width,
               uint32_t& height) {
    std::vector<BakedGlyph*> order;
    for (BakedGlyph& glyph : glyphs)
        order.push_back(&glyph);
    std::stable_sort(order.begin(), order.end(), [](const BakedGlyph* a, const BakedGlyph* b) {
        return a->height > b->height;
    });
    uint64_t bestArea = 0;
    for (uint32_t tryWidth = 16; tryWidth <= 8192; tryWidth *= 2) {
        uint32_t used = packShelves(order, tryWidth, padding);
        if (used == 0)
            continue;
        uint32_t tryHeight = nextPowerOfTwo(std::max<uint32_t>(used, 4));
        if (tryHeight > 8192)
            continue;
        uint64_t area = uint64_t(tryWidth) * tryHeight;
        if (bestArea == 0 || area < bestArea ||
            (area == bestArea && std::max(tryWidth, tryHeight) < std::max(width, height))) {
            bestArea = area;
            width = tryWidth;
            height = tryHeight;
        }
    }
    if (bestArea == 0)
        return false;
    packShelves(order, width, padding);
    return true;
}

formats::Bytes writeFont(const std::vector<BakedGlyph>& glyphs, uint32_t width, uint32_t height,
                         const std::string& name, uint32_t unit) {
    formats::Bytes pixels(size_t(width) * height, 0);
    std::vector<formats::GlyphRecord> records;
    for (const BakedGlyph& glyph : glyphs) {
        for (uint32_t row = 0; row < glyph.height; ++row)
            std::copy(glyph.alpha.begin() + size_t(row) * glyph.width,
                      glyph.alpha.begin() + size_t(row + 1) * glyph.width,
                      pixels.begin() + size_t(glyph.y + row) * width + glyph.x);
        formats::GlyphRecord record;
        record.code = glyph.code;
        record.x = glyph.width ? glyph.x : 0;
        record.y = glyph.height ? glyph.y : 0;
        record.w = glyph.width;
        record.h = glyph.height;
        record.xOffset = glyph.xOffset;
        record.yOffset = glyph.yOffset;
        record.advance = glyph.advance;
        records.push_back(record);
    }
    formats::GlfExtension extension;
    extension.unitSize = unit;
    formats::ChunkFileWriter writer(formats::GlfMagic, name, formats::writeGlfExtension(extension));
    writer.addChunk(formats::GlfChunkImage, 0, formats::writeGlfImage(width, height, pixels));
    writer.addChunk(formats::GlfChunkGlyphs, 0, formats::writeGlyphRecords(records));
    return writer.finish();
}

// Family, style and size.
std::string fullName(FT_Face face, long size) {
    std::string name = face->family_name ? face->family_name : "font";
    if (face->style_name)
        name += std::string(" ") + face->style_name;
    return name + " " + std::to_string(size);
}

// The header's name when none is given: the full name, cut to the field at a whole UTF-8
// character.
std::string defaultName(FT_Face face, long size) {
    std::string name = fullName(face, size);
    if (name.size() > formats::ChunkNameSize) {
        size_t cut = formats::ChunkNameSize;
        while (cut > 0 && (uint8_t(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return name;
}

// Owns the FreeType library and face, so that every way out releases them.
struct FreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeType() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

int fontbake(int argc, char** argv) {
    CommandLine line("pelmora-fontbake",
                     "[--size pixels] [--unit unitSize] [--padding pixels] [--codepage "
                     "cp1251|latin1] [--name text] [--allow-missing] font.ttf output.glf",
                     Help,
                     {{"--size", true},
                      {"--unit", true},
                      {"--padding", true},
                      {"--codepage", true},
                      {"--name", true},
                      {"--allow-missing", false}});
    int exitCode = 0;
    Options options;
    if (!line.parse(argc, argv, exitCode) || !parseOptions(line, options, exitCode))
        return exitCode;

    // Read here rather than by FreeType, so that a missing file is reported with its reason.
    formats::Bytes fontData;
    std::string error;
    if (!readFile(options.input, fontData, error))
        return line.fail(error);
    FreeType freetype;
    FT_Error failure = FT_Init_FreeType(&freetype.library);
    if (failure != 0)
        return line.fail("cannot start FreeType: " + freetypeError(failure));
    failure = FT_New_Memory_Face(freetype.library, fontData.data(), FT_Long(fontData.size()), 0,
                                 &freetype.face);
    if (failure != 0)
        return line.fail(options.input + " is not a font: " + freetypeError(failure));
    FT_Face face = freetype.face;
    if (!FT_IS_SCALABLE(face))
        return line.fail(options.input + " is not a scalable font");
    failure = FT_Set_Pixel_Sizes(face, 0, FT_UInt(options.size));
    if (failure != 0)
        return line.fail("cannot set the size " + std::to_string(options.size) + ": " +
                         freetypeError(failure));

    std::vector<uint8_t> missing = missingLetters(face, options.codepage);
    if (!missing.empty() && !options.allowMissing)
        return line.fail(options.input + " lacks " + std::to_string(missing.size()) +
                         " letters of " + options.codepageName + " (--allow-missing bakes it " +
                         "anyway): " + byteList(missing, options.codepage));

    long ascender = roundPixels(face->size->metrics.ascender);
    long lineHeight = ascender - roundPixels(face->size->metrics.descender);
    long unit = options.unit ? options.unit : std::max(1L, lineHeight);

    std::vector<BakedGlyph> glyphs;
    std::vector<uint8_t> absent;
    if (!renderGlyphs(face, options.codepage, ascender, glyphs, absent, error))
        return line.fail(error);
    if (glyphs.empty())
        return line.fail(options.input + " has no glyphs for code page " + options.codepageName);
    if (!absent.empty())
        line.warn("no glyph for " + std::to_string(absent.size()) +
                  " bytes, which will draw nothing: " + byteList(absent, options.codepage));

    uint32_t width = 0, height = 0;
    if (!packImage(glyphs, static_cast<uint32_t>(options.padding), width, height))
        return line.fail("the glyphs do not fit in an 8192x8192 image");
    std::string name = options.name.empty() ? defaultName(face, options.size) : options.name;
    if (options.name.empty() && name != fullName(face, options.size))
        line.warn("the font's name is cut to \"" + name + "\" to fit the " +
                  std::to_string(formats::ChunkNameSize) + "-byte field (--name sets another)");
    formats::Bytes file = writeFont(glyphs, width, height, name, uint32_t(unit));
    if (!writeFile(options.output, file, error))
        return line.fail(error);
    std::printf("%s: %zu glyphs in a %ux%u image, size %ld, unitSize %ld, line height %ld\n",
                options.output.c_str(), glyphs.size(), width, height, options.size, unit,
                lineHeight);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("pelmora-fontbake", fontbake, argc, argv);
}
