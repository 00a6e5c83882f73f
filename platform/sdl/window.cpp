// Windows over SDL: the window record, showing and focusing, the cursor counter and the message
// box. The SDL window behind a record is made late (by the pixel format or by ShowWindow) because
// SDL fixes its GL attributes at creation.
#include "platform/sdl/internal.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

HWND programWindow = nullptr;
HWND focusWindow = nullptr;
bool videoStarted = false;
int cursorCounter = 0;

// The display works but the game's window cannot be made or shown: said on standard error, and
// in a box on the screen for the player who started the game from a menu, with no terminal.
[[noreturn]] void failVideo(const char* what, const char* advice = nullptr) {
    const std::string reason = std::string(what) + ": " + SDL_GetError();
    std::fprintf(stderr, "pelmora: %s\n", reason.c_str());
    std::string text = "Pelmora cannot start: " + reason + ".";
    if (advice != nullptr)
        text += std::string("\n\n") + advice;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Pelmora", text.c_str(), nullptr);
    std::exit(EXIT_FAILURE);
}

// Why a driver could not reach its screen, in terms the player can check. SDL's own error says
// only that the last driver it tried is "not available".
std::string xWhyNot() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        return "no X display (DISPLAY not set)";
    return std::string("cannot open display \"") + display + "\"";
}

// The socket is found as libwayland finds it: WAYLAND_DISPLAY, or "wayland-0" without it, under
// XDG_RUNTIME_DIR unless the name is a path of its own.
std::string waylandWhyNot() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const bool named = name != nullptr && name[0] != '\0';
    std::string socket = named ? name : "wayland-0";
    const std::string unnamed = named ? "" : " (WAYLAND_DISPLAY not set)";
    if (socket[0] != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime == nullptr || runtime[0] == '\0')
            return "no Wayland socket \"" + socket + "\" (XDG_RUNTIME_DIR not set)";
        socket = std::string(runtime) + "/" + socket;
    }
    struct stat status;
    if (stat(socket.c_str(), &status) != 0)
        return "no Wayland socket \"" + socket + "\"" + unnamed;
    return "cannot use the Wayland socket \"" + socket + "\"" + unnamed;
}

std::string whyNot(const char* driver) {
    if (SDL_strcasecmp(driver, "x11") == 0)
        return xWhyNot();
    if (SDL_strcasecmp(driver, "wayland") == 0)
        return waylandWhyNot();
    return std::string(driver) + " not available";
}

// No driver reached a screen: say what each one tried, in the order they were tried.
[[noreturn]] void failStart(const std::vector<std::string>& tried) {
    std::string reasons;
    for (const std::string& driver : tried)
        reasons += (reasons.empty() ? "" : "; ") + whyNot(driver.c_str());
    std::fprintf(stderr, "pelmora: cannot start video: %s\n",
                 reasons.empty() ? SDL_GetError() : reasons.c_str());
    std::exit(EXIT_FAILURE);
}

// Drivers that draw nowhere. SDL falls back to one of them when no screen can be reached, which
// would leave the game running without a window anybody could see or close; they serve only
// when SDL's own driver setting names them.
bool headless(const char* driver) {
    for (const char* name : {"offscreen", "dummy", "evdev"})
        if (std::strcmp(driver, name) == 0)
            return true;
    return false;
}

// Starts the first driver of SDL's own order that reaches a screen, noting those that do not.
bool startDisplayDriver(std::vector<std::string>& tried) {
    const int count = SDL_GetNumVideoDrivers();
    for (int i = 0; i < count; ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (headless(driver))
            continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            return true;
        tried.push_back(driver);
    }
    return false;
}

// SDL tries the drivers of its setting (a comma-separated list) in their order.
bool startRequestedDriver(const char* requested, std::vector<std::string>& tried) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
        return true;
    const std::string list = requested;
    for (size_t start = 0; start <= list.size();) {
        const size_t end = std::min(list.find(',', start), list.size());
        if (end > start)
            tried.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return false;
}

