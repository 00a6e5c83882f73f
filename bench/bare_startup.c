// The start-up yardstick: a bare SDL2 + OpenGL program that opens the game's full-screen window
// with the game's pixel format and presents cleared frames. The swap probe ends it at the first.
#include <SDL.h>
#include <SDL_opengl.h>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 1;
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
                         SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), mode.w, mode.h,
                         SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN);
    if (window == NULL || SDL_SetWindowDisplayMode(window, &mode) != 0)
        return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == NULL || SDL_GL_MakeCurrent(window, context) != 0)
        return 1;
    SDL_GL_SetSwapInterval(0);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_ShowCursor(SDL_DISABLE);
    glClearColor(0, 0, 0, 0);
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT)
                return 0;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        SDL_GL_SwapWindow(window);
    }
}
