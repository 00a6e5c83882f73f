// OpenGL that Emscripten's emulation lacks or refuses, between the engine and the emulation:
// GL_POLYGON, GL_CLAMP and GL_ALPHA images are mapped to what WebGL draws the same, and the enable
// bits are tracked so that glPushAttrib/glPopAttrib can restore them (the emulation answers
// glIsEnabled only for some capabilities, and not for GL_TEXTURE_2D).
#include "platform/web/internal.h"

#include <map>
#include <vector>

// The real entry points from here on.
#undef glBegin
#undef glTexImage2D
#undef glTexParameteri
#undef glEnable
#undef glDisable

namespace {

using EnableBits = std::map<GLenum, bool>;

EnableBits& enableBits() {
    static EnableBits bits;
    return bits;
}

std::vector<EnableBits>& attributeStack() {
    static std::vector<EnableBits> stack;
    return stack;
}

// GL's initial state: every capability off but dithering.
bool initiallyEnabled(GLenum capability) {
    return capability == GL_DITHER;
}

bool isEnabled(const EnableBits& bits, GLenum capability) {
    auto found = bits.find(capability);
    return found != bits.end() ? found->second : initiallyEnabled(capability);
}

} // namespace

void webBegin(GLenum mode) {
    // A convex polygon covers the same pixels as the fan of triangles from its first vertex.
    glBegin(mode == GL_POLYGON ? GL_TRIANGLE_FAN : mode);
}

void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                   GLint border, GLenum format, GLenum type, const void* pixels) {
    if (format != GL_ALPHA || type != GL_UNSIGNED_BYTE || pixels == nullptr || width <= 0 ||
        height <= 0) {
        glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
        return;
    }
    // Rows in and out are padded to 4 bytes, GL's unpack alignment.
    const size_t inRow = (size_t(width) + 3) / 4 * 4;
    const size_t outRow = (size_t(width) * 2 + 3) / 4 * 4;
    std::vector<GLubyte> whiteAlpha(outRow * size_t(height), 0xFF);
    const GLubyte* alpha = static_cast<const GLubyte*>(pixels);
    for (GLsizei y = 0; y < height; ++y)
        for (GLsizei x = 0; x < width; ++x)
            whiteAlpha[y * outRow + x * 2 + 1] = alpha[y * inRow + x];
    glTexImage2D(target, level, GL_LUMINANCE_ALPHA, width, height, border, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, whiteAlpha.data());
}

void webTexParameteri(GLenum target, GLenum name, GLint value) {
    if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) && value == GL_CLAMP)
        value = GL_CLAMP_TO_EDGE;
    glTexParameteri(target, name, value);
}

void webEnable(GLenum capability) {
    enableBits()[capability] = true;
    glEnable(capability);
}

void webDisable(GLenum capability) {
    enableBits()[capability] = false;
    glDisable(capability);
}

// Only the enable bits are kept, whatever the mask: the engine pushes nothing else.
extern "C" void glPushAttrib(GLbitfield) {
    attributeStack().push_back(enableBits());
}

extern "C" void glPopAttrib(void) {
    if (attributeStack().empty())
        return; // GL_STACK_UNDERFLOW on a desktop GL: nothing changes
    const EnableBits saved = attributeStack().back();
    attributeStack().pop_back();
    EnableBits current = enableBits();
    for (const auto& entry : saved)
        current.emplace(entry.first, initiallyEnabled(entry.first));
    for (const auto& entry : current) {
        const bool wanted = isEnabled(saved, entry.first);
        if (wanted != entry.second)
            wanted ? webEnable(entry.first) : webDisable(entry.first);
    }
}
