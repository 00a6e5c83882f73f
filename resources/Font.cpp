// Font: the ".glf" build (glyph image and glyph table), text drawing and measuring, and the
// font registry.
#include "resources/Font.h"
#include "resources/FontFile.h"
#include "resources/Image.h"
#include <cstring>
#include <memory>

Font::Font() {
    std::memset(glyphs_, 0, sizeof(glyphs_));
}

Font::~Font() {
    if (texture_ != nullptr) {
        texture_->destroy();
        delete texture_;
    }
}

Font* Font::load(const String& name) {
    if (Font* loaded = ResourceRegistry<Font>::find(name))
        return loaded;
    std::unique_ptr<Font> font(new Font());
    if (!font->build(name + String(".glf"))) {
        logLoadFailed("Font id=", name);
        return nullptr;
    }
    font->setName(name);
    ResourceRegistry<Font>::add(font.get());
    return font.release();
}

bool readFontImage(const FontFile& file, Image& image) {
    formats::GlfImage source;
    if (!formats::readGlfImage(file.getChunks(), source))
        return false;
    image.setWidth(source.width);
    image.setHeight(source.height);
    image.setBitsPerPixel(8);
    image.setFormat(GL_ALPHA);
    if (!image.allocate())
        return false;
    std::memcpy(image.getPixels(), source.pixels, image.getByteCount());
    return true;
}

void buildGlyphTable(Glyph* glyphs, const formats::Chunk& records, uint32_t imageWidth,
                     uint32_t imageHeight, uint32_t unitSize) {
    std::memset(glyphs, 0, sizeof(Glyph) * Font::GlyphCount);
    float rW = 1.0f / float(imageWidth);
    float rH = 1.0f / float(imageHeight);
    float rU = 1.0f / float(unitSize);
    for (uint32_t i = 0; i < formats::glyphRecordCount(records); ++i) {
        formats::GlyphRecord r = formats::readGlyphRecord(records, i);
        if (r.code >= uint32_t(Font::GlyphCount))
            continue;
        Glyph& g = glyphs[r.code];
        g.s0 = float(r.x) * rW;
        g.t0 = float(r.y) * rH;
        g.s1 = float(uint64_t(r.x) + r.w) * rW;
        g.t1 = float(uint64_t(r.y) + r.h) * rH;
        // Signed sums: a negative offset plus a width must stay a small number, not wrap.
        g.x0 = float(r.xOffset) * rU;
        g.y0 = float(r.yOffset) * rU;
        g.x1 = float(int64_t(r.xOffset) + int64_t(r.w)) * rU;
        g.y1 = float(int64_t(r.yOffset) + int64_t(r.h)) * rU;
        g.advance = float(r.advance) * rU;
    }
}

bool Font::build(const String& fileName) {
    FontFile file;
    if (!file.load(fileName))
        return false;
    Image image;
    if (!readFontImage(file, image) || !formats::checkGlfUnitSize(file.getExtension()))
        return false;

    texture_ = new TextureHandle();
    texture_->target = GL_TEXTURE_2D;
    texture_->generate();
    texture_->bind(0);
    // A refused upload would leave a font that draws nothing; as for textures, it is a failure.
    clearGlErrors();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, GLsizei(image.getWidth()), GLsizei(image.getHeight()),
                 0, GL_ALPHA, GL_UNSIGNED_BYTE, image.getPixels());
    bool uploaded = glGetError() == GL_NO_ERROR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    const formats::Chunk* records = nullptr;
    if (!uploaded || !formats::findGlfGlyphs(file.getChunks(), records))
        return false;
    buildGlyphTable(glyphs_, *records, image.getWidth(), image.getHeight(), file.getUnitSize());
    return true;
}

void Font::drawText(const Vector3& colour, float size, const String& text, float x, float y) {
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    texture_->bind(0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(x, y, 0);
    glScalef(size, size, 1);
    glColor3f(colour.x, colour.y, colour.z);
    for (int i = 0; i < text.length(); ++i) {
        const Glyph& g = glyphs_[uint8_t(text[i])];
        glBegin(GL_QUADS);
        glTexCoord2f(g.s0, g.t0);
        glVertex2f(g.x0, g.y0);
        glTexCoord2f(g.s1, g.t0);
        glVertex2f(g.x1, g.y0);
        glTexCoord2f(g.s1, g.t1);
        glVertex2f(g.x1, g.y1);
        glTexCoord2f(g.s0, g.t1);
        glVertex2f(g.x0, g.y1);
        glEnd();
        glTranslatef(g.advance, 0, 0);
    }
    glPopMatrix();
    glColor3f(1, 1, 1);
    texture_->unbind();
    glPopAttrib();
}

float Font::textWidth(float size, const String& text, int32_t count) const {
    if (count == -1 || count > text.length())
        count = text.length();
    float width = 0;
    for (int32_t i = 0; i < count; ++i)
        width += size * glyphs_[uint8_t(text[i])].advance;
    return width;
}
