// The page's pointer events become mouse messages with Win32's encodings, queued for the shared
// message queue (platform/shared/windowing.cpp). Keys are left to keyboard.cpp, which posts the
// key messages itself.
#include "platform/web/internal.h"

#include <emscripten.h>

namespace {

POINT cursor = {0, 0}; // canvas pixels of the last pointer event

// What the page's listeners report; the numbers are shared with the JavaScript below.
enum PointerKind { PointerMove = 0, PointerDown = 1, PointerUp = 2, PointerWheel = 3 };
constexpr int ModifierShift = 1;
constexpr int ModifierCtrl = 2;

// DOM button numbers (0 left, 1 middle, 2 right) in the order of the DOWN messages.
constexpr UINT ButtonDownMessages[3] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};

// The DOM's buttons mask (1 left, 2 right, 4 middle) and modifiers as MK_ flags.
WPARAM keyFlags(int buttons, int modifiers) {
    WPARAM flags = 0;
    if (buttons & 1)
        flags |= MK_LBUTTON;
    if (buttons & 2)
        flags |= MK_RBUTTON;
    if (buttons & 4)
        flags |= MK_MBUTTON;
    if (modifiers & ModifierShift)
        flags |= MK_SHIFT;
    if (modifiers & ModifierCtrl)
        flags |= MK_CONTROL;
    return flags;
}

// Positions are canvas pixels: the pointer's offset in the canvas's box, scaled by the box's
// ratio to the canvas's pixel size, so that a click lands on the pixel drawn under it however the
// page shows the picture. Only the primary pointer counts (Windows turns the first finger on the
// screen into the mouse); the canvas captures it from its press to its release, so a release
// outside the canvas still arrives. A press of a further button while one is held arrives as a
// pointermove with a button.
EM_JS(void, listenToPointer, (), {
    var canvas = Module["canvas"];
    var at = null; // canvas pixel of the last report
    var held = 0;  // DOM buttons mask after the last report
    canvas.style.touchAction = "none";
    function modifiers(e) {
        return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0);
    }
    function position(e) {
        var box = canvas.getBoundingClientRect();
        return [
            Math.floor((e.clientX - box.left) * canvas.width / box.width),
            Math.floor((e.clientY - box.top) * canvas.height / box.height)
        ];
    }
    // A finger or a pen comes down where no move has taken the pointer: Windows moves the mouse
    // to a touch before it presses there, and the engine judges a press where the last move left
    // the pointer.
    function report(kind, point, button, buttons, e) {
        var pressOrRelease = kind == 1 || kind == 2;
        if (pressOrRelease && (at == null || at[0] != point[0] || at[1] != point[1]))
            _webPointerEvent(0, point[0], point[1], -1, held, modifiers(e));
        if (kind != 3)
            at = point;
        _webPointerEvent(kind, point[0], point[1], button, buttons, modifiers(e));
        held = buttons;
    }
    function onMove(e) {
        if (!e.isPrimary)
            return;
        if (e.button >= 0)
            report((e.buttons >> [ 0, 2, 1 ][e.button] & 1) ? 1 : 2, position(e), e.button,
                   e.buttons, e);
        else
            report(0, position(e), -1, e.buttons, e);
    }
    function onDown(e) {
        if (!e.isPrimary)
            return;
        try {
            canvas.setPointerCapture(e.pointerId);
        } catch (error) {
            // the pointer is already gone; its release follows without capture
        }
        report(1, position(e), e.button, e.buttons, e);
    }
    function onUp(e) {
        if (e.isPrimary)
            report(2, position(e), e.button, e.buttons, e);
    }
    // The browser took the pointer over (it should not, with touch-action none): whatever it
    // held is released where it was last seen, as a release would be.
    function onCancel(e) {
        if (!e.isPrimary || at == null)
            return;
        [ [ 1, 0 ], [ 4, 1 ], [ 2, 2 ] ].forEach(function(bit) {
            if (held & bit[0])
                report(2, at, bit[1], held & ~bit[0], e);
        });
    }
    function onWheel(e) {
        e.preventDefault();
        if (e.deltaY != 0)
            report(3, position(e), e.deltaY < 0 ? 1 : -1, e.buttons, e);
    }
    // A page kept in the back/forward cache comes back as it was left: it has not been closed.
    function onHide(e) {
        if (!e.persisted)
            _webCloseRequest();
    }
    canvas.addEventListener("pointermove", onMove);
    canvas.addEventListener("pointerdown", onDown);
    canvas.addEventListener("pointerup", onUp);
    canvas.addEventListener("pointercancel", onCancel);
    canvas.addEventListener("wheel", onWheel, {passive : false});
    canvas.addEventListener(
        "contextmenu", function(e) { e.preventDefault(); });
    window.addEventListener("pagehide", onHide);
});

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void webPointerEvent(int kind, int x, int y, int button,
                                                     int buttons, int modifiers) {
    cursor = POINT{x, y};
    HWND window = platformMainWindow();
    const WPARAM flags = keyFlags(buttons, modifiers);
    switch (kind) {
    case PointerMove:
        platformPostMessage(window, WM_MOUSEMOVE, flags, MAKELPARAM(x, y));
        break;
    case PointerDown:
    case PointerUp:
        // Further buttons have messages of their own on Windows, which nothing reads.
        if (button < 0 || button > 2)
            break;
        // Each UP message follows its DOWN message by one in Windows' numbering.
        platformPostMessage(window, ButtonDownMessages[button] + (kind == PointerUp ? 1 : 0), flags,
                            MAKELPARAM(x, y));
        break;
    case PointerWheel:
        // One notch per event, away from the user (up) positive; the window is at the page's
        // origin, so client and screen coordinates agree.
        platformPostMessage(window, WM_MOUSEWHEEL, MAKELPARAM(flags, button * WHEEL_DELTA),
                            MAKELPARAM(x, y));
        break;
    default:
        break;
    }
}

extern "C" EMSCRIPTEN_KEEPALIVE void webCloseRequest() {
    platformPostMessage(platformMainWindow(), WM_CLOSE, 0, 0);
}

void platformListenToPointer() {
    listenToPointer();
}

void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    platformQueueMessage(window, message, wParam, lParam, cursor);
}

// Events reach the queue as the browser delivers them, between frames.
void platformPumpEvents() {}
