// pelmora-artgen: paints the game's pictures procedurally and writes them as the PNG sources in
// assets/ (petal, center, bg1, logo, cursor, and the program's icon in icons/). Run by hand
// through the "art" target; the build itself only converts the committed PNGs.
#include "PngImage.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const float Pi = 3.14159265f;

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scale(Colour c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

float smooth(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

// Straight (not premultiplied) RGBA in 0..1, composited with "over".
class Canvas {
public:
    Canvas(int width, int height) : width(width), height(height), pixels(width * height * 4, 0) {}

    void over(int x, int y, Colour c, float alpha) {
        if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0)
            return;
        float* p = &pixels[(y * width + x) * 4];
        float outAlpha = alpha + p[3] * (1 - alpha);
        if (outAlpha <= 0)
            return;
        float keep = p[3] * (1 - alpha);
        p[0] = (c.r * alpha + p[0] * keep) / outAlpha;
        p[1] = (c.g * alpha + p[1] * keep) / outAlpha;
        p[2] = (c.b * alpha + p[2] * keep) / outAlpha;
        p[3] = outAlpha;
    }

    void set(int x, int y, Colour c, float alpha = 1) {
        float* p = &pixels[(y * width + x) * 4];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = alpha;
    }

    Colour colourAt(int x, int y) const {
        const float* p = &pixels[(y * width + x) * 4];
        return {p[0], p[1], p[2]};
    }

    // Paints a shape given by its coverage function with 4x4 supersampling.
    template <class Coverage, class Shade>
    void fill(Coverage coverage, Shade shade, float opacity = 1) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += coverage(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
                if (hits)
                    over(x, y, shade(x + 0.5f, y + 0.5f), opacity * hits / 16.0f);
            }
    }

    bool save(const std::string& path, bool alpha) const {
        PngImage image;
        image.width = width;
        image.height = height;
        image.rgba.resize(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i)
            image.rgba[i] = static_cast<uint8_t>(std::lround(clamp01(pixels[i]) * 255));
        std::string error;
        if (!image.write(path, alpha, error)) {
            std::fprintf(stderr, "pelmora-artgen: %s\n", error.c_str());
            return false;
        }
        return true;
    }

    int width, height;
    std::vector<float> pixels;
};

// Value noise on a lattice that wraps every `period` cells, so that it tiles.
class TileNoise {
public:
    TileNoise(int period, uint32_t seed) : period_(period), values_(period * period) {
        uint32_t state = seed;
        for (float& v : values_) {
            state = state * 1664525u + 1013904223u;
            v = (state >> 8) / float(1 << 24);
        }
    }
    // u, v in cells.
    float at(float u, float v) const {
        int x0 = int(std::floor(u)), y0 = int(std::floor(v));
        float fx = u - x0, fy = v - y0;
        fx = fx * fx * (3 - 2 * fx);
        fy = fy * fy * (3 - 2 * fy);
        auto cell = [&](int x, int y) {
            x = ((x % period_) + period_) % period_;
            y = ((y % period_) + period_) % period_;
            return values_[y * period_ + x];
        };
        float top = cell(x0, y0) + (cell(x0 + 1, y0) - cell(x0, y0)) * fx;
        float bottom = cell(x0, y0 + 1) + (cell(x0 + 1, y0 + 1) - cell(x0, y0 + 1)) * fx;
        return top + (bottom - top) * fy;
    }

private:
    int period_;
    std::vector<float> values_;
};

