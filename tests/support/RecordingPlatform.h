// A platform without a system: the Win32 calls of platform/platform.h and the few GL calls that
// the application frame and the display component make, implemented over plain records. A test
// program links it instead of the real platform to drive the engine's classes exactly as the
// program does, to decide what the "system" answers (the desktop mode, which display modes it
// accepts, the GL extension string and entry points) and to read back every call the engine
// made, in order.
//
// Windows, classes and the message queue behave as Win32 describes them: CreateWindowExA sends
// WM_NCCREATE and WM_CREATE through the class's procedure before it returns, DispatchMessageA
// and SendMessageA call the window's procedure, a posted quit message is an ordinary queued
// message. DefWindowProcA does nothing but answer (TRUE for WM_NCCREATE, 0 otherwise). Nothing
// is drawn, no key is ever down, and the clock stands still unless the test moves it.
#pragma once

#include "platform/platform.h"

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

// Every call into the platform, in order: the function's name, and for the calls whose
// arguments tell the engine's behaviour, those after a colon ("ShowCursor:0",
// "DefWindowProcA:16"). Message numbers are decimal.
std::vector<std::string>& calls();
// The calls whose name is one of the given ones, in order.
std::vector<std::string> callsOf(const std::vector<std::string>& names);

// The display mode and flags of the last ChangeDisplaySettingsA call.
const DEVMODEA& lastModeChange();
DWORD lastModeChangeFlags();

// The class record that RegisterClassExA received last.
const WNDCLASSEXA& lastRegisteredClass();

} // namespace recording
