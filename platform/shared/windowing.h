// The parts of Win32's windowing that are the same whatever system lies under the platform
// layer: module and icon handles, the class registry, window creation with the messages a new
// window receives, device contexts and the pixel-format choice, the thread's message queue with
// its filters, sending and dispatching, and the default window procedure. Each implementation
// (platform/sdl, platform/web) supplies the window records and the hooks below.
#pragma once

#include "platform/win32.h"

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

// Supplied by each implementation:
// A new window record for CreateWindowExA, which then fills its WindowRecord part; the layer
// makes it the program's window and starts what its first window needs.
HWND platformNewWindow(LPCSTR windowName);
WindowRecord& platformWindowRecord(HWND window);
// Posts a message stamped with the pointer's position (platformQueueMessage).
void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves what the system has gathered since the last call into the queue (platformQueueMessage).
void platformPumpEvents();
// Called for every key message PeekMessageA removes from the queue, so that the key states
// follow the messages the program has taken, as on Windows.
void platformKeyMessageTaken(const MSG& msg);

// Provided here: appends a message, stamped with the time and the given pointer position, to the
// thread's queue, behind the messages already waiting.
void platformQueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT pointer);