// The petal runs from its tip in the top row to its base in the bottom row and fills the whole
// width: the game's polygon gives it its outline.
bool paintPetal(const std::string& dir) {
    Canvas canvas(128, 256);
    TileNoise grain(32, 7);
    Colour white{0.99f, 0.99f, 1.0f}, edge{0.78f, 0.80f, 0.90f}, base{0.88f, 0.91f, 0.62f};
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            float s = (x + 0.5f) / canvas.width, t = (y + 0.5f) / canvas.height;
            float across = std::fabs(2 * s - 1);
            // Rounded cross-section: light in the middle, shaded towards both rims.
            Colour c = mix(white, edge, std::pow(across, 2.2f) * 0.9f);
            c = mix(c, base, smooth(0.72f, 1.0f, t) * 0.75f);
            c = mix(c, edge, (1 - smooth(0.0f, 0.10f, t)) * 0.35f);
            // A faint central vein that fades before the tip, and two fainter side veins.
            float vein = std::exp(-std::pow((s - 0.5f) / 0.012f, 2.0f)) * smooth(0.08f, 0.6f, t);
            // Side veins leave the base beside the central one and spread towards the tip.
            for (float side : {-1.0f, 1.0f}) {
                float course = 0.5f + side * (0.04f + 0.16f * (1 - t));
                vein += 0.45f * std::exp(-std::pow((s - course) / 0.01f, 2.0f)) *
                        smooth(0.25f, 0.75f, t);
            }
            c = mix(c, Colour{0.74f, 0.76f, 0.84f}, clamp01(vein) * 0.55f);
            // Lengthwise fibres.
            float fibre = grain.at(s * 32, t * 3.0f) - 0.5f;
            c = scale(c, 1 + fibre * 0.05f);
            canvas.set(x, y, c);
        }
    return canvas.save(dir + "/petal.png", false);
}

// A disc inscribed in the square: seeds on a golden-angle spiral over an orange-yellow heart.
bool paintCentre(const std::string& dir) {
    Canvas canvas(256, 256);
    const float cx = 128, cy = 128, radius = 128;
    Colour rim{0.72f, 0.36f, 0.05f}, heart{1.0f, 0.80f, 0.18f}, middle{0.98f, 0.58f, 0.08f};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            canvas.set(x, y, rim, 0);
    canvas.fill([&](float x, float y) { return std::hypot(x - cx, y - cy) <= radius; },
                [&](float x, float y) {
                    float d = std::hypot(x - cx, y - cy) / radius;
                    Colour c = d < 0.55f ? mix(heart, middle, d / 0.55f)
                                         : mix(middle, rim, smooth(0.55f, 1.0f, d));
                    // Light from the upper left.
                    float light = 1 + 0.18f * (-(x - cx) - (y - cy)) / (radius * 1.41f);
                    return scale(c, light);
                });
    const float golden = Pi * (3 - std::sqrt(5.0f));
    for (int i = 1; i < 520; ++i) {
        float r = radius * 0.93f * std::sqrt(i / 520.0f), a = i * golden;
        float sx = cx + r * std::cos(a), sy = cy + r * std::sin(a);
        float size = 2.2f + 2.6f * (r / radius);
        Colour seed = mix(Colour{0.55f, 0.30f, 0.02f}, Colour{0.40f, 0.18f, 0.02f}, r / radius);
        for (int y = int(sy - size - 2); y <= int(sy + size + 2); ++y)
            for (int x = int(sx - size - 2); x <= int(sx + size + 2); ++x) {
                if (x < 0 || y < 0 || x >= 256 || y >= 256)
                    continue;
                float d = std::hypot(x + 0.5f - sx, y + 0.5f - sy);
                if (std::hypot(x + 0.5f - cx, y + 0.5f - cy) > radius)
                    continue;
                float cover = clamp01(size - d + 0.5f);
                canvas.over(x, y, seed, cover * 0.85f);
                float glint = clamp01(size * 0.45f - std::hypot(x + 0.5f - (sx - size * 0.35f),
                                                                y + 0.5f - (sy - size * 0.35f)));
                canvas.over(x, y, Colour{1.0f, 0.88f, 0.45f}, glint * 0.7f);
            }
    }
    // The pixels outside the disc keep the rim colour so that filtering at the edge stays warm.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float* p = &canvas.pixels[(y * 256 + x) * 4];
            if (p[3] <= 0) {
                p[0] = rim.r;
                p[1] = rim.g;
                p[2] = rim.b;
            }
        }
    return canvas.save(dir + "/center.png", true);
}

