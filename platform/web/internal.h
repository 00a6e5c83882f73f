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

namespace web {

// The program's window (the last one created), or null.
HWND mainWindow();

// Starts listening to the page's keys (keyboard.cpp); called once, with webListenToPointer, when
// the first window is created.
void listenToKeys();

// Hands control to the browser until its next frame (at once with swap interval 0), once in each
// pass of the main loop (pacing.h, wgl.cpp); the message pump calls it.
void awaitFrameOncePerPass();

} // namespace web

// The page's side, in library.js; each is described there. The canvas is fitted to the page
// before every frame is shown, so that a resize or a rotation is followed at the next frame.
extern "C" {
double webClockOrigin();
void webFitCanvas();
void webShowPointer(int show);
void webAlert(const char* caption, const char* text);
void webListenToLocks();
int webLockOn(const char* name);
void webListenToPointer();
void webFrameShown();
void webAwaitFrame(int interval);
}
