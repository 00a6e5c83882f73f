// A program that does nothing but make the game's kind of window, so that a test can watch how
// the platform layer starts and ends. Without arguments it shows the window, says how many
// child processes ended meanwhile ("children ended: N") and the session bus address its
// environment then holds ("session bus: ADDRESS", or "session bus: unset"), and returns.
//   platform_video_helper WIDTH HEIGHT END
// first switches the screen to WIDTHxHEIGHT as the game's display component does, says
// "window shown", and ends by END: "return" or "exit" (with status 3) once a line or the end of
// standard input arrives, or "close": runs the message loop until WM_CLOSE.
#include "platform/platform.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static bool closeRequested = false;
static volatile std::sig_atomic_t childrenEnded = 0;

static void countChild(int) {
    childrenEnded = childrenEnded + 1;
}

static LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        closeRequested = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static bool switchMode(const char* width, const char* height) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = DWORD(std::atoi(width));
    mode.dmPelsHeight = DWORD(std::atoi(height));
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

int main(int argc, char** argv) {
    std::signal(SIGCHLD, countChild);
    const char* end = argc == 4 ? argv[3] : nullptr;
    if (end && !switchMode(argv[1], argv[2])) {
        std::puts("mode refused");
        return 2;
    }
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = "Pelmora";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW, "Pelmora", "Pelmora Application", WS_POPUP, 0, 0,
                                  64, 64, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    std::puts("window shown");
    std::fflush(stdout);
    if (!end) {
        const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        std::printf("children ended: %d\nsession bus: %s\n", int(childrenEnded),
                    bus ? bus : "unset");
        return 0;
    }
    if (std::strcmp(end, "close") == 0) {
        while (!closeRequested) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        return 0;
    }
    std::getchar();
    if (std::strcmp(end, "exit") == 0)
        std::exit(3);
    return 0;
}
