// Windows over SDL: the window record, showing and focusing, the cursor counter and the message
// box. The SDL window behind a record is made late (by the pixel format or by ShowWindow) because
// SDL fixes its GL attributes at creation.
#include "platform/sdl/internal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

struct PlatformBrush {
    COLORREF colour;
};

namespace {

HWND mainWindow = nullptr;
HWND focusWindow = nullptr;
bool videoStarted = false;
int cursorCounter = 0;

[[noreturn]] void failVideo(const char* what) {
    const char* display = std::getenv("DISPLAY");
    const bool noDisplay = display == nullptr || display[0] == '\0';
    std::fprintf(stderr, "pelmora: %s%s: %s\n", what, noDisplay ? " (no display)" : "",
                 SDL_GetError());
    std::exit(EXIT_FAILURE);
}

// A driver that draws nowhere is only right when somebody asked for it (tests do): picked by
// SDL as a fallback it would leave the game running without a window it could ever close.
bool headlessFallback() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (driver == nullptr || (requested != nullptr && requested[0] != '\0'))
        return false;
    return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

} // namespace

void platformRequireVideo() {
    if (videoStarted)
        return;
    // The layer turns termination signals and close requests into WM_CLOSE itself; SDL's own
    // handlers would compete for the signals, and its quit-on-last-close would say it twice.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        failVideo("cannot start video");
    if (headlessFallback()) {
        SDL_SetError("the %s driver has no screen", SDL_GetCurrentVideoDriver());
        failVideo("cannot start video");
    }
    videoStarted = true;
}

HWND platformMainWindow() {
    return mainWindow;
}

HWND platformWindowForId(Uint32 windowId) {
    HWND window = mainWindow;
    if (SDL_Window* sdlWindow = SDL_GetWindowFromID(windowId)) {
        if (void* record = SDL_GetWindowData(sdlWindow, "pelmora"))
            window = static_cast<HWND>(record);
    }
    return window;
}

void platformCreateSdlWindow(HWND window, Uint32 flags) {
    flags |= SDL_WINDOW_HIDDEN;
    int x = window->x, y = window->y, width = window->width, height = window->height;
    SDL_DisplayMode mode;
    const bool popup = (window->style & WS_POPUP) != 0;
    const bool fullscreen = popup && platformFullscreenMode(&mode);
    if (fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
        x = y = SDL_WINDOWPOS_UNDEFINED_DISPLAY(0);
        width = mode.w;
        height = mode.h;
    } else if (popup) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    window->sdlWindow = SDL_CreateWindow(window->title, x, y, width, height, flags);
    if (window->sdlWindow == nullptr)
        failVideo("cannot create the window");
    if (fullscreen && SDL_SetWindowDisplayMode(window->sdlWindow, &mode) != 0)
        failVideo("cannot set the display mode");
    SDL_SetWindowData(window->sdlWindow, "pelmora", window);
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    return platformKeep(new PlatformBrush{colour});
}

WindowRecord& platformWindowRecord(HWND window) {
    return *window;
}

HWND platformNewWindow(LPCSTR windowName) {
    platformRequireVideo();
    if (mainWindow == nullptr)
        platformInstallSignalHandlers();
    HWND window = platformKeep(new PlatformWindow);
    if (windowName != nullptr)
        std::snprintf(window->title, sizeof window->title, "%s", windowName);
    mainWindow = window;
    return window;
}

BOOL ShowWindow(HWND window, int command) {
    if (window == nullptr)
        return FALSE;
    const bool wasVisible =
        window->sdlWindow != nullptr && (SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_SHOWN);
    const bool show = command != SW_HIDE;
    if (show && window->sdlWindow == nullptr)
        platformCreateSdlWindow(window, 0);
    if (show == wasVisible)
        return wasVisible;
    window->procedure(window, WM_SHOWWINDOW, show, 0);
    if (show)
        SDL_ShowWindow(window->sdlWindow);
    else
        SDL_HideWindow(window->sdlWindow);
    return wasVisible;
}

BOOL SetForegroundWindow(HWND window) {
    if (window == nullptr || window->sdlWindow == nullptr)
        return FALSE;
    SDL_RaiseWindow(window->sdlWindow);
    return TRUE;
}

HWND SetFocus(HWND window) {
    HWND previous = focusWindow;
    focusWindow = window;
    if (window != nullptr && window->sdlWindow != nullptr)
        SDL_RaiseWindow(window->sdlWindow);
    return previous;
}

int ShowCursor(BOOL show) {
    cursorCounter += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCounter;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT) {
    if (caption == nullptr)
        caption = "Error";
    if (text == nullptr)
        text = "";
    SDL_Window* parent = owner != nullptr ? owner->sdlWindow : nullptr;
    // Without a display the box cannot appear; the text must still reach somebody.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, parent) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}
