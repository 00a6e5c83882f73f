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
    // Restores nothing: the display change is a temporary one that lapses with the process, and
    // the contexts live as long as the window.
    ~GraphicSystemImpl() override;

    // Serves both bases.
    bool isNull() const override { return state_ == 0; }

    uint32_t getWidth() const override { return width_; }
    void setWidth(uint32_t value) override;
    uint32_t getHeight() const override { return height_; }
    void setHeight(uint32_t value) override;
    uint32_t getBitsPerPixel() const override { return bitsPerPixel_; }
    void setBitsPerPixel(uint32_t bits) override;
    uint32_t getRefreshRate() const override { return refreshRate_; }
    void setRefreshRate(uint32_t rate) override;
    bool getVsync() const override { return vsync_; }
    void setVsync(bool value) override;
    bool getDoubleBuffer() const override { return doubleBuffer_; }
    void setDoubleBuffer(bool value) override;
    bool isFullscreen() const override { return fullscreen_; }
    void setFullscreen(bool value) override;
    int32_t getLifecycleState() const override { return state_; }
    void useDesktopMode() override;
    uint32_t getFrameCount() const override { return frameCount_; }
    void resetFrameCount() override { frameCount_ = 0; }
    bool isExtensionSupported(const char* name) override;
    PROC getProcAddress(const char* name) override;

    void onWindowClass(WNDCLASSEXA& windowClass) override;
    void onWindowParams(DWORD& exStyle, DWORD& style, int& x, int& y, int& windowWidth,
                        int& windowHeight) override;
    bool onWindowCreated(HWND window) override;
    void onFrame() override;

private:
    friend class GraphicSystem; // the one instance is made by GraphicSystem::instance

    // Registers itself with the Application (created if need be) as its next component.
    GraphicSystemImpl();

    // Ends a broken precondition unless the settings may still change.
    void requireCreated() const;
    bool setDisplayMode();

    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bitsPerPixel_ = 0; // its low 8 bits are the pixel format's colour bits
    uint32_t refreshRate_ = 0;  // 0 lets the driver choose
    bool vsync_ = false;
    bool doubleBuffer_ = true;
    bool fullscreen_ = true;
    int32_t state_ = StateCreated;
    HDC deviceContext_ = nullptr;
    HGLRC renderContext_ = nullptr;
    uint32_t frameCount_ = 0; // wraps to 0 after 2^32 - 1
};
