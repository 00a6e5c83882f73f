// Window classes, creation messages, the message queue, dispatching and the default window
// procedure, as Windows has them, for every implementation of the platform layer.
#include "platform/shared/windowing.h"

#include <deque>
#include <map>
#include <string>

namespace {

std::map<std::string, WNDCLASSEXA>& windowClasses() {
    static std::map<std::string, WNDCLASSEXA> classes;
    return classes;
}

std::deque<MSG>& queue() {
    static std::deque<MSG> messages;
    return messages;
}

bool matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

} // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    static ATOM nextAtom = 0xC000; // where Windows numbers the classes a program registers
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
        windowClass->lpfnWndProc == nullptr)
        return 0;
    if (!windowClasses().emplace(windowClass->lpszClassName, *windowClass).second)
        return 0;
    return nextAtom++;
}

const WNDCLASSEXA* platformFindClass(LPCSTR className) {
    if (className == nullptr)
        return nullptr;
    auto found = windowClasses().find(className);
    return found != windowClasses().end() ? &found->second : nullptr;
}

void platformSendCreationMessages(HWND window, const CREATESTRUCTA& create) {
    WNDPROC procedure = platformWindowProcedure(window);
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    procedure(window, WM_NCCREATE, 0, createParam);
    RECT rect = {create.x, create.y, create.x + create.cx, create.y + create.cy};
    procedure(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
    procedure(window, WM_CREATE, 0, createParam);
    procedure(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(create.cx, create.cy));
    procedure(window, WM_MOVE, 0, MAKELPARAM(create.x, create.y));
}

void platformQueueMessage(const MSG& msg) {
    queue().push_back(msg);
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    platformPumpEvents();
    for (auto it = queue().begin(); it != queue().end(); ++it) {
        if (!matches(*it, window, filterMin, filterMax))
            continue;
        if (msg != nullptr)
            *msg = *it;
        if (removeMessage & PM_REMOVE) {
            const MSG taken = *it;
            queue().erase(it);
            if (taken.message >= WM_KEYDOWN && taken.message <= WM_SYSKEYUP)
                platformKeyMessageTaken(taken);
        }
        return TRUE;
    }
    return FALSE;
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
    WNDPROC procedure = window != nullptr ? platformWindowProcedure(window) : nullptr;
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
