// A program that does nothing but make the game's kind of window, so that a test can watch how
// the platform layer ends when video cannot start.
#include "platform/platform.h"

#include <cstdio>

static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

int main() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = "Pelmora";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, "Pelmora", "Pelmora Application", WS_POPUP, 0, 0,
                                  64, 64, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    std::puts("window shown");
    return 0;
}
