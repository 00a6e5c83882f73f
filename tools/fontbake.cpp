// pelmora-fontbake: renders a TrueType/OpenType font with FreeType into a ".glf" bitmap font:
// one 8-bit alpha image holding a glyph for every printable byte of an 8-bit code page, and the
// table that places each glyph relative to the pen.
#include "BinaryIO.h"
#include "ChunkFileWriter.h"
#include "Codepage.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* usage = "usage: pelmora-fontbake [--size pixels] [--unit unitSize] [--padding pixels] "
                    "[--codepage cp1251|latin1] [--name text] font.ttf output.glf\n";

void printHelp() {
    std::printf("%s", usage);
    std::printf(
        "\nBakes a .glf bitmap font: one alpha image (power-of-two sides, width a multiple of 4)\n"
        "and a 32-byte record per character byte. The pen's y is the top of the text line:\n"
        "glyphs stand below it.\n\n"
        "  --size pixels     rendering size, pixels per em (default 64)\n"
        "  --unit unitSize   pixels per font unit, so that text drawn at size S is S * pixels /\n"
        "                    unitSize; default: the font's line height at --size\n"
        "  --padding pixels  empty border around every glyph in the image (default 2)\n"
        "  --codepage name   cp1251 (default) or latin1\n"
        "  --name text       name stored in the header (default: the font's family and style)\n"
        "  --help            this text\n");
}

int fail(const std::string& message) {
    std::fprintf(stderr, "pelmora-fontbake: %s\n", message.c_str());
    return 1;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "pelmora-fontbake: %s\n%s", message.c_str(), usage);
    return 2;
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
    std::string codepage = "cp1251";
    std::string name;
    std::string input, output;
};

long roundPixels(FT_Pos value) {
    return static_cast<long>(std::lround(value / 64.0));
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

bool parseOptions(int argc, char** argv, Options& options, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            exitCode = 0;
            return false;
        }
        bool valued = arg == "--size" || arg == "--unit" || arg == "--padding" ||
                      arg == "--codepage" || arg == "--name";
        if (valued) {
            if (i + 1 >= argc) {
                exitCode = usageError(arg + " needs a value");
                return false;
            }
            std::string value = argv[++i];
            bool ok = true;
            if (arg == "--size")
                ok = parseNumber(value, 4, 512, options.size);
            else if (arg == "--unit")
                ok = parseNumber(value, 1, 65536, options.unit);
            else if (arg == "--padding")
                ok = parseNumber(value, 0, 64, options.padding);
            else if (arg == "--codepage")
                options.codepage = value;
            else
                options.name = value;
            if (!ok) {
                exitCode = usageError("bad value for " + arg + ": " + value);
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            exitCode = usageError("unknown option " + arg);
            return false;
        } else if (options.input.empty()) {
            options.input = arg;
        } else if (options.output.empty()) {
            options.output = arg;
        } else {
            exitCode = usageError("unexpected argument " + arg);
            return false;
        }
    }
    if (options.input.empty() || options.output.empty()) {
        exitCode = usageError("a font file and an output file are needed");
        return false;
    }
    return true;
}

bool renderGlyphs(FT_Face face, const uint16_t* codepage, long ascender,
                  std::vector<BakedGlyph>& glyphs, std::string& error) {
    for (uint32_t code = 0; code < 256; ++code) {
        uint32_t character = codepageCharacter(codepage, static_cast<uint8_t>(code));
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
            std::fprintf(stderr, "pelmora-fontbake: warning: no glyph for byte 0x%02X (U+%04X)\n",
                         code, character);
            continue;
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) {
            char text[96];
            std::snprintf(text, sizeof text, "cannot render byte 0x%02X (U+%04X)", code, character);
            error = text;
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

} // namespace

int main(int argc, char** argv) {
    Options options;
    int exitCode = 0;
    if (!parseOptions(argc, argv, options, exitCode))
        return exitCode;
    const uint16_t* codepage = nullptr;
    if (!findCodepage(options.codepage, codepage))
        return usageError("unknown code page " + options.codepage);

    FT_Library library;
    if (FT_Init_FreeType(&library) != 0)
        return fail("cannot start FreeType");
    FT_Face face;
    if (FT_New_Face(library, options.input.c_str(), 0, &face) != 0)
        return fail("cannot read a font from " + options.input);
    if (!FT_IS_SCALABLE(face) || FT_Set_Pixel_Sizes(face, 0, options.size) != 0)
        return fail(options.input + " is not a scalable font");

    long ascender = roundPixels(face->size->metrics.ascender);
    long lineHeight = ascender - roundPixels(face->size->metrics.descender);
    long unit = options.unit ? options.unit : std::max(1L, lineHeight);

    std::vector<BakedGlyph> glyphs;
    std::string error;
    if (!renderGlyphs(face, codepage, ascender, glyphs, error))
        return fail(error);
    if (glyphs.empty())
        return fail(options.input + " has no glyphs for code page " + options.codepage);

    uint32_t width = 0, height = 0;
    if (!packImage(glyphs, static_cast<uint32_t>(options.padding), width, height))
        return fail("the glyphs do not fit in an 8192x8192 image");

    Bytes image;
    putU32(image, width);
    putU32(image, height);
    putU32(image, 0);
    size_t pixelsAt = image.size();
    image.resize(pixelsAt + size_t(width) * height, 0);
    Bytes records;
    for (const BakedGlyph& glyph : glyphs) {
        for (uint32_t row = 0; row < glyph.height; ++row)
            std::copy(glyph.alpha.begin() + size_t(row) * glyph.width,
                      glyph.alpha.begin() + size_t(row + 1) * glyph.width,
                      image.begin() + pixelsAt + size_t(glyph.y + row) * width + glyph.x);
        putU32(records, glyph.code);
        putU32(records, glyph.width ? glyph.x : 0);
        putU32(records, glyph.height ? glyph.y : 0);
        putU32(records, glyph.width);
        putU32(records, glyph.height);
        putI32(records, glyph.xOffset);
        putI32(records, glyph.yOffset);
        putI32(records, glyph.advance);
    }

    std::string name = options.name;
    if (name.empty()) {
        name = face->family_name ? face->family_name : "font";
        if (face->style_name)
            name += std::string(" ") + face->style_name;
        name += " " + std::to_string(options.size);
    }
    Bytes extension;
    putU32(extension, static_cast<uint32_t>(unit));
    putU32(extension, 0);
    putU32(extension, 0);
    ChunkFileWriter writer(ChunkMagicFont, name, extension);
    writer.addChunk(ChunkTypeFontImage, 0, std::move(image));
    writer.addChunk(ChunkTypeGlyphs, 0, std::move(records));
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    if (!writeFile(options.output, writer.finish(), error))
        return fail(error);
    std::printf("%s: %zu glyphs in a %ux%u image, size %ld, unitSize %ld, line height %ld\n",
                options.output.c_str(), glyphs.size(), width, height, options.size, unit,
                lineHeight);
    return 0;
}
