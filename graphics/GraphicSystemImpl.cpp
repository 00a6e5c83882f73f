// The display component's work over the windowing system, GDI and WGL: settings guarded by the
// lifecycle state, the display-mode switch, the window's shape, the OpenGL context with its
// extensions, and the per-frame clear, render, finish and swap.
#include "graphics/GraphicSystemImpl.h"

#include "app/Application.h"
#include "app/Log.h"
#include "app/Scene.h"
#include "graphics/Extensions.h"

#include <cstdlib>
#include <cstring>

namespace {

// Broken preconditions and a refused display mode are unrecoverable. std::exit rather than
// _exit: the log is already flushed line by line, and the screen mode still goes back to the
// desktop's (Windows ends a temporary full-screen change itself, the Linux layer in its exit
// handler).
[[noreturn]] void fatalError(const char* logLine = nullptr) {
    if (logLine != nullptr)
        Application::instance()->log->write(String(logLine));
    std::exit(EXIT_FAILURE);
}

} // namespace

GraphicSystemImpl::GraphicSystemImpl() = default;

GraphicSystemImpl::~GraphicSystemImpl() = default;

void GraphicSystemImpl::requireCreated() const {
    if (state_ != StateCreated)
        fatalError();
}

#define PELMORA_DEFINE_SETTER(type, Name, member, initial, key, fallback)                          \
    void GraphicSystemImpl::set##Name(type value) {                                                \
        requireCreated();                                                                          \
        member##_ = value;                                                                         \
    }
PELMORA_DISPLAY_SETTINGS(PELMORA_DEFINE_SETTER)
#undef PELMORA_DEFINE_SETTER

void GraphicSystemImpl::setFullscreen(bool) {
    // The window is always a full-screen pop-up; windowed operation was never built.
    fatalError();
}

void GraphicSystemImpl::useDesktopMode() {
    if (state_ != StateCreated)
        fatalError("GraphicSystem: could not get display params");
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    // A failed query leaves the zeros, which onWindowClass then refuses.
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    width_ = mode.dmPelsWidth;
    height_ = mode.dmPelsHeight;
    bitsPerPixel_ = mode.dmBitsPerPel;
    refreshRate_ = mode.dmDisplayFrequency;
}

bool GraphicSystemImpl::isExtensionSupported(const char* name) {
    if (state_ != StateContextReady)
        fatalError();
    // Read afresh each time: the string belongs to the current context.
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    return findExtensionToken(reinterpret_cast<const char*>(extensions), name);
}

PROC GraphicSystemImpl::getProcAddress(const char* name) {
    if (state_ != StateContextReady)
        fatalError();
    return wglGetProcAddress(name);
}

bool GraphicSystemImpl::setDisplayMode() {
    if (width_ == 0 || height_ == 0 || bitsPerPixel_ == 0)
        fatalError();
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.dmPelsWidth = width_;
    mode.dmPelsHeight = height_;
    mode.dmBitsPerPel = bitsPerPixel_;
    mode.dmDisplayFrequency = refreshRate_;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void GraphicSystemImpl::onWindowClass(WNDCLASSEXA& windowClass) {
    if (width_ == 0 || height_ == 0 || bitsPerPixel_ == 0)
        fatalError();
    if (fullscreen_ && !setDisplayMode())
        fatalError("GraphicSystem: could not set display mode");
    state_ = StateDisplayModeSet;
    windowClass.style |= CS_OWNDC;
    // The game draws its own cursor over a black background.
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    windowClass.lpszMenuName = nullptr;
}

void GraphicSystemImpl::onWindowParams(DWORD& exStyle, DWORD& style, int& x, int& y,
                                       int& windowWidth, int& windowHeight) {
    exStyle |= WS_EX_APPWINDOW;
    style |= WS_POPUP;
    x = 0;
    y = 0;
    windowWidth = static_cast<int>(width_);
    windowHeight = static_cast<int>(height_);
}

bool GraphicSystemImpl::onWindowCreated(HWND window) {
    deviceContext_ = GetDC(window);

    PIXELFORMATDESCRIPTOR descriptor;
    std::memset(&descriptor, 0, sizeof(descriptor));
    descriptor.nSize = sizeof(descriptor);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (doubleBuffer_)
        descriptor.dwFlags |= PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(bitsPerPixel_ & 0xff);
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;

    const int format = ChoosePixelFormat(deviceContext_, &descriptor);
    if (!SetPixelFormat(deviceContext_, format, &descriptor)) {
        // No context, no extensions: the frames still run, drawing nothing visible.
        return false;
    }
    renderContext_ = wglCreateContext(deviceContext_);
    wglMakeCurrent(deviceContext_, renderContext_);

    glClearColor(0, 0, 0, 0);
    glClearDepth(10000.0); // the GL clamps it to 1.0
    state_ = StateContextReady;

    loadExtensions();

    if (hasSwapControl)
        ext::wglSwapIntervalEXT(vsync_ ? 1 : 0);
    return true;
}

void GraphicSystemImpl::onFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Application::instance()->scene->render();
    glFinish();
    if (doubleBuffer_)
        SwapBuffers(deviceContext_);
    ++frameCount_;
}
