// The display component's public face: display settings, lifecycle state, frame count and the
// OpenGL extension queries. GraphicSystemImpl implements it over the windowing system.
#pragma once

#include "app/EngineObject.h"
#include "platform/platform.h"
#include <cstdint>

class GraphicSystem : public EngineObject {
public:
    enum LifecycleState : int32_t {
        StateCreated = 1,        // settings may change
        StateDisplayModeSet = 2, // onWindowClass has run
        StateContextReady = 3    // the OpenGL context is current
    };

    // Creates the GraphicSystemImpl on the first call, which registers it as a component.
    static GraphicSystem* instance();

    virtual uint32_t getWidth() const = 0;
    virtual void setWidth(uint32_t width) = 0;
    virtual uint32_t getHeight() const = 0;
    virtual void setHeight(uint32_t height) = 0;
    virtual uint32_t getBitsPerPixel() const = 0;
    virtual void setBitsPerPixel(uint32_t bits) = 0;
    virtual uint32_t getRefreshRate() const = 0;
    virtual void setRefreshRate(uint32_t rate) = 0;
    virtual bool getVsync() const = 0;
    virtual void setVsync(bool vsync) = 0;
    virtual bool getDoubleBuffer() const = 0;
    virtual void setDoubleBuffer(bool doubleBuffer) = 0;
    virtual bool isFullscreen() const = 0;
    virtual void setFullscreen(bool fullscreen) = 0; // always fatal
    virtual int32_t getLifecycleState() const = 0;
    virtual void useDesktopMode() = 0;
    virtual uint32_t getFrameCount() const = 0;
    virtual void resetFrameCount() = 0;
    virtual bool isExtensionSupported(const char* name) = 0;
    virtual PROC getProcAddress(const char* name) = 0;

    // Reads the "GraphicSystem" configuration section through the setters.
    void loadConfig();
};

// Exact-token search of an OpenGL extension string: true when one token, delimited by bytes
// whose signed value is 32 or less, equals the whole name. Null or empty strings answer false.
bool findExtensionToken(const char* extensions, const char* name);
