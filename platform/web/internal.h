// Shared state and calls between the files of the browser implementation of the Win32 subset.
// Nothing outside platform/web includes this header.
#pragma once

#include "platform/shared/windowing.h"
#include "platform/web/web.h"

// The one window record behind an HWND.
struct PlatformWindow {
    WNDPROC procedure = nullptr;
    DWORD exStyle = 0;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    bool pixelFormatSet = false; // the GLFW window (and with it the WebGL context) exists
    PlatformDC* dc = nullptr;
};

struct PlatformDC {
    HWND window = nullptr;
};

struct PlatformGLContext {
    HWND window = nullptr;
};

// The program's window (the last one created), or null.
HWND platformMainWindow();

// Starts listening to the page's pointer, wheel and leave events (messages.cpp) and to its keys
// (keyboard.cpp); called once, when the first window is created.
void platformListenToPointer();
void platformListenToKeys();

// The canvas's size in device pixels, as the page lays it out now.
void platformCanvasSize(int* width, int* height);