// A meadow tile: wrapping noise and wrapped clover dots, so that 8 x 6 copies join seamlessly.
bool paintBackground(const std::string& dir) {
    const int size = 128;
    Canvas canvas(size, size);
    TileNoise coarse(4, 11), fine(16, 23), blades(64, 5);
    Colour light{0.56f, 0.78f, 0.42f}, dark{0.30f, 0.58f, 0.30f};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = float(x) / size, v = float(y) / size;
            float n = 0.55f * coarse.at(u * 4, v * 4) + 0.3f * fine.at(u * 16, v * 16) +
                      0.15f * blades.at(u * 64, v * 16);
            canvas.set(x, y, mix(dark, light, n));
        }
    struct Dot {
        float x, y, r;
        Colour c;
    };
    const Dot dots[] = {{20, 28, 2.6f, {1.0f, 1.0f, 0.95f}},   {84, 14, 2.2f, {1.0f, 0.95f, 0.6f}},
                        {110, 70, 2.8f, {1.0f, 1.0f, 0.95f}},  {52, 92, 2.4f, {0.95f, 0.8f, 1.0f}},
                        {8, 118, 2.2f, {1.0f, 0.95f, 0.6f}},   {70, 50, 1.8f, {1.0f, 1.0f, 1.0f}},
                        {122, 120, 2.0f, {0.95f, 0.8f, 1.0f}}, {36, 62, 1.6f, {1.0f, 1.0f, 0.8f}}};
    for (const Dot& dot : dots)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                // Distance on the torus: a dot near one edge reappears at the opposite one.
                float dx = std::fabs(x + 0.5f - dot.x), dy = std::fabs(y + 0.5f - dot.y);
                dx = std::min(dx, size - dx);
                dy = std::min(dy, size - dy);
                float d = std::hypot(dx, dy);
                canvas.over(x, y, Colour{0.22f, 0.45f, 0.22f}, clamp01(dot.r + 1.2f - d) * 0.25f);
                canvas.over(x, y, dot.c, clamp01(dot.r - d + 0.5f) * 0.7f);
            }
    return canvas.save(dir + "/bg1.png", false);
}

struct Mask {
    int width = 0, height = 0;
    std::vector<float> value;
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        return value[y * width + x];
    }
};

// Renders a line of text with FreeType into a coverage mask that fits maxWidth x maxHeight.
bool renderText(const std::string& fontPath, const char* text, int maxWidth, int maxHeight,
                Mask& mask) {
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, fontPath.c_str(), 0, &face)) {
        std::fprintf(stderr, "pelmora-artgen: cannot load %s\n", fontPath.c_str());
        return false;
    }
    for (int pixels = maxHeight; pixels > 8; pixels -= 2) {
        FT_Set_Pixel_Sizes(face, 0, pixels);
        int pen = 0, top = 1 << 30, bottom = -(1 << 30), left = 1 << 30, right = -(1 << 30);
        for (const char* c = text; *c; ++c) {
            FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_RENDER);
            FT_GlyphSlot g = face->glyph;
            left = std::min(left, pen + g->bitmap_left);
            right = std::max(right, pen + g->bitmap_left + int(g->bitmap.width));
            top = std::min(top, -g->bitmap_top);
            bottom = std::max(bottom, -g->bitmap_top + int(g->bitmap.rows));
            pen += int(g->advance.x >> 6);
        }
        if (right - left > maxWidth || bottom - top > maxHeight)
            continue;
        mask.width = right - left;
        mask.height = bottom - top;
        mask.value.assign(mask.width * mask.height, 0);
        pen = 0;
        for (const char* c = text; *c; ++c) {
            FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_RENDER);
            FT_GlyphSlot g = face->glyph;
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col) {
                    int x = pen + g->bitmap_left + int(col) - left;
                    int y = -g->bitmap_top + int(row) - top;
                    float& v = mask.value[y * mask.width + x];
                    v = std::max(v, g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f);
                }
            pen += int(g->advance.x >> 6);
        }
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return true;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return false;
}

