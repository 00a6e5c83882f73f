// Display modes: the desktop mode and the modes of the primary display as DEVMODEA records, and
// the full-screen mode that ChangeDisplaySettingsA chooses for the program's pop-up window.
// SDL switches the screen only when that window is shown full-screen, so the choice is kept here.
#include "platform/sdl/internal.h"

#include <cstdlib>

namespace {

bool chosenModeSet = false;
SDL_DisplayMode chosenMode = {};

// The window whose showing switched the screen. Windows undoes a temporary full-screen change
// when the program ends; SDL undoes it only in SDL_Quit, which nothing calls. An exit handler
// takes its place: it runs on a return from main, on exit, and after the termination signals
// that the message queue turns into WM_CLOSE.
SDL_Window* switchedWindow = nullptr;

void restoreDesktopMode() {
    if (switchedWindow != nullptr)
        SDL_SetWindowFullscreen(switchedWindow, 0);
}

DWORD depthOf(const SDL_DisplayMode& mode) {
    return SDL_BYTESPERPIXEL(mode.format) * 8;
}

void fill(DEVMODEA* record, const SDL_DisplayMode& mode) {
    record->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    record->dmPelsWidth = static_cast<DWORD>(mode.w);
    record->dmPelsHeight = static_cast<DWORD>(mode.h);
    record->dmBitsPerPel = depthOf(mode);
    record->dmDisplayFrequency = static_cast<DWORD>(mode.refresh_rate);
}

// As on Windows, a field counts only when dmFields names it.
bool offers(const DEVMODEA& wanted, const SDL_DisplayMode& mode) {
    const DWORD fields = wanted.dmFields;
    if ((fields & DM_PELSWIDTH) && wanted.dmPelsWidth != DWORD(mode.w))
        return false;
    if ((fields & DM_PELSHEIGHT) && wanted.dmPelsHeight != DWORD(mode.h))
        return false;
    if ((fields & DM_BITSPERPEL) && wanted.dmBitsPerPel != depthOf(mode))
        return false;
    return !(fields & DM_DISPLAYFREQUENCY) || wanted.dmDisplayFrequency == 0 ||
           wanted.dmDisplayFrequency == DWORD(mode.refresh_rate);
}

// The desktop mode is tried first, so that a partial request keeps the desktop's other values,
// and it is always acceptable, also on drivers that list no modes at all (SDL's
// offscreen driver lists one empty mode).
bool findOffered(const DEVMODEA& wanted, SDL_DisplayMode* found) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && offers(wanted, mode)) {
        *found = mode;
        return true;
    }
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && offers(wanted, mode)) {
            *found = mode;
            return true;
        }
    }
    return false;
}

} // namespace

void sdl::fullscreenApplied(SDL_Window* window) {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w == chosenMode.w &&
        desktop.h == chosenMode.h && desktop.format == chosenMode.format &&
        desktop.refresh_rate == chosenMode.refresh_rate)
        return; // the screen keeps its mode: nothing to give back
    if (switchedWindow == nullptr)
        std::atexit(restoreDesktopMode);
    switchedWindow = window;
}

bool sdl::fullscreenMode(SDL_DisplayMode* mode) {
    if (chosenModeSet && mode != nullptr)
        *mode = chosenMode;
    return chosenModeSet;
}

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* mode) {
    if (mode == nullptr || deviceName != nullptr)
        return FALSE;
    sdl::requireVideo();
    SDL_DisplayMode found;
    if (modeNum == ENUM_CURRENT_SETTINGS) {
        if (SDL_GetDesktopDisplayMode(0, &found) != 0)
            return FALSE;
    } else if (modeNum >= DWORD(SDL_GetNumDisplayModes(0)) ||
               SDL_GetDisplayMode(0, int(modeNum), &found) != 0) {
        return FALSE;
    }
    fill(mode, found);
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    sdl::requireVideo();
    if (mode == nullptr) {
        chosenModeSet = false;
        HWND window = sdl::mainWindow();
        if (window != nullptr && window->sdlWindow != nullptr)
            SDL_SetWindowFullscreen(window->sdlWindow, 0);
        return DISP_CHANGE_SUCCESSFUL;
    }
    SDL_DisplayMode found;
    if (!findOffered(*mode, &found))
        return DISP_CHANGE_BADMODE;
    chosenMode = found;
    chosenModeSet = true;
    return DISP_CHANGE_SUCCESSFUL;
}
