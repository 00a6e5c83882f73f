// The window on the page's canvas: the window record, showing, the pointer's visibility over the
// canvas and the message box.
#include "platform/web/internal.h"

namespace {

HWND programWindow = nullptr;
int cursorCounter = 0;

} // namespace

HWND web::mainWindow() {
    return programWindow;
}

WindowRecord& platformWindowRecord(HWND window) {
    return *window;
}

HWND platformNewWindow(const WNDCLASSEXA&, const CREATESTRUCTA&) {
    if (programWindow == nullptr) {
        webListenToPointer();
        web::listenToKeys();
    }
    programWindow = new PlatformWindow;
    return programWindow;
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
    webShowPointer(cursorCounter >= 0);
    return cursorCounter;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    webAlert(caption != nullptr ? caption : "Error", text != nullptr ? text : "");
    return IDOK;
}
