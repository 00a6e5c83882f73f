// Handles, window classes and creation, device contexts and brushes, the message queue,
// dispatching and the default window procedure, as Windows has them, for every implementation of
// the platform layer.
#include "platform/shared/windowing.h"

#include "platform/shared/keytracker.h"
#include "platform/shared/messagequeue.h"

#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, WNDCLASSEXA>& windowClasses() {
    static std::map<std::string, WNDCLASSEXA> classes;
    return classes;
}

MessageQueue& queue() {
    static MessageQueue messages;
    return messages;
}

} // namespace

struct PlatformInstance {};
struct PlatformIcon {};

HMODULE GetModuleHandleA(LPCSTR) {
    static PlatformInstance instance;
    return &instance;
}

// Icons are not shown; the handle only stands for the standard icon.
HICON LoadIconA(HINSTANCE, LPCSTR) {
    static PlatformIcon icon;
    return &icon;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    static ATOM nextAtom = 0xC000; // where Windows numbers the classes a program registers
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpfnWndProc == nullptr)
        return 0;
    if (!windowClasses().emplace(windowClass->lpszClassName, *windowClass).second)
        return 0;
    return nextAtom++;
}

// WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE reach the window procedure before
// the call returns, as on Windows; their answers are not examined: the window is always made.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    if (className == nullptr)
        return nullptr;
    auto found = windowClasses().find(className);
    if (found == windowClasses().end())
        return nullptr;
    CREATESTRUCTA create = {param, instance, menu,        parent,     height,    width,
                            y,     x,        LONG(style), windowName, className, exStyle};
    HWND window = platformNewWindow(found->second, create);
    WindowRecord& record = platformWindowRecord(window);
    record.procedure = found->second.lpfnWndProc;
    record.exStyle = exStyle;
    record.style = style;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;

    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    record.procedure(window, WM_NCCREATE, 0, createParam);
    RECT rect = {x, y, x + width, y + height};
    record.procedure(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
    record.procedure(window, WM_CREATE, 0, createParam);
    record.procedure(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    record.procedure(window, WM_MOVE, 0, MAKELPARAM(x, y));
    if (style & WS_VISIBLE)
        ShowWindow(window, SW_SHOW);
    return window;
}

// The window keeps its device context, which therefore stays reachable as long as the window.
HDC GetDC(HWND window) {
    if (window == nullptr)
        return nullptr;
    WindowRecord& record = platformWindowRecord(window);
    if (record.dc == nullptr)
        record.dc = new PlatformDC{window};
    return record.dc;
}

// Any RGBA descriptor that asks for OpenGL is format 1: the system under the layer chooses the
// real format when SetPixelFormat applies the descriptor.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (dc == nullptr || descriptor == nullptr || descriptor->iPixelType != PFD_TYPE_RGBA ||
        !(descriptor->dwFlags & PFD_SUPPORT_OPENGL))
        return 0;
    return 1;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    return platformKeep(new PlatformBrush{colour});
}

PROC platformProcAddress(LPCSTR name, bool contextCurrent, PROC (*glProcAddress)(LPCSTR),
                         PFNWGLSWAPINTERVALEXTPROC setInterval,
                         PFNWGLGETSWAPINTERVALEXTPROC getInterval) {
    if (name == nullptr || !contextCurrent)
        return nullptr;
    if (std::strcmp(name, "wglSwapIntervalEXT") == 0)
        return reinterpret_cast<PROC>(setInterval);
    if (std::strcmp(name, "wglGetSwapIntervalEXT") == 0)
        return reinterpret_cast<PROC>(getInterval);
    return glProcAddress(name);
}

void platformQueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT pointer) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    msg.pt = pointer;
    queue().post(msg);
}

bool platformMessagesWaiting() {
    MSG waiting;
    return queue().peek(waiting, nullptr, 0, 0, false);
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    platformPumpEvents();
    MSG found;
    const bool remove = (removeMessage & PM_REMOVE) != 0;
    if (!queue().peek(found, window, filterMin, filterMax, remove))
        return FALSE;
    if (msg != nullptr)
        *msg = found;
    if (remove && found.message >= WM_KEYDOWN && found.message <= WM_SYSKEYUP)
        keyTracker().messageTaken(found);
    return TRUE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    platformPostMessage(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    platformPostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = window != nullptr ? platformWindowRecord(window).procedure : nullptr;
    if (procedure == nullptr)
        return 0;
    return procedure(window, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    constexpr LPARAM altDown = LPARAM(1) << 29;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & altDown))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        // The low four bits of a system command are Windows' own.
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}
