// The window both bare yardsticks open: the game's full-screen window, title and pixel format,
// so that the game and the bare programs differ only in what they draw.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>

// Opens the window on the desktop's mode with a current context and no swap interval; null when
// any step fails. mode receives the desktop's mode.
static inline SDL_Window* openBareWindow(SDL_DisplayMode* mode) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || SDL_GetDesktopDisplayMode(0, mode) != 0)
        return NULL;
    // The game's pixel format: double-buffered RGB 8-8-8 with a 16-bit depth buffer.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_Window* window =
        SDL_CreateWindow("Pelmora Application", SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                         SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), mode->w, mode->h,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN);
    if (window == NULL || SDL_SetWindowDisplayMode(window, mode) != 0)
        return NULL;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == NULL || SDL_GL_MakeCurrent(window, context) != 0)
        return NULL;
    SDL_GL_SetSwapInterval(0);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_ShowCursor(SDL_DISABLE);
    return window;
}

// Drains the event queue; true once the window was asked to close.
static inline int bareQuitRequested(void) {
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (event.type == SDL_QUIT)
            return 1;
    return 0;
}
