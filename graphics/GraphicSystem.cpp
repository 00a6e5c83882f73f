// The settings logic of the display component that needs no windowing system: the one instance
// and reading the "GraphicSystem" configuration section through the setters.
#include "graphics/GraphicSystem.h"

#include "app/Application.h"
#include "app/ConfigFile.h"
#include "graphics/GraphicSystemImpl.h"

GraphicSystem* GraphicSystem::instance() {
    static GraphicSystem* const theGraphicSystem = new GraphicSystemImpl();
    return theGraphicSystem;
}

void GraphicSystem::loadConfig() {
    ConfigSection* section = Application::instance()->config->section(String("GraphicSystem"));
    // A negative number becomes a large unsigned value here; zero sizes are refused later, when
    // the display mode is set.
    setWidth(static_cast<uint32_t>(section->getInt(String("width"), 1024)));
    setHeight(static_cast<uint32_t>(section->getInt(String("height"), 768)));
    setBitsPerPixel(static_cast<uint32_t>(section->getInt(String("bpp"), 32)));
    setRefreshRate(static_cast<uint32_t>(section->getInt(String("refreshrate"), 0)));
    setVsync(section->getBool(String("vsync"), false));
    setDoubleBuffer(section->getBool(String("doublebuffer"), true));
}

bool findExtensionToken(const char* extensions, const char* name) {
    if (extensions == nullptr || name == nullptr || *name == '\0')
        return false;
    // Bytes of 128 and above count as separators too, as they do for a signed char.
    auto separator = [](char c) { return static_cast<signed char>(c) <= 32; };
    const char* p = extensions;
    while (*p != '\0') {
        while (*p != '\0' && separator(*p))
            ++p;
        const char* token = p;
        while (*p != '\0' && !separator(*p))
            ++p;
        const char* n = name;
        const char* t = token;
        while (t < p && *n != '\0' && *t == *n) {
            ++t;
            ++n;
        }
        if (t == p && *n == '\0' && p > token)
            return true;
    }
    return false;
}
