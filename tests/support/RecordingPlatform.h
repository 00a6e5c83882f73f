// A platform without a system: the Win32 calls of platform/platform.h and the few GL calls that
// the application frame and the display component make, implemented over plain records. A test
// program links it instead of the real platform to drive the engine's classes exactly as the
// program does, to decide what the "system" answers (the desktop mode, which display modes it
// accepts, the GL extension string and entry points) and to read back every call the engine
// made, in order.
//
// It is a back end of platform/shared/backend.h: windows, classes, the message queue and the
// default window procedure are the platform layers' own (platform/shared/windowing.cpp), so the
// engine sees the messages a real window receives: CreateWindowExA sends WM_NCCREATE,
// WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE before it returns, ShowWindow sends WM_SHOWWINDOW
// when the window's visibility changes. Where it departs from Windows: nothing is drawn, no key
// is ever down, and the clock stands still unless the test moves it.
#pragma once

#include "platform/platform.h"
#include "platform/shared/windowing.h" // the records behind the handles

#include <map>
#include <string>
#include <vector>

namespace recording {

// What the system answers. Tests change it before the engine asks.
struct System {
    // EnumDisplaySettingsA's current mode. ChangeDisplaySettingsA accepts its size and depth at
    // any frequency and refuses every other mode, as a display that offers only its own.
    DWORD desktopWidth = 1024;
    DWORD desktopHeight = 768;
    DWORD desktopBitsPerPixel = 32;
    DWORD desktopFrequency = 60;
    // glGetString(GL_EXTENSIONS) once a context is current; null before.
    std::string extensions;
    // wglGetProcAddress answers these (a null entry: a name the driver lacks), and
    // otherEntryPoints for every other name; always null without a current context.
    std::map<std::string, PROC> entryPoints;
    PROC otherEntryPoints = nullptr;
    // SetPixelFormat's answer.
    BOOL pixelFormatAccepted = TRUE;
    // timeGetTime.
    DWORD clock = 0;
};

System& system();

// Every call into the platform that is the recording's own (not the shared windowing's, except
// CreateWindowExA), in order: the function's name, and for the calls whose arguments tell the
// engine's behaviour, those after a colon ("ShowCursor:0", "SetPixelFormat:37,32,16").
std::vector<std::string>& calls();
// The calls whose name is one of the given ones, in order.
std::vector<std::string> callsOf(const std::vector<std::string>& names);

// The display mode and flags of the last ChangeDisplaySettingsA call.
const DEVMODEA& lastModeChange();
DWORD lastModeChangeFlags();

// The registered class of the window made last.
const WNDCLASSEXA& lastWindowClass();

} // namespace recording
