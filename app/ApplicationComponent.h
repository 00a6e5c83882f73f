// The plug-in interface of the Application: start-up hooks, window messages and frames.
// Constructing a component registers it with the Application at once.
#pragma once

#include "app/EngineObject.h"
#include "platform/platform.h"
#include <cstdint>

class ApplicationComponent : public EngineObject {
public:
    ApplicationComponent(); // registers this with Application::instance
    // Does not unregister: a component must not die while the Application lists it.
    ~ApplicationComponent() override = default;

    virtual void onWindowClass(WNDCLASSEXA& windowClass);
    // A hook without arguments that no component fills and the Application never calls; kept so
    // that the hook table stays as designed.
    virtual void onReserved();
    virtual void onWindowParams(DWORD& exStyle, DWORD& style, int& x, int& y, int& width,
                                int& height);
    virtual bool onWindowCreated(HWND window);
    virtual int32_t onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void onFrame();
};
