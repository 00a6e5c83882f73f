// The frame-cost yardstick: the game's picture drawn with direct immediate-mode OpenGL and no
// engine: the tiled background, a 49-petal flower, its centre, the logo, the cursor, the running
// message and a frame-rate number, in the game's order and GL states. Runs until the swap probe
// ends it. Arguments: [--fewest-states] and the folder with the art's PNG sources.
// With --fewest-states it draws the same picture the way a sprite library does, in as few states
// as the picture allows: every texture RGBA with one level and repeat wrap (the font's atlas
// white with the glyphs in its alpha), the texture's colour modulated by the current colour
// (white but for the text) and blending on throughout, so that the driver meets one combination.
#include "PngImage.h"
#include "bare_window.h"

#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool fewestStates = false;

// The blending and texture environment of the next shapes; with the fewest states they stay as
// set once for the whole frame.
void useStates(bool blend, GLint mode) {
    if (fewestStates)
        return;
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

GLuint upload(const std::string& path, bool alpha) {
    PngImage image;
    std::string error;
    if (!image.read(path, error)) {
        std::fprintf(stderr, "bench-bare-frame: %s\n", error.c_str());
        std::exit(1);
    }
    alpha = alpha || fewestStates;
    std::vector<uint8_t> pixels;
    if (alpha)
        pixels = image.rgba;
    else
        for (size_t i = 0; i < image.rgba.size(); i += 4)
            pixels.insert(pixels.end(), &image.rgba[i], &image.rgba[i] + 3);
    const GLenum format = alpha ? GL_RGBA : GL_RGB;
    const GLint wrap = alpha && !fewestStates ? GL_CLAMP : GL_REPEAT;
    GLuint id = 0;
    glGenTextures(1, &id);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), GLsizei(image.width), GLsizei(image.height), 0,
                 format, GL_UNSIGNED_BYTE, pixels.data());
    if (!fewestStates)
        gluBuild2DMipmaps(GL_TEXTURE_2D, alpha ? 4 : 3, GLsizei(image.width), GLsizei(image.height),
                          format, GL_UNSIGNED_BYTE, pixels.data());
    return id;
}

// An alpha atlas the size of the game's font image, with a soft blob per 64-pixel cell (white
// RGBA with the blobs in its alpha for the fewest states).
GLuint fontAtlas(int width, int height) {
    const int channels = fewestStates ? 4 : 1;
    const GLenum format = fewestStates ? GL_RGBA : GL_ALPHA;
    std::vector<uint8_t> pixels(size_t(width) * height * channels, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int dx = x % 64 - 32, dy = y % 64 - 32;
            pixels[(size_t(y) * width + x) * channels + channels - 1] =
                dx * dx + dy * dy < 600 ? 255 : 0;
        }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                 pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return id;
}

// A quad from (x0, y0) to (x1, y1) with texture coordinates from (s0, t0) to (s1, t1).
void quad(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1) {
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(x0, y0);
    glTexCoord2f(s1, t0);
    glVertex2f(x1, y0);
    glTexCoord2f(s1, t1);
    glVertex2f(x1, y1);
    glTexCoord2f(s0, t1);
    glVertex2f(x0, y1);
    glEnd();
}

// One blended, modulated quad per character, about as wide and tall as the game's glyphs.
void drawText(GLuint atlas, float x, float y, float size, int count, float r, float g, float b) {
    useStates(true, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glColor3f(r, g, b);
    for (int i = 0; i < count; ++i) {
        float s0 = float(i % 16) / 16, t0 = float(i / 16) / 8;
        float x0 = x + float(i) * 0.6f * size, y0 = y + 0.2f * size;
        quad(x0, y0, x0 + 0.55f * size, y0 + 0.75f * size, s0, t0, s0 + 1.0f / 16, t0 + 1.0f / 8);
    }
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    useStates(false, GL_MODULATE);
}

} // namespace

int main(int argc, char** argv) {
    fewestStates = argc > 2 && std::strcmp(argv[1], "--fewest-states") == 0;
    if (argc < 2 + int(fewestStates)) {
        std::fprintf(stderr,
                     "usage: bench-bare-frame [--fewest-states] <folder with petal.png ...>\n");
        return 2;
    }
    const std::string art = std::string(argv[1 + int(fewestStates)]) + "/";
    SDL_DisplayMode mode;
    SDL_Window* window = openBareWindow(&mode);
    if (window == nullptr)
        return 1;

    const GLuint petal = upload(art + "petal.png", false);
    const GLuint centre = upload(art + "center.png", false);
    const GLuint background = upload(art + "bg1.png", false);
    const GLuint logo = upload(art + "logo.png", true);
    const GLuint cursor = upload(art + "cursor.png", true);
    const GLuint atlas = fontAtlas(1024, 512);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);

    const float width = float(mode.w), height = float(mode.h);
    const int petals = 49, segments = 10;
    const float twoPi = 6.2831855f, pi = 3.1415927f;
    const float cx = width * 0.5f, cy = height * 0.5f;
    const float outer = 0.7f * cy, bulge = 0.2f * cy, inner = 0.1f * cy;
    const float step = twoPi / petals, gap = step * 0.06666667f;
    const float edgeStep = (step - 2 * gap) / segments;
    const int mx = mode.w / 2, my = mode.h / 2;

    glClearColor(0, 0, 0, 0);
    if (fewestStates) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    while (!bareQuitRequested()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width, height, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();

        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, background);
        useStates(false, GL_REPLACE);
        quad(0, 0, 1024, 768, 0, 0, 8, 6);

        glBindTexture(GL_TEXTURE_2D, petal);
        for (int i = 0; i < petals; ++i) {
            float start = float(i) * step + gap, end = float(i + 1) * step - gap;
            glBegin(GL_POLYGON);
            glTexCoord2f(1, 1);
            glVertex2f(cx + inner * std::cos(end), cy + inner * std::sin(end));
            glTexCoord2f(0, 1);
            glVertex2f(cx + inner * std::cos(start), cy + inner * std::sin(start));
            for (int j = 0; j <= segments; ++j) {
                float angle = start + float(j) * edgeStep;
                float radius = outer + bulge * std::sin(float(j) * pi / segments);
                glTexCoord2f(float(j) / segments, 0);
                glVertex2f(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
            }
            glEnd();
        }

        glBindTexture(GL_TEXTURE_2D, centre);
        glBegin(GL_POLYGON);
        for (int i = 0; i < petals; ++i) {
            float c = std::cos(float(i) * step), s = std::sin(float(i) * step);
            glTexCoord2f((c + 1) * 0.5f, (s + 1) * 0.5f);
            glVertex2f(cx + inner * c, cy + inner * s);
        }
        glEnd();

        useStates(true, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, logo);
        quad(0, 0, 0.25f * width, height / 6, 0, 0, 1, 1);
        glBindTexture(GL_TEXTURE_2D, cursor);
        quad(float(mx), float(my), float(mx + 63), float(my + 63), 0, 0, 1, 1);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        useStates(false, GL_REPLACE);

        drawText(atlas, 10, height - 50, 40, 6, 0, 1, 0);
        drawText(atlas, width - 4 * 0.6f * 32, height - 32, 32, 3, 1, 0.9f, 0.47f);

        glFinish();
        SDL_GL_SwapWindow(window);
    }
    return 0;
}
