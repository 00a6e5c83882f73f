// The parts of Win32's windowing that are the same whatever system lies under the platform
// layer: module and icon handles, the class registry, window creation with the messages a new
// window receives, device contexts, the pixel-format choice and the background brush, the
// thread's message queue with its filters, sending and dispatching, the default window procedure,
// and the swap-interval entry points of the layers without WGL. Each implementation (platform/sdl,
// platform/web and the tests' recording platform) supplies the window records and the hooks below.
#pragma once

#include "platform/win32.h"

#include <vector>

// What Windows itself keeps of a window; each implementation's PlatformWindow derives from it.
struct WindowRecord {
    WNDPROC procedure = nullptr;
    DWORD exStyle = 0;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    PlatformDC* dc = nullptr; // made by GetDC
};

// The one device context of a window.
struct PlatformDC {
    HWND window = nullptr;
};

// A brush made by CreateSolidBrush; nothing is painted with it.
struct PlatformBrush {
    COLORREF colour;
};

// Supplied by each implementation:
// A new window record for CreateWindowExA, which then fills its WindowRecord part; the layer
// makes it the program's window and starts what its first window needs. The window is of the
// registered class windowClass, made with the parameters that WM_NCCREATE will carry.
HWND platformNewWindow(const WNDCLASSEXA& windowClass, const CREATESTRUCTA& create);
WindowRecord& platformWindowRecord(HWND window);
// Posts a message stamped with the pointer's position (platformQueueMessage).
void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves what the system has gathered since the last call into the queue (platformQueueMessage).
void platformPumpEvents();
// Called for every key message PeekMessageA removes from the queue, so that the key states
// follow the messages the program has taken, as on Windows (the key tracker, keytracker.h).
void platformKeyMessageTaken(const MSG& msg);

// Provided here: appends a message, stamped with the time and the given pointer position, to the
// thread's queue, behind the messages already waiting.
void platformQueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT pointer);

// wglGetProcAddress for a layer without WGL: null for a null name or without a current context,
// the layer's own functions for the swap-interval extension ("wglSwapIntervalEXT",
// "wglGetSwapIntervalEXT"), and for every other name what the layer's GL answers.
PROC platformProcAddress(LPCSTR name, bool contextCurrent, PROC (*glProcAddress)(LPCSTR),
                         PFNWGLSWAPINTERVALEXTPROC setInterval,
                         PFNWGLGETSWAPINTERVALEXTPROC getInterval);

// Keeps a record behind a handle for the rest of the process and answers it. Like Windows, the
// layers free no window, device context, GL context or brush before the process ends; holding
// them here keeps them reachable, so leak checkers do not count what a caller never releases.
template <typename Record> Record* platformKeep(Record* record) {
    static std::vector<Record*>* const kept = new std::vector<Record*>;
    kept->push_back(record);
    return record;
}
