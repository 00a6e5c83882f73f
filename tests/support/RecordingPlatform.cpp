// The recording platform: the layers' own windowing (platform/shared/windowing.cpp) over window
// records that the system never shows, display modes and GL entry points answered from
// recording::system(), and a trace of every call.
#include "tests/support/RecordingPlatform.h"

#include <cstring>
#include <memory>

struct PlatformWindow : WindowRecord {
    bool visible = false;
};
struct PlatformGLContext {};

namespace {

struct State {
    recording::System system;
    std::vector<std::string> calls;
    WNDCLASSEXA lastClass{};
    std::vector<std::unique_ptr<PlatformWindow>> windows;
    std::vector<std::unique_ptr<PlatformGLContext>> contexts;
    DEVMODEA lastMode{};
    DWORD lastModeFlags = 0;
    HGLRC current = nullptr;
    int cursorCounter = 0;
};

// Never destroyed: the engine's singletons may still call in while the process ends.
State& state() {
    static State* const theState = new State;
    return *theState;
}

void record(const std::string& call) {
    state().calls.push_back(call);
}

void record(const char* name, long long argument) {
    record(std::string(name) + ":" + std::to_string(argument));
}

template <typename Record> Record* keep(std::vector<std::unique_ptr<Record>>& all) {
    all.push_back(std::make_unique<Record>());
    return all.back().get();
}

} // namespace

namespace recording {

System& system() {
    return state().system;
}

std::vector<std::string>& calls() {
    return state().calls;
}

std::vector<std::string> callsOf(const std::vector<std::string>& names) {
    std::vector<std::string> found;
    for (const std::string& call : state().calls) {
        const std::string name = call.substr(0, call.find(':'));
        for (const std::string& wanted : names)
            if (name == wanted)
                found.push_back(call);
    }
    return found;
}

const DEVMODEA& lastModeChange() {
    return state().lastMode;
}

DWORD lastModeChangeFlags() {
    return state().lastModeFlags;
}

const WNDCLASSEXA& lastWindowClass() {
    return state().lastClass;
}

} // namespace recording

// ---- The windowing's hooks and the windows ---------------------------------------------------

HWND platformNewWindow(const WNDCLASSEXA& windowClass, const CREATESTRUCTA& create) {
    record("CreateWindowExA:" + std::to_string(create.dwExStyle) + "," +
           std::to_string(DWORD(create.style)) + "," + std::to_string(create.x) + "," +
           std::to_string(create.y) + "," + std::to_string(create.cx) + "," +
           std::to_string(create.cy) + "," + create.lpszClass + "," +
           (create.lpszName ? create.lpszName : ""));
    state().lastClass = windowClass;
    return keep(state().windows);
}

WindowRecord& platformWindowRecord(HWND window) {
    return *window;
}

void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    platformQueueMessage(window, message, wParam, lParam, POINT{0, 0});
}

void platformPumpEvents() {}

BOOL ShowWindow(HWND window, int command) {
    record("ShowWindow", command);
    if (window == nullptr)
        return FALSE;
    const bool wasVisible = window->visible;
    const bool show = command != SW_HIDE;
    if (show != wasVisible) {
        window->visible = show;
        window->procedure(window, WM_SHOWWINDOW, show, 0);
    }
    return wasVisible;
}

BOOL SetForegroundWindow(HWND) {
    record("SetForegroundWindow");
    return TRUE;
}

HWND SetFocus(HWND) {
    record("SetFocus");
    return nullptr;
}

int ShowCursor(BOOL show) {
    record("ShowCursor", show);
    state().cursorCounter += show ? 1 : -1;
    return state().cursorCounter;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR, UINT) {
    record(std::string("MessageBoxA:") + (text ? text : ""));
    return IDOK;
}

// ---- Display modes ---------------------------------------------------------------------------

BOOL EnumDisplaySettingsA(LPCSTR, DWORD modeNum, DEVMODEA* mode) {
    record("EnumDisplaySettingsA");
    if (mode == nullptr || modeNum != ENUM_CURRENT_SETTINGS)
        return FALSE;
    const recording::System& system = state().system;
    mode->dmPelsWidth = system.desktopWidth;
    mode->dmPelsHeight = system.desktopHeight;
    mode->dmBitsPerPel = system.desktopBitsPerPixel;
    mode->dmDisplayFrequency = system.desktopFrequency;
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    record("ChangeDisplaySettingsA", flags);
    state().lastMode = mode != nullptr ? *mode : DEVMODEA{};
    state().lastModeFlags = flags;
    if (mode == nullptr)
        return DISP_CHANGE_SUCCESSFUL;
    const recording::System& system = state().system;
    const bool offered = mode->dmPelsWidth == system.desktopWidth &&
                         mode->dmPelsHeight == system.desktopHeight &&
                         mode->dmBitsPerPel == system.desktopBitsPerPixel;
    return offered ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
}

// ---- GL contexts -----------------------------------------------------------------------------

BOOL SetPixelFormat(HDC, int, const PIXELFORMATDESCRIPTOR* descriptor) {
    record("SetPixelFormat:" + std::to_string(descriptor->dwFlags) + "," +
           std::to_string(descriptor->cColorBits) + "," + std::to_string(descriptor->cDepthBits));
    return state().system.pixelFormatAccepted;
}

HGLRC wglCreateContext(HDC) {
    record("wglCreateContext");
    return keep(state().contexts);
}

BOOL wglMakeCurrent(HDC, HGLRC context) {
    record("wglMakeCurrent");
    state().current = context;
    return TRUE;
}

BOOL SwapBuffers(HDC) {
    record("SwapBuffers");
    return TRUE;
}

PROC wglGetProcAddress(LPCSTR name) {
    record(std::string("wglGetProcAddress:") + name);
    if (state().current == nullptr)
        return nullptr;
    const recording::System& system = state().system;
    auto found = system.entryPoints.find(name);
    return found == system.entryPoints.end() ? system.otherEntryPoints : found->second;
}

// ---- Keyboard, cursor and clock --------------------------------------------------------------

short GetKeyState(int) {
    return 0;
}

BOOL GetKeyboardState(BYTE* keyState) {
    std::memset(keyState, 0, 256);
    return TRUE;
}

int ToAsciiEx(UINT, UINT, const BYTE*, WORD*, UINT, HKL) {
    return 0;
}

BOOL SetCursorPos(int x, int y) {
    record("SetCursorPos:" + std::to_string(x) + "," + std::to_string(y));
    return TRUE;
}

DWORD timeGetTime(void) {
    return state().system.clock;
}

// ---- The GL calls of the frame ---------------------------------------------------------------

extern "C" {

void GLAPIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {
    record("glClearColor");
}

void GLAPIENTRY glClearDepth(GLclampd) {
    record("glClearDepth");
}

void GLAPIENTRY glClear(GLbitfield mask) {
    record("glClear", mask);
}

void GLAPIENTRY glFinish(void) {
    record("glFinish");
}

void GLAPIENTRY glMatrixMode(GLenum mode) {
    record("glMatrixMode", mode);
}

void GLAPIENTRY glLoadMatrixf(const GLfloat*) {
    record("glLoadMatrixf");
}

const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    if (name != GL_EXTENSIONS || state().current == nullptr)
        return nullptr;
    return reinterpret_cast<const GLubyte*>(state().system.extensions.c_str());
}

} // extern "C"
