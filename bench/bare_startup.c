// The start-up yardstick: a bare SDL2 + OpenGL program that opens the game's full-screen window
// with the game's pixel format and presents cleared frames. The swap probe ends it at the first.
#include "bare_window.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    SDL_DisplayMode mode;
    SDL_Window* window = openBareWindow(&mode);
    if (window == NULL)
        return 1;
    glClearColor(0, 0, 0, 0);
    while (!bareQuitRequested()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        SDL_GL_SwapWindow(window);
    }
    return 0;
}