// SDL's video start connects to the session message bus, for the screen saver and input
// methods. With no bus to find (no address set, no user bus under XDG_RUNTIME_DIR) the message
// bus library would start a helper program that looks for one or starts a bus for the X display,
// a bus that nothing the game talks to listens on. Turning the address off while video starts
// skips that, and whoever the game starts later sees the environment as it was.
class NoBusSearch {
public:
    NoBusSearch() {
        const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        struct stat status;
        const bool userBus = runtime != nullptr && runtime[0] != '\0' &&
                             stat((std::string(runtime) + "/bus").c_str(), &status) == 0;
        set_ = (address == nullptr || address[0] == '\0') && !userBus;
        if (set_)
            setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    }
    ~NoBusSearch() {
        if (set_)
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    NoBusSearch(const NoBusSearch&) = delete;
    NoBusSearch& operator=(const NoBusSearch&) = delete;

private:
    bool set_ = false;
};

} // namespace

void sdl::requireVideo() {
    if (videoStarted)
        return;
    // The layer turns termination signals and close requests into WM_CLOSE itself; SDL's own
    // handlers would compete for the signals, and its quit-on-last-close would say it twice.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    const NoBusSearch noBusSearch;
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    std::vector<std::string> tried;
    const bool started = requested != nullptr && requested[0] != '\0'
                             ? startRequestedDriver(requested, tried)
                             : startDisplayDriver(tried);
    if (!started)
        failStart(tried);
    // The keyboard tells the key events of the X server from those SDL makes up by the X events
    // that SDL reports ahead of them.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    videoStarted = true;
}

HWND sdl::mainWindow() {
    return programWindow;
}

HWND sdl::windowForId(Uint32 windowId) {
    HWND window = programWindow;
    if (SDL_Window* sdlWindow = SDL_GetWindowFromID(windowId)) {
        if (void* record = SDL_GetWindowData(sdlWindow, "pelmora"))
            window = static_cast<HWND>(record);
    }
    return window;
}

void sdl::createSdlWindow(HWND window, Uint32 flags) {
    flags |= SDL_WINDOW_HIDDEN;
    int x = window->x, y = window->y, width = window->width, height = window->height;
    SDL_DisplayMode mode;
    const bool popup = (window->style & WS_POPUP) != 0;
    const bool fullscreen = popup && sdl::fullscreenMode(&mode);
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
        failVideo("cannot create the window",
                  "The game draws with OpenGL: the graphics driver may be missing or broken.");
    if (fullscreen) {
        if (SDL_SetWindowDisplayMode(window->sdlWindow, &mode) != 0)
            failVideo("cannot set the display mode");
        sdl::fullscreenApplied(window->sdlWindow);
    }
    SDL_SetWindowData(window->sdlWindow, "pelmora", window);
}

WindowRecord& platformWindowRecord(HWND window) {
    return *window;
}

HWND platformNewWindow(const WNDCLASSEXA&, const CREATESTRUCTA& create) {
    sdl::requireVideo();
    if (programWindow == nullptr)
        sdl::installSignalHandlers();
    HWND window = platformKeep(new PlatformWindow);
    if (create.lpszName != nullptr)
        std::snprintf(window->title, sizeof window->title, "%s", create.lpszName);
    programWindow = window;
    return window;
}

BOOL ShowWindow(HWND window, int command) {
    if (window == nullptr)
        return FALSE;
    const bool wasVisible =
        window->sdlWindow != nullptr && (SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_SHOWN);
    const bool show = command != SW_HIDE;
    if (show && window->sdlWindow == nullptr)
        sdl::createSdlWindow(window, 0);
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

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (caption == nullptr)
        caption = "Error";
    if (text == nullptr)
        text = "";
    SDL_Window* parent = owner != nullptr ? owner->sdlWindow : nullptr;
    // The text must reach somebody, and the box may not: without a display SDL falls back on
    // zenity, which fails on its own standard error while SDL reports the box shown.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    const Uint32 kind =
        (type & MB_ICONERROR) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(kind, caption, text, parent);
    return IDOK;
}
