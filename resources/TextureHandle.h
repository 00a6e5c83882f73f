// An OpenGL texture name with its target, and the bind/unbind pair drawing code wraps around
// its drawing. Binding selects a texture unit only when multitexturing is available.
#pragma once

#include "platform/platform.h"
#include <cstdint>

struct TextureHandle {
    GLuint id = 0; // 0: no texture object yet
    GLenum target = 0;
    uint32_t unit = 0; // the unit last selected by bind

    // Creates the texture object unless one exists; answers true.
    bool generate();
    // Enables the target and binds the texture on the given unit; a unit beyond what the
    // driver offers changes nothing.
    void bind(uint32_t unit);
    // Binds nothing and disables the target on whichever unit is active, then selects unit 0.
    void unbind();
    // Deletes the texture object; id keeps its value.
    void destroy();

    // Texture units the driver offers, shared by all handles; -1 until first read.
    static int32_t unitCount;
};

// Takes every pending OpenGL error flag, so that a check right after an upload sees the upload's
// own error and not one left by an earlier call.
void clearGlErrors();
