// The window on the page's canvas: the window record, showing, the pointer's visibility over the
// canvas and the message box.
#include "platform/web/internal.h"

#include <emscripten.h>

namespace {

HWND mainWindow = nullptr;
int cursorCounter = 0;

// The pointer shown again over a running game (the game has given it back: its round is over)
// is told to the page, which may offer the player something then.
EM_JS(
    void, showPointer, (int show),
    {
        var style = Module["canvas"].style;
        var comesBack = show && style.cursor == "none";
        style.cursor = show ? "" : "none";
        if (comesBack && Module["onPointerBack"])
            Module["onPointerBack"]();
    });

EM_JS(void, alertText, (const char* caption, const char* text),
      { alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text)); });

} // namespace

HWND platformMainWindow() {
    return mainWindow;
}

WindowRecord& platformWindowRecord(HWND window) {
    return *window;
}

HWND platformNewWindow(const WNDCLASSEXA&, const CREATESTRUCTA&) {
    if (mainWindow == nullptr) {
        platformListenToPointer();
        platformListenToKeys();
    }
    mainWindow = new PlatformWindow;
    return mainWindow;
}

BOOL ShowWindow(HWND window, int command) {
    if (window == nullptr)
        return FALSE;
    const bool wasVisible = window->visible;
    const bool show = command != SW_HIDE;
    if (show != wasVisible) {
        window->procedure(window, WM_SHOWWINDOW, show, 0);
        window->visible = show;
    }
    return wasVisible;
}

// The page has one window and the browser decides which tab is in front.
BOOL SetForegroundWindow(HWND window) {
    return window != nullptr ? TRUE : FALSE;
}

HWND SetFocus(HWND window) {
    static HWND focusWindow = nullptr;
    HWND previous = focusWindow;
    focusWindow = window;
    return previous;
}

int ShowCursor(BOOL show) {
    cursorCounter += show ? 1 : -1;
    showPointer(cursorCounter >= 0);
    return cursorCounter;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    alertText(caption != nullptr ? caption : "Error", text != nullptr ? text : "");
    return IDOK;
}
