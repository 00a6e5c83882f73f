// Device contexts, the pixel format and the GL context: a WebGL context made through Emscripten's
// GLFW, which also sets up the OpenGL emulation the engine's immediate-mode drawing needs. The
// buffer swap is where the busy main loop hands control to the browser.
#include "platform/web/internal.h"

#include <GLFW/glfw3.h>
#include <emscripten.h>

namespace {

GLFWwindow* glfwWindow = nullptr;
int swapInterval = 1;

// Counts the frame for the page (Module.presentedFrames, firstFrameTime, lastFrameTime, in
// performance.now milliseconds) and returns to the browser until its next animation frame, or
// at once with interval 0.
EM_ASYNC_JS(void, presentFrame, (int interval), {
    var now = performance.now();
    Module.presentedFrames = (Module.presentedFrames || 0) + 1;
    if (Module.presentedFrames == 1)
        Module.firstFrameTime = now;
    Module.lastFrameTime = now;
    await new Promise(function(resume) {
        if (interval > 0)
            requestAnimationFrame(function() { resume(); });
        else
            setTimeout(resume, 0);
    });
});

BOOL setSwapInterval(int interval) {
    if (interval < 0)
        return FALSE;
    swapInterval = interval;
    return TRUE;
}

int getSwapInterval(void) {
    return swapInterval;
}

PROC glProcAddress(LPCSTR name) {
    return reinterpret_cast<PROC>(glfwGetProcAddress(name));
}

} // namespace

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (dc == nullptr || format != 1 || descriptor == nullptr || glfwWindow != nullptr)
        return FALSE;
    if (!glfwInit())
        return FALSE;
    glfwWindowHint(GLFW_DEPTH_BITS, descriptor->cDepthBits);
    glfwWindowHint(GLFW_STENCIL_BITS, descriptor->cStencilBits);
    // Without alpha bits the page shows the canvas opaque, as a screen shows a window.
    glfwWindowHint(GLFW_ALPHA_BITS, descriptor->cAlphaBits);
    HWND window = dc->window;
    glfwWindow =
        glfwCreateWindow(window->width, window->height, "Pelmora Application", nullptr, nullptr);
    if (glfwWindow == nullptr)
        return FALSE;
    window->pixelFormatSet = true;
    return TRUE;
}

HGLRC wglCreateContext(HDC dc) {
    if (dc == nullptr || !dc->window->pixelFormatSet)
        return nullptr;
    HGLRC context = new PlatformGLContext;
    context->window = dc->window;
    return context;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) {
        glfwMakeContextCurrent(nullptr);
        return TRUE;
    }
    if (dc == nullptr || !dc->window->pixelFormatSet)
        return FALSE;
    glfwMakeContextCurrent(glfwWindow);
    return TRUE;
}

// The browser gets control even when there is nothing to show: a loop that never gave it back
// would freeze the page.
BOOL SwapBuffers(HDC dc) {
    const bool drawn = dc != nullptr && dc->window->pixelFormatSet;
    if (drawn)
        glfwSwapBuffers(glfwWindow);
    presentFrame(swapInterval);
    return drawn ? TRUE : FALSE;
}

PROC wglGetProcAddress(LPCSTR name) {
    return platformProcAddress(name, glfwGetCurrentContext() != nullptr, &glProcAddress,
                               &setSwapInterval, &getSwapInterval);
}