// Coverage of the mask grown by radius pixels (a round brush), for outlines and shadows.
Mask grow(const Mask& mask, float radius, int margin) {
    Mask out;
    out.width = mask.width + 2 * margin;
    out.height = mask.height + 2 * margin;
    out.value.assign(out.width * out.height, 0);
    int reach = int(std::ceil(radius)) + 1;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float best = 0;
            for (int dy = -reach; dy <= reach && best < 1; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    float d = std::hypot(float(dx), float(dy));
                    float v =
                        mask.at(x - margin + dx, y - margin + dy) * clamp01(radius + 0.5f - d);
                    best = std::max(best, v);
                }
            out.value[y * out.width + x] = best;
        }
    return out;
}

Mask blur(const Mask& mask, int radius) {
    Mask out = mask;
    for (int pass = 0; pass < 2; ++pass) {
        Mask source = out;
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += pass == 0 ? source.at(x + k, y) : source.at(x, y + k);
                out.value[y * out.width + x] = sum / (2 * radius + 1);
            }
    }
    return out;
}

void paintDaisy(Canvas& canvas, float cx, float cy, float radius, int petals, Colour petal,
                Colour outline, float outlineWidth = 1.6f) {
    auto inPetal = [&](float x, float y, float grow) {
        float dx = x - cx, dy = y - cy;
        float r = std::hypot(dx, dy), a = std::atan2(dy, dx);
        float local = std::fabs(std::remainder(a, 2 * Pi / petals)) * petals / (2 * Pi);
        float reach = radius * (0.55f + 0.45f * std::cos(std::min(1.0f, local * 2.2f) * Pi / 2));
        return r <= reach + grow;
    };
    canvas.fill([&](float x, float y) { return inPetal(x, y, outlineWidth); },
                [&](float, float) { return outline; });
    canvas.fill([&](float x, float y) { return inPetal(x, y, 0); },
                [&](float x, float y) {
                    float d = std::hypot(x - cx, y - cy) / radius;
                    return mix(petal, Colour{0.82f, 0.84f, 0.95f}, d * d);
                });
    canvas.fill([&](float x, float y) { return std::hypot(x - cx, y - cy) <= radius * 0.34f; },
                [&](float x, float y) {
                    float d = std::hypot(x - cx + radius * 0.1f, y - cy + radius * 0.1f) / radius;
                    return mix(Colour{1.0f, 0.85f, 0.2f}, Colour{0.85f, 0.45f, 0.05f}, d * 2.5f);
                });
}

// "Pelmora" in the game's font: a pink-to-plum gradient, a dark outline and a soft shadow.
bool paintLogo(const std::string& dir, const std::string& fontPath) {
    Canvas canvas(512, 256);
    Mask text;
    if (!renderText(fontPath, "Pelmora", 400, 150, text))
        return false;
    const int margin = 14;
    Mask outline = grow(text, 7, margin);
    Mask shadow = blur(grow(text, 8, margin), 5);
    int ox = (512 - outline.width) / 2 + 24, oy = (256 - outline.height) / 2 + 8;
    for (int y = 0; y < outline.height; ++y)
        for (int x = 0; x < outline.width; ++x)
            canvas.over(ox + x + 6, oy + y + 7, Colour{0.05f, 0.1f, 0.05f},
                        shadow.at(x, y) * 0.45f);
    for (int y = 0; y < outline.height; ++y)
        for (int x = 0; x < outline.width; ++x)
            canvas.over(ox + x, oy + y, Colour{0.30f, 0.06f, 0.22f}, outline.at(x, y));
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x) {
            float v = float(y) / text.height;
            Colour c = mix(Colour{1.0f, 0.62f, 0.80f}, Colour{0.80f, 0.16f, 0.45f}, v);
            if (v < 0.42f)
                c = mix(c, Colour{1, 1, 1}, 0.25f * (1 - v / 0.42f));
            canvas.over(ox + margin + x, oy + margin + y, c, text.at(x, y));
        }
    paintDaisy(canvas, 52, 70, 44, 12, Colour{1, 1, 1}, Colour{0.30f, 0.06f, 0.22f});
    return canvas.save(dir + "/logo.png", true);
}

