// The display component's public face: display settings, lifecycle state, frame count and the
// OpenGL extension queries. GraphicSystemImpl implements it over the windowing system.
#pragma once

#include "app/EngineObject.h"
#include "platform/platform.h"
#include <cstdint>

// The display settings, written once for the interface, the implementation's fields and the
// configuration: each with its type, the name its getter and setter carry, the implementation's
// field, the value it has before anything sets it, and its key and default in the
// "GraphicSystem" configuration section. The low 8 bits of the bits per pixel are the pixel
// format's colour bits; a refresh rate of 0 lets the driver choose.
#define PELMORA_DISPLAY_SETTINGS(X)                                                                \
    X(uint32_t, Width, width, 0, "width", 1024)                                                    \
    X(uint32_t, Height, height, 0, "height", 768)                                                  \
    X(uint32_t, BitsPerPixel, bitsPerPixel, 0, "bpp", 32)                                          \
    X(uint32_t, RefreshRate, refreshRate, 0, "refreshrate", 0)                                     \
    X(bool, Vsync, vsync, false, "vsync", false)                                                   \
    X(bool, DoubleBuffer, doubleBuffer, true, "doublebuffer", true)

class GraphicSystem : public EngineObject {
public:
    enum LifecycleState : int32_t {
        StateCreated = 1,        // settings may change
        StateDisplayModeSet = 2, // onWindowClass has run
        StateContextReady = 3    // the OpenGL context is current
    };

    // Creates the GraphicSystemImpl on the first call, which registers it as a component.
    static GraphicSystem* instance();

    // getWidth and setWidth, getHeight and setHeight, and so on down the settings' list.
#define PELMORA_DECLARE_SETTING(type, Name, member, initial, key, fallback)                        \
    virtual type get##Name() const = 0;                                                            \
    virtual void set##Name(type value) = 0;
    PELMORA_DISPLAY_SETTINGS(PELMORA_DECLARE_SETTING)
#undef PELMORA_DECLARE_SETTING
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
