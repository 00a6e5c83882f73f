// A bitmap font loaded from a ".glf" file: one alpha image holding every glyph and a table of
// 256 glyphs indexed by the character byte. Text is drawn as one blended quad per byte. Loaded
// fonts are kept in a process-wide registry, newest first, and live until the program ends.
#pragma once

#include "graphics/Math.h"
#include "resources/Resource.h"
#include "resources/TextureHandle.h"
#include "resources/formats/ChunkFormat.h"

class FontFile;
class Image;

// Texture coordinates of the glyph's rectangle, its quad relative to the pen in font units, and
// how far the pen moves after it.
struct Glyph {
    float s0, t0, s1, t1;
    float x0, y0, x1, y1;
    float advance;
};

class Font : public Resource {
public:
    static constexpr int GlyphCount = 256;

    // Answers the registered font of that name, or builds one from name + ".glf". On failure
    // writes "Font id=<name> load failed" to the log and answers null. Needs a current OpenGL
    // context.
    static Font* load(const String& name);

    ~Font() override;

    // Draws every byte of text (zeros included) with the pen starting at (x, y). Leaves the
    // colour white, unit 0 active with no texture bound, and the enables as they were.
    void drawText(const Vector3& colour, float size, const String& text, float x, float y);
    // Sum of size * advance over the first count bytes (-1: the whole text).
    float textWidth(float size, const String& text, int32_t count) const;

private:
    Font();
    bool build(const String& fileName);

    TextureHandle* texture_ = nullptr;
    Glyph glyphs_[GlyphCount];
};

// The two steps of a font's build that need no OpenGL context, so that the fuzzers and the
// benchmarks run them without a window.
// Sets up and fills image from the file's "FBIT" chunk of index 0, when the format library
// accepts that chunk.
bool readFontImage(const FontFile& file, Image& image);
// Fills the Font::GlyphCount glyphs from a "CHRS" chunk for an image of the given size; records
// for codes beyond the table are skipped.
void buildGlyphTable(Glyph* glyphs, const formats::Chunk& records, uint32_t imageWidth,
                     uint32_t imageHeight, uint32_t unitSize);
