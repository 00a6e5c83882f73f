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

namespace {

// A negative number becomes a large unsigned value here; zero sizes are refused later, when the
// display mode is set.
uint32_t configValue(ConfigSection* section, const char* key, uint32_t fallback) {
    return static_cast<uint32_t>(section->getInt(String(key), static_cast<int32_t>(fallback)));
}

bool configValue(ConfigSection* section, const char* key, bool fallback) {
    return section->getBool(String(key), fallback);
}

} // namespace

void GraphicSystem::loadConfig() {
    ConfigSection* section = Application::instance()->config->section(String("GraphicSystem"));
#define PELMORA_LOAD_SETTING(type, Name, member, initial, key, fallback)                           \
    set##Name(configValue(section, key, type(fallback)));
    PELMORA_DISPLAY_SETTINGS(PELMORA_LOAD_SETTING)
#undef PELMORA_LOAD_SETTING
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