// An arrow whose tip is the top-left pixel, with a small daisy on its tail.
bool paintCursor(const std::string& dir) {
    Canvas canvas(64, 64);
    // Arrow outline as a polygon, tip at (0.5, 0.5).
    const float shape[][2] = {{0.5f, 0.5f},   {0.5f, 34},  {8.5f, 26.5f}, {14, 39},
                              {19.5f, 36.5f}, {14, 24.5f}, {25, 24.5f}};
    auto inside = [&](float x, float y, const float(*poly)[2], int count) {
        bool in = false;
        for (int i = 0, j = count - 1; i < count; j = i++) {
            if ((poly[i][1] > y) != (poly[j][1] > y) &&
                x < (poly[j][0] - poly[i][0]) * (y - poly[i][1]) / (poly[j][1] - poly[i][1]) +
                        poly[i][0])
                in = !in;
        }
        return in;
    };
    auto nearShape = [&](float x, float y, float reach) {
        for (int k = 0; k < 12; ++k) {
            float a = k * Pi / 6;
            if (inside(x + reach * std::cos(a), y + reach * std::sin(a), shape, 7))
                return true;
        }
        return inside(x, y, shape, 7);
    };
    canvas.fill([&](float x, float y) { return nearShape(x - 2, y - 2, 1.6f); },
                [&](float, float) {
                    return Colour{0, 0, 0};
                },
                0.3f);
    canvas.fill([&](float x, float y) { return nearShape(x, y, 1.6f); },
                [&](float, float) {
                    return Colour{0.25f, 0.05f, 0.18f};
                });
    canvas.fill([&](float x, float y) { return inside(x, y, shape, 7); },
                [&](float x, float y) {
                    return mix(Colour{1, 1, 1}, Colour{0.86f, 0.88f, 0.96f}, (x + y) / 50);
                });
    paintDaisy(canvas, 43, 43, 17, 9, Colour{1.0f, 0.80f, 0.90f}, Colour{0.25f, 0.05f, 0.18f});
    return canvas.save(dir + "/cursor.png", true);
}

// The program's icon at one of the sizes that the packages and the web page carry: the game's
// white daisy with an orange heart. Each size is painted at its own resolution, with fewer petals
// and a relatively heavier outline the smaller it gets, so that a 16-pixel icon still reads as a
// flower.
bool paintIcon(const std::string& dir, int size) {
    Canvas canvas(size, size);
    float outline = std::max(1.0f, size / 48.0f);
    int petals = size < 32 ? 8 : size < 64 ? 10 : 12;
    float half = size * 0.5f;
    paintDaisy(canvas, half, half, half - outline - 0.5f, petals, Colour{1, 1, 1},
               Colour{0.30f, 0.06f, 0.22f}, outline);
    return canvas.save(dir + "/icons/pelmora-" + std::to_string(size) + ".png", true);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) == "--help") {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: pelmora-artgen output-dir font.ttf\n");
        return argc == 2 ? 0 : 2;
    }
    std::string dir = argv[1];
    bool ok = paintPetal(dir) && paintCentre(dir) && paintBackground(dir) &&
              paintLogo(dir, argv[2]) && paintCursor(dir);
    // 16 to 256 for the desktop packages; 192 and 512 for the web page's app manifest.
    for (int size : {16, 32, 48, 64, 128, 192, 256, 512})
        ok = ok && paintIcon(dir, size);
    return ok ? 0 : 1;
}
