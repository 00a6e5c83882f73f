// Device contexts, the pixel format and the GL context: a WebGL context made through Emscripten's
// GLFW, which also sets up the OpenGL emulation the engine's immediate-mode drawing needs. The
// buffer swap ends a frame, after which the busy main loop hands control to the browser.
#include "platform/web/internal.h"
#include "platform/web/pacing.h"

#include <GLFW/glfw3.h>

namespace {

GLFWwindow* glfwWindow = nullptr;
int swapInterval = 1;

web::FramePacer pacer;

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

// A frame counts even when there is nothing to show: the browser gets control after it all the
// same, since a loop that never gave it back would freeze the page.
BOOL SwapBuffers(HDC dc) {
    const bool drawn = dc != nullptr && dc->window->pixelFormatSet;
    if (drawn) {
        webFitCanvas();
        glfwSwapBuffers(glfwWindow);
    }
    webFrameShown();
    pacer.frameShown();
    return drawn ? TRUE : FALSE;
}

// Here, under PeekMessageA, the main loop waits as Windows' waits for the next frame's messages;
// Asyncify finds the way from main to here through direct calls alone. Under SwapBuffers, the
// way would pass through the engine's virtual calls, which Asyncify is told to ignore.
void web::awaitFrameOncePerPass() {
    if (pacer.turnDue())
        webAwaitFrame(swapInterval);
    pacer.looking(!platformMessagesWaiting());
}

PROC wglGetProcAddress(LPCSTR name) {
    return platformProcAddress(name, glfwGetCurrentContext() != nullptr, &glProcAddress,
                               &setSwapInterval, &getSwapInterval);
}
