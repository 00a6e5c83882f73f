// The page's pointer events become mouse messages with Win32's encodings, queued for the shared
// message queue (platform/shared/windowing.cpp). library.js listens to the pointer and calls the
// web* functions below; keys are left to keyboard.cpp, which posts the key messages itself.
#include "platform/web/internal.h"

#include <emscripten.h>

namespace {

POINT cursor = {0, 0}; // canvas pixels of the last pointer event

// DOM button numbers (0 left, 1 middle, 2 right) in the order of the DOWN messages.
constexpr UINT ButtonDownMessages[3] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};

// The DOM's buttons mask (1 left, 2 right, 4 middle) and modifiers as MK_ flags.
WPARAM keyFlags(int buttons, bool shift, bool ctrl) {
    WPARAM flags = 0;
    if (buttons & 1)
        flags |= MK_LBUTTON;
    if (buttons & 2)
        flags |= MK_RBUTTON;
    if (buttons & 4)
        flags |= MK_MBUTTON;
    if (shift)
        flags |= MK_SHIFT;
    if (ctrl)
        flags |= MK_CONTROL;
    return flags;
}

void postAt(UINT message, WPARAM wParam, int x, int y) {
    cursor = POINT{x, y};
    platformPostMessage(web::mainWindow(), message, wParam, MAKELPARAM(x, y));
}

} // namespace

// Positions are canvas pixels, buttons the DOM's buttons mask after the event.
extern "C" EMSCRIPTEN_KEEPALIVE void webPointerMoved(int x, int y, int buttons, bool shift,
                                                     bool ctrl) {
    postAt(WM_MOUSEMOVE, keyFlags(buttons, shift, ctrl), x, y);
}

extern "C" EMSCRIPTEN_KEEPALIVE void webPointerButton(bool down, int x, int y, int button,
                                                      int buttons, bool shift, bool ctrl) {
    cursor = POINT{x, y};
    // Further buttons have messages of their own on Windows, which nothing reads.
    if (button < 0 || button > 2)
        return;
    // Each UP message follows its DOWN message by one in Windows' numbering.
    postAt(ButtonDownMessages[button] + (down ? 0 : 1), keyFlags(buttons, shift, ctrl), x, y);
}

// One notch per event, away from the user (up) positive; the window is at the page's origin,
// so client and screen coordinates agree.
extern "C" EMSCRIPTEN_KEEPALIVE void webWheelTurned(int x, int y, int notches, int buttons,
                                                    bool shift, bool ctrl) {
    postAt(WM_MOUSEWHEEL, MAKELPARAM(keyFlags(buttons, shift, ctrl), notches * WHEEL_DELTA), x, y);
}

extern "C" EMSCRIPTEN_KEEPALIVE void webPageClosed() {
    platformPostMessage(web::mainWindow(), WM_CLOSE, 0, 0);
}

void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    platformQueueMessage(window, message, wParam, lParam, cursor);
}

// Events reach the queue as the browser delivers them, while the program waits for the next
// frame.
void platformPumpEvents() {
    web::awaitFrameOncePerPass();
}
