// One small window with a current OpenGL context for the whole test process, made through the
// platform's Win32 calls as the engine makes its own; for tests that upload and draw without
// starting the Application.
#pragma once

#include "platform/platform.h"
#include "tests/support/Rgb.h"

namespace testsupport {

inline LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Double-buffered RGBA in 32 colour bits, for a window that OpenGL draws in.
inline PIXELFORMATDESCRIPTOR glPixelFormat(BYTE depthBits) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = depthBits;
    return format;
}

// The colour of pixel (x, y) in the read buffer, y counted from the top row of a framebuffer
// height rows high.
inline Rgb pixelAt(int x, int y, int height) {
    unsigned char rgba[4] = {};
    glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

// 64 x 64, without a depth buffer; later calls find the context already current.
inline void makeContext() {
    static bool made = false;
    if (made)
        return;
    made = true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = plainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PelmoraTest";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "PelmoraTest", "PelmoraTest", WS_POPUP, 0, 0, 64, 64, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    HDC dc = GetDC(window);
    const PIXELFORMATDESCRIPTOR format = glPixelFormat(0);
    SetPixelFormat(dc, ChoosePixelFormat(dc, &format), &format);
    wglMakeCurrent(dc, wglCreateContext(dc));
}

} // namespace testsupport
