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

    bool isFullscreen() const override { return fullscreen_; }
    void setFullscreen(bool value) override;
    int32_t getLifecycleState() const override { return state_; }
    void useDesktopMode() override;
    uint32_t getFrameCount() const override { return frameCount_; }
    void resetFrameCount() override { frameCount_ = 0; }
    bool isExtensionSupported(const char* name) override;
    PROC getProcAddress(const char* name) override;

    // The settings' getters and setters (PELMORA_DISPLAY_SETTINGS).
#define PELMORA_OVERRIDE_SETTING(type, Name, member, initial, key, fallback)                       \
    type get##Name() const override {                                                              \
        return member##_;                                                                          \
    }                                                                                              \
    void set##Name(type value) override;
    PELMORA_DISPLAY_SETTINGS(PELMORA_OVERRIDE_SETTING)
#undef PELMORA_OVERRIDE_SETTING

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

#define PELMORA_SETTING_FIELD(type, Name, member, initial, key, fallback) type member##_ = initial;
    PELMORA_DISPLAY_SETTINGS(PELMORA_SETTING_FIELD)
#undef PELMORA_SETTING_FIELD
    bool fullscreen_ = true;
    int32_t state_ = StateCreated;
    HDC deviceContext_ = nullptr;
    HGLRC renderContext_ = nullptr;
    uint32_t frameCount_ = 0; // wraps to 0 after 2^32 - 1
};
