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
    if (logLine != nullptr) {
        Application::instance()->log->write(String(logLine));
    }
    std::exit(EXIT_FAILURE);
}

} // namespace

GraphicSystemImpl::GraphicSystemImpl() = default;

GraphicSystemImpl::~GraphicSystemImpl() = default;

void GraphicSystemImpl::requireCreated() const {
    if (state != StateCreated) {
        fatalError();
    }
}

void GraphicSystemImpl::setWidth(uint32_t value) {
    requireCreated();
    width = value;
}

void GraphicSystemImpl::setHeight(uint32_t value) {
    requireCreated();
    height = value;
}

void GraphicSystemImpl::setBitsPerPixel(uint32_t bits) {
    requireCreated();
    bitsPerPixel = bits;
}

void GraphicSystemImpl::setRefreshRate(uint32_t rate) {
    requireCreated();
    refreshRate = rate;
}

void GraphicSystemImpl::setVsync(bool value) {
    requireCreated();
    vsync = value;
}

void GraphicSystemImpl::setDoubleBuffer(bool value) {
    requireCreated();
    doubleBuffer = value;
}

void GraphicSystemImpl::setFullscreen(bool) {
    // The window is always a full-screen pop-up; windowed operation was never built.
    fatalError();
}

void GraphicSystemImpl::useDesktopMode() {
    if (state != StateCreated) {
        fatalError("GraphicSystem: could not get display params");
    }
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    // A failed query leaves the zeros, which onWindowClass then refuses.
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    width = mode.dmPelsWidth;
    height = mode.dmPelsHeight;
    bitsPerPixel = mode.dmBitsPerPel;
    refreshRate = mode.dmDisplayFrequency;
}

bool GraphicSystemImpl::isExtensionSupported(const char* name) {
    if (state != StateContextReady) {
        fatalError();
    }
    // Read afresh each time: the string belongs to the current context.
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    return findExtensionToken(reinterpret_cast<const char*>(extensions), name);
}

PROC GraphicSystemImpl::getProcAddress(const char* name) {
    if (state != StateContextReady) {
        fatalError();
    }
    return wglGetProcAddress(name);
}

bool GraphicSystemImpl::setDisplayMode() {
    if (width == 0 || height == 0 || bitsPerPixel == 0) {
        fatalError();
    }
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    mode.dmDisplayFrequency = refreshRate;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void GraphicSystemImpl::onWindowClass(WNDCLASSEXA& windowClass) {
    if (width == 0 || height == 0 || bitsPerPixel == 0) {
        fatalError();
    }
    if (fullscreen && !setDisplayMode()) {
        fatalError("GraphicSystem: could not set display mode");
    }
    state = StateDisplayModeSet;
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
    windowWidth = static_cast<int>(width);
    windowHeight = static_cast<int>(height);
}

bool GraphicSystemImpl::onWindowCreated(HWND window) {
    deviceContext = GetDC(window);

    PIXELFORMATDESCRIPTOR descriptor;
    std::memset(&descriptor, 0, sizeof(descriptor));
    descriptor.nSize = sizeof(descriptor);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (doubleBuffer) {
        descriptor.dwFlags |= PFD_DOUBLEBUFFER;
    }
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(bitsPerPixel & 0xff);
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;

    const int format = ChoosePixelFormat(deviceContext, &descriptor);
    if (!SetPixelFormat(deviceContext, format, &descriptor)) {
        // No context, no extensions: the frames still run, drawing nothing visible.
        return false;
    }
    renderContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderContext);

    glClearColor(0, 0, 0, 0);
    glClearDepth(10000.0); // the GL clamps it to 1.0
    state = StateContextReady;

    loadSwapControl();
    loadEXTBgra();
    loadARBPointParameters();
    loadARBPointSprite();
    loadARBShadingLanguage100();
    loadARBShaderObjects();
    loadARBVertexShader();
    loadARBFragmentShader();
    loadARBMultitexture();

    if (hasSwapControl) {
        ext::wglSwapIntervalEXT(vsync ? 1 : 0);
    }
    return true;
}

void GraphicSystemImpl::onFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // An Application built without a scene (hook tests) still presents its frames.
    if (Scene* scene = Application::instance()->scene) {
        scene->render();
    }
    glFinish();
    if (doubleBuffer) {
        SwapBuffers(deviceContext);
    }
    ++frameCount;
}
