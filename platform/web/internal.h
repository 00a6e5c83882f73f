// Shared state and calls between the files of the browser implementation of the Win32 subset.
// Nothing outside platform/web includes this header.
#pragma once

#include "platform/shared/windowing.h"
#include "platform/web/web.h"

// The one window record behind an HWND.
struct PlatformWindow : WindowRecord {
    bool visible = false;
    bool pixelFormatSet = false; // the GLFW window (and with it the WebGL context) exists
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

// Places the canvas, which holds the picture at the display mode's pixels, in the largest box of
// its shape that fits the page; called before every frame is shown, so that a resize or a
// rotation is followed at the next frame.
void platformFitPicture();
