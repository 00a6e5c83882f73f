// The recording platform: Win32 windows, classes and messages as plain records, display modes and
// GL entry points answered from recording::system(), and a trace of every call.
#include "tests/support/RecordingPlatform.h"

#include "platform/shared/messagequeue.h"

#include <cstring>
#include <memory>

struct PlatformWindow {
    WNDPROC procedure = nullptr;
};
struct PlatformDC {
    HWND window = nullptr;
};
struct PlatformGLContext {};
struct PlatformInstance {};
struct PlatformIcon {};
struct PlatformBrush {
    COLORREF colour = 0;
};

namespace {

struct State {
    recording::System system;
    std::vector<std::string> calls;
    std::map<std::string, WNDCLASSEXA> classes;
    WNDCLASSEXA lastClass{};
    std::vector<std::unique_ptr<PlatformWindow>> windows;
    std::vector<std::unique_ptr<PlatformDC>> deviceContexts;
    std::vector<std::unique_ptr<PlatformGLContext>> contexts;
    std::vector<std::unique_ptr<PlatformBrush>> brushes;
    PlatformInstance module;
    PlatformIcon standardIcon;
    MessageQueue queue;
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

const WNDCLASSEXA& lastRegisteredClass() {
    return state().lastClass;
}

} // namespace recording

// ---- Windows and messages -----------------------------------------------------------------

HMODULE GetModuleHandleA(LPCSTR) {
    return &state().module;
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
    return &state().standardIcon;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    record("RegisterClassExA");
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr)
        return 0;
    state().lastClass = *windowClass;
    if (!state().classes.emplace(windowClass->lpszClassName, *windowClass).second)
        return 0;
    return ATOM(0xC000 + state().classes.size() - 1);
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    record("CreateWindowExA:" + std::to_string(exStyle) + "," + std::to_string(style) + "," +
           std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(width) + "," +
           std::to_string(height) + "," + (className ? className : "") + "," +
           (windowName ? windowName : ""));
    auto found = state().classes.find(className ? className : "");
    if (found == state().classes.end())
        return nullptr;
    HWND window = keep(state().windows);
    window->procedure = found->second.lpfnWndProc;
    CREATESTRUCTA create = {param, instance, menu,        parent,     height,    width,
                            y,     x,        LONG(style), windowName, className, exStyle};
    const LPARAM createParam = reinterpret_cast<LPARAM>(&create);
    window->procedure(window, WM_NCCREATE, 0, createParam);
    window->procedure(window, WM_CREATE, 0, createParam);
    return window;
}

BOOL ShowWindow(HWND, int command) {
    record("ShowWindow", command);
    return FALSE;
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

LRESULT DefWindowProcA(HWND, UINT message, WPARAM, LPARAM) {
    record("DefWindowProcA", message);
    return message == WM_NCCREATE ? TRUE : 0;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    return state().queue.peek(*msg, window, filterMin, filterMax, removeMessage & PM_REMOVE);
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr)
        return 0;
    return msg->hwnd->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    state().queue.post(MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostMessageA(nullptr, WM_QUIT, WPARAM(exitCode), 0);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window == nullptr ? 0 : window->procedure(window, message, wParam, lParam);
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

// ---- Device contexts and GL contexts -----------------------------------------------------------

HDC GetDC(HWND window) {
    record("GetDC");
    if (window == nullptr)
        return nullptr;
    HDC dc = keep(state().deviceContexts);
    dc->window = window;
    return dc;
}

int ChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR* descriptor) {
    record("ChoosePixelFormat:" + std::to_string(descriptor->dwFlags) + "," +
           std::to_string(descriptor->cColorBits) + "," + std::to_string(descriptor->cDepthBits));
    return 1;
}

BOOL SetPixelFormat(HDC, int, const PIXELFORMATDESCRIPTOR*) {
    record("SetPixelFormat");
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

HBRUSH CreateSolidBrush(COLORREF colour) {
    record("CreateSolidBrush", colour);
    HBRUSH brush = keep(state().brushes);
    brush->colour = colour;
    return brush;
}

// ---- Keyboard, cursor and clock --------------------------------------------------------------

short GetKeyState(int) {
    return 0;
}

BOOL GetKeyboardState(BYTE* keyState) {
    std::memset(keyState, 0, 256);
    return TRUE;
}

HKL GetKeyboardLayout(DWORD) {
    return nullptr;
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
