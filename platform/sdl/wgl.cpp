// Device contexts, the pixel format and the GL context over SDL's OpenGL support, and the
// swap-interval entry points that wglGetProcAddress hands out in place of the WGL extension.
#include "platform/sdl/internal.h"

namespace {

BOOL swapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0 ? TRUE : FALSE;
}

int getSwapInterval(void) {
    return SDL_GL_GetSwapInterval();
}

PROC glProcAddress(LPCSTR name) {
    return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(name));
}

void setColourSizes(BYTE colourBits) {
    int red = 8, green = 8, blue = 8;
    if (colourBits == 16) {
        red = 5;
        green = 6;
        blue = 5;
    } else if (colourBits == 15) {
        red = green = blue = 5;
    } else if (colourBits != 24 && colourBits != 32) {
        return; // SDL's defaults take the best the display has
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
}

} // namespace

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (dc == nullptr || format != 1 || descriptor == nullptr)
        return FALSE;
    HWND window = dc->window;
    // SDL cannot change a window's pixel format either; a window already shown without one
    // would need a new window, which the caller's handle could not follow.
    if (window->pixelFormatSet || window->sdlWindow != nullptr)
        return FALSE;
    sdl::requireVideo();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (descriptor->dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, descriptor->cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, descriptor->cStencilBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, descriptor->cAlphaBits);
    setColourSizes(descriptor->cColorBits);
    sdl::createSdlWindow(window, SDL_WINDOW_OPENGL);
    window->pixelFormatSet = true;
    return TRUE;
}

HGLRC wglCreateContext(HDC dc) {
    if (dc == nullptr || !dc->window->pixelFormatSet)
        return nullptr;
    // SDL makes a new context current; WGL does not, so the caller's current one comes back.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(dc->window->sdlWindow);
    if (context == nullptr)
        return nullptr;
    SDL_GL_MakeCurrent(previousWindow, previous);
    HGLRC record = platformKeep(new PlatformGLContext);
    record->context = context;
    record->window = dc->window;
    dc->window->glContext = context;
    return record;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr)
        return SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) == 0 ? TRUE : FALSE;
    if (dc == nullptr || dc->window->sdlWindow == nullptr)
        return FALSE;
    return SDL_GL_MakeCurrent(dc->window->sdlWindow, context->context) == 0 ? TRUE : FALSE;
}

BOOL SwapBuffers(HDC dc) {
    if (dc == nullptr || dc->window->sdlWindow == nullptr || !dc->window->pixelFormatSet)
        return FALSE;
    SDL_GL_SwapWindow(dc->window->sdlWindow);
    return TRUE;
}

PROC wglGetProcAddress(LPCSTR name) {
    return platformProcAddress(name, SDL_GL_GetCurrentContext() != nullptr, &glProcAddress,
                               &swapInterval, &getSwapInterval);
}
