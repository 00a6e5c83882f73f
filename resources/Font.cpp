// Font: the ".glf" build (glyph image and glyph table), text drawing and measuring, and the
// font registry.
#include "resources/Font.h"
#include "app/Application.h"
#include "app/Log.h"
#include "resources/FontFile.h"
#include "resources/Image.h"
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t FontImageHeaderSize = 12;
constexpr uint32_t GlyphRecordSize = 32;

} // namespace

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
    static std::vector<Font*>* registry = nullptr; // oldest first; searched from the back
    if (registry == nullptr) {
        registry = new std::vector<Font*>();
    } else {
        for (auto it = registry->rbegin(); it != registry->rend(); ++it)
            if ((*it)->getName() == name)
                return *it;
    }
    std::unique_ptr<Font> font(new Font());
    if (!font->build(name + String(".glf"))) {
        Log* log = Application::instance()->log;
        if (log != nullptr)
            log->write(String("Font id=") + name + String(" load failed"));
        return nullptr;
    }
    font->setName(name);
    registry->push_back(font.get());
    return font.release();
}

bool Font::readImage(const FontFile& file, Image& image) {
    const Chunk* bits = file.findChunk(FontFile::ChunkImage, 0);
    if (bits == nullptr || bits->data.size() < FontImageHeaderSize)
        return false;
    uint32_t width = readLE32(bits->data.data());
    uint32_t height = readLE32(bits->data.data() + 4);
    uint64_t pixels = uint64_t(width) * height;
    if (pixels > bits->data.size() - FontImageHeaderSize || width % 4 != 0)
        return false;
    image.setWidth(width);
    image.setHeight(height);
    image.setBitsPerPixel(8);
    image.setFormat(GL_ALPHA);
    if (!image.allocate())
        return false;
    std::memcpy(image.getPixels(), bits->data.data() + FontImageHeaderSize, size_t(pixels));
    return true;
}

void Font::buildGlyphs(Glyph* glyphs, const uint8_t* records, uint32_t size, uint32_t imageWidth,
                       uint32_t imageHeight, uint32_t unitSize) {
    std::memset(glyphs, 0, sizeof(Glyph) * GlyphCount);
    float rW = 1.0f / float(imageWidth);
    float rH = 1.0f / float(imageHeight);
    float rU = 1.0f / float(unitSize);
    for (uint32_t i = 0; i < size / GlyphRecordSize; ++i) {
        const uint8_t* record = records + size_t(i) * GlyphRecordSize;
        uint32_t code = readLE32(record);
        if (code >= uint32_t(GlyphCount))
            continue;
        uint32_t x = readLE32(record + 4);
        uint32_t y = readLE32(record + 8);
        uint32_t w = readLE32(record + 12);
        uint32_t h = readLE32(record + 16);
        int32_t xOffset = readLE32Signed(record + 20);
        int32_t yOffset = readLE32Signed(record + 24);
        int32_t advance = readLE32Signed(record + 28);
        Glyph& g = glyphs[code];
        g.s0 = float(x) * rW;
        g.t0 = float(y) * rH;
        g.s1 = float(uint64_t(x) + w) * rW;
        g.t1 = float(uint64_t(y) + h) * rH;
        // Signed sums: a negative offset plus a width must stay a small number, not wrap.
        g.x0 = float(xOffset) * rU;
        g.y0 = float(yOffset) * rU;
        g.x1 = float(int64_t(xOffset) + int64_t(w)) * rU;
        g.y1 = float(int64_t(yOffset) + int64_t(h)) * rU;
        g.advance = float(advance) * rU;
    }
}

bool Font::build(const String& fileName) {
    FontFile file;
    if (!file.load(fileName))
        return false;
    Image image;
    // A unit size of 0 would turn every metric into an infinity.
    if (!readImage(file, image) || file.getUnitSize() == 0)
        return false;

    texture_ = new TextureHandle();
    texture_->target = GL_TEXTURE_2D;
    texture_->generate();
    texture_->bind(0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, GLsizei(image.getWidth()), GLsizei(image.getHeight()),
                 0, GL_ALPHA, GL_UNSIGNED_BYTE, image.getPixels());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    const Chunk* records = file.findChunk(FontFile::ChunkGlyphs, 0);
    if (records == nullptr)
        return false;
    buildGlyphs(glyphs_, records->data.data(), uint32_t(records->data.size()), image.getWidth(),
                image.getHeight(), file.getUnitSize());
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
