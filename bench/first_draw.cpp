// The first frame's cost by state combination: on a software driver every new combination of
// texture format, wrap mode, texture environment and blending costs the driver its own code the
// first time it is drawn with. Opens the yardsticks' window, draws one untextured, untimed quad
// to take the one-off costs of the first drawing, then for each combination named on the command
// line draws a 512 x 512 quad three times, each followed by glFinish: with a fresh texture (the
// combination's first use), with that texture again, and with another fresh texture of the same
// kind. One line per combination: its name and the three times in milliseconds.
//   bench-first-draw <format>:<wrap>:<mode>:<blend>:<levels> ...
//   format rgb|rgba|alpha, wrap repeat|clamp|edge, mode replace|modulate, blend opaque|blend,
//   levels mip (gluBuild2DMipmaps, as the game's textures) or one (level 0 only, as its font).
#include "bare_window.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Pixel format, wrap mode and texture environment; blending; mipmapped or level 0 only.
struct Combination {
    GLenum format = GL_RGBA;
    GLint wrap = GL_REPEAT, mode = GL_REPLACE;
    bool blend = false, mipmaps = true;
};

bool pick(const std::string& word, const char* const* names, const int* values, int count,
          int* out) {
    for (int i = 0; i < count; ++i)
        if (word == names[i]) {
            *out = values[i];
            return true;
        }
    return false;
}

bool parse(const char* text, Combination* combination) {
    std::vector<std::string> words;
    std::string rest = text;
    for (size_t colon; (colon = rest.find(':')) != std::string::npos; rest.erase(0, colon + 1))
        words.push_back(rest.substr(0, colon));
    words.push_back(rest);
    if (words.size() != 5)
        return false;
    static const char* const formats[] = {"rgb", "rgba", "alpha"};
    static const int formatValues[] = {GL_RGB, GL_RGBA, GL_ALPHA};
    static const char* const wraps[] = {"repeat", "clamp", "edge"};
    static const int wrapValues[] = {GL_REPEAT, GL_CLAMP, GL_CLAMP_TO_EDGE};
    static const char* const modes[] = {"replace", "modulate"};
    static const int modeValues[] = {GL_REPLACE, GL_MODULATE};
    static const char* const blends[] = {"opaque", "blend"};
    static const char* const levels[] = {"one", "mip"};
    static const int flags[] = {0, 1};
    int format = 0, blend = 0, mipmaps = 0;
    if (!pick(words[0], formats, formatValues, 3, &format) ||
        !pick(words[1], wraps, wrapValues, 3, &combination->wrap) ||
        !pick(words[2], modes, modeValues, 2, &combination->mode) ||
        !pick(words[3], blends, flags, 2, &blend) || !pick(words[4], levels, flags, 2, &mipmaps))
        return false;
    combination->format = GLenum(format);
    combination->blend = blend != 0;
    combination->mipmaps = mipmaps != 0;
    return true;
}

// A 128 x 128 texture of the combination's kind, uploaded as the game uploads its own.
GLuint makeTexture(const Combination& c, int seed) {
    const int side = 128;
    const int channels = c.format == GL_RGBA ? 4 : c.format == GL_RGB ? 3 : 1;
    std::vector<uint8_t> pixels(size_t(side) * side * channels);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 31 + size_t(seed) * 17 + (i >> 9));
    GLuint id = 0;
    glGenTextures(1, &id);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, c.wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, c.wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(c.format), side, side, 0, c.format, GL_UNSIGNED_BYTE,
                 pixels.data());
    if (c.mipmaps)
        gluBuild2DMipmaps(GL_TEXTURE_2D, channels == 4 ? 4 : 3, side, side, c.format,
                          GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    return id;
}

double nowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// One quad in the combination's states, finished; answers the milliseconds it took.
double timedQuad(const Combination& c, GLuint texture) {
    const double started = nowMs();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, c.mode);
    if (c.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(2, 0);
    glVertex2f(512, 0);
    glTexCoord2f(2, 2);
    glVertex2f(512, 512);
    glTexCoord2f(0, 2);
    glVertex2f(0, 512);
    glEnd();
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glFinish();
    return nowMs() - started;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Combination> combinations(size_t(argc > 1 ? argc - 1 : 0));
    for (int i = 1; i < argc; ++i)
        if (!parse(argv[i], &combinations[size_t(i - 1)])) {
            std::fprintf(stderr, "bench-first-draw: bad combination %s\n", argv[i]);
            return 2;
        }
    if (combinations.empty()) {
        std::fprintf(stderr,
                     "usage: bench-first-draw <format>:<wrap>:<mode>:<blend>:<levels> ...\n");
        return 2;
    }
    SDL_DisplayMode mode;
    if (openBareWindow(&mode) == nullptr)
        return 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, mode.w, mode.h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The one-off costs of any first drawing, untextured (texture 0 is incomplete), so that no
    // combination finds any of its own code made.
    timedQuad(Combination(), 0);
    for (size_t i = 0; i < combinations.size(); ++i) {
        const Combination& c = combinations[i];
        const GLuint first = makeTexture(c, int(i) * 2), second = makeTexture(c, int(i) * 2 + 1);
        const double fresh = timedQuad(c, first);
        const double again = timedQuad(c, first);
        const double other = timedQuad(c, second);
        std::printf("%s %.3f %.3f %.3f\n", argv[i + 1], fresh, again, other);
    }
    return 0;
}
