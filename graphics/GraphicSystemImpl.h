// The display component over the windowing system: switches the screen mode, shapes the window
// as a borderless full-screen pop-up, creates the OpenGL context, loads the extensions and
// presents one frame per main-loop pass.
#pragma once

#include "app/ApplicationComponent.h"
#include "graphics/GraphicSystem.h"
#include "platform/platform.h"
#include <cstdint>

class GraphicSystemImpl : public GraphicSystem, public ApplicationComponent {
public:
    // Registers itself with the Application (created if need be) as its next component.
    GraphicSystemImpl();
    // Restores nothing: the display change is a temporary one that lapses with the process, and
    // the contexts live as long as the window.
    ~GraphicSystemImpl() override;

    // Serves both bases.
    bool isNull() const override { return state == 0; }

    uint32_t getWidth() const override { return width; }
    void setWidth(uint32_t value) override;
    uint32_t getHeight() const override { return height; }
    void setHeight(uint32_t value) override;
    uint32_t getBitsPerPixel() const override { return bitsPerPixel; }
    void setBitsPerPixel(uint32_t bits) override;
    uint32_t getRefreshRate() const override { return refreshRate; }
    void setRefreshRate(uint32_t rate) override;
    bool getVsync() const override { return vsync; }
    void setVsync(bool value) override;
    bool getDoubleBuffer() const override { return doubleBuffer; }
    void setDoubleBuffer(bool value) override;
    bool isFullscreen() const override { return fullscreen; }
    void setFullscreen(bool value) override;
    int32_t getLifecycleState() const override { return state; }
    void useDesktopMode() override;
    uint32_t getFrameCount() const override { return frameCount; }
    void resetFrameCount() override { frameCount = 0; }
    bool isExtensionSupported(const char* name) override;
    PROC getProcAddress(const char* name) override;

    void onWindowClass(WNDCLASSEXA& windowClass) override;
    void onWindowParams(DWORD& exStyle, DWORD& style, int& x, int& y, int& windowWidth,
                        int& windowHeight) override;
    bool onWindowCreated(HWND window) override;
    void onFrame() override;

private:
    // Ends a broken precondition unless the settings may still change.
    void requireCreated() const;
    bool setDisplayMode();

    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0; // its low 8 bits are the pixel format's colour bits
    uint32_t refreshRate = 0;  // 0 lets the driver choose
    bool vsync = false;
    bool doubleBuffer = true;
    bool fullscreen = true;
    int32_t state = StateCreated;
    HDC deviceContext = nullptr;
    HGLRC renderContext = nullptr;
    uint32_t frameCount = 0; // wraps to 0 after 2^32 - 1
};
