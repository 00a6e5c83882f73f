// TextureHandle: binding a texture object, on a chosen unit when multitexturing is available.
#include "resources/TextureHandle.h"
#include "graphics/Extensions.h"

int32_t TextureHandle::unitCount = -1;

bool TextureHandle::generate() {
    if (id == 0)
        glGenTextures(1, &id);
    return true;
}

void TextureHandle::bind(uint32_t textureUnit) {
    if (hasARBMultitexture) {
        if (unitCount == -1) {
            GLint count = 0;
            glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &count);
            unitCount = count;
        }
        if (textureUnit >= uint32_t(unitCount))
            return;
        unit = textureUnit;
        ext::glActiveTextureARB(GL_TEXTURE0_ARB + textureUnit);
    }
    glEnable(target);
    glBindTexture(target, id);
}

void TextureHandle::unbind() {
    if (hasARBMultitexture) {
        unit = 0;
        glBindTexture(target, 0);
        glDisable(target);
        ext::glActiveTextureARB(GL_TEXTURE0_ARB);
    } else {
        glBindTexture(target, 0);
        glDisable(target);
    }
}

void TextureHandle::destroy() {
    if (id != 0)
        glDeleteTextures(1, &id);
}

void clearGlErrors() {
    // Bounded: a lost context may answer an error on every call.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}
