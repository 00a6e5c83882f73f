// The window on the page's canvas: the window record, showing, the pointer's visibility over the
// canvas and the message box.
#include "platform/web/internal.h"

#include <emscripten.h>

struct PlatformInstance {};
struct PlatformIcon {};
struct PlatformBrush {
    COLORREF colour;
};

namespace {

HWND mainWindow = nullptr;
int cursorCounter = 0;

EM_JS(void, showPointer, (int show), { Module.canvas.style.cursor = show ? "" : "none"; });

EM_JS(void, alertText, (const char* caption, const char* text),
      { alert(UTF8ToString(caption) + "\n\n" + UTF8ToString(text)); });

} // namespace

HWND platformMainWindow() {
    return mainWindow;
}

HMODULE GetModuleHandleA(LPCSTR) {
    static PlatformInstance instance;
    return &instance;
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
    static PlatformIcon icon;
    return &icon;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    // The page never closes its window, so brushes live as long as the page, as windows do.
    return new PlatformBrush{colour};
}

WNDPROC platformWindowProcedure(HWND window) {
    return window->procedure;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    const WNDCLASSEXA* windowClass = platformFindClass(className);
    if (windowClass == nullptr)
        return nullptr;
    if (mainWindow == nullptr) {
        platformListenToPointer();
        platformListenToKeys();
    }
    HWND window = new PlatformWindow;
    window->procedure = windowClass->lpfnWndProc;
    window->exStyle = exStyle;
    window->style = style;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    mainWindow = window;

    CREATESTRUCTA create = {param, instance, menu,        parent,     height,    width,
                            y,     x,        LONG(style), windowName, className, exStyle};
    platformSendCreationMessages(window, create);
    if (style & WS_VISIBLE)
        ShowWindow(window, SW_SHOW);
    return window;
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
