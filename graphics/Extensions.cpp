// The extension loaders: each decides whether one OpenGL or WGL extension is usable through the
// GraphicSystem's extension query and fetches its entry points into the global pointers.
// A missing extension or entry point is not an error: its flag just stays false.
#include "graphics/Extensions.h"

#include "graphics/GraphicSystem.h"

#include <algorithm>
#include <iterator>

#define PELMORA_EXTENSION(Flag, name) bool has##Flag = false;
#define PELMORA_ENTRY(Type, name)
#include "graphics/ExtensionList.h"

namespace ext {

#define PELMORA_EXTENSION(Flag, name)
#define PELMORA_ENTRY(Type, name) Type name = nullptr;
#include "graphics/ExtensionList.h"

} // namespace ext

namespace {

// The list as a table: an extension's row (with its flag) is followed by the rows of its entry
// points (without one), each with a function that stores an address in its typed pointer. The
// detour through void (*)() is the generic function-pointer type that GCC accepts any function
// type from without a cast warning (PROC is a different type on Windows).
struct Row {
    const char* name;
    bool* flag;
    void (*store)(PROC address);
};

const Row rows[] = {
#define PELMORA_EXTENSION(Flag, name) {name, &has##Flag, nullptr},
#define PELMORA_ENTRY(Type, name)                                                                  \
    {#name, nullptr, [](PROC address) {                                                            \
         ext::name = reinterpret_cast<Type>(reinterpret_cast<void (*)()>(address));                \
     }},
#include "graphics/ExtensionList.h"
};

// Tests the extension's name (unless it has none), then fetches its entry points in list order.
// The first missing one ends the loader: the later ones are not fetched, the ones before keep
// what they got, and the flag stays false.
bool load(bool& flag) {
    const Row* row = std::find_if(std::begin(rows), std::end(rows), [&flag](const Row& candidate) {
        return candidate.flag == &flag;
    });
    if (row->name != nullptr) {
        flag = GraphicSystem::instance()->isExtensionSupported(row->name);
        if (!flag)
            return false;
    }
    flag = false;
    for (++row; row != std::end(rows) && row->flag == nullptr; ++row) {
        const PROC address = GraphicSystem::instance()->getProcAddress(row->name);
        row->store(address);
        if (address == nullptr)
            return false;
    }
    flag = true;
    return true;
}

} // namespace

#define PELMORA_EXTENSION(Flag, name)                                                              \
    bool load##Flag() {                                                                            \
        return load(has##Flag);                                                                    \
    }
#define PELMORA_ENTRY(Type, name)
#include "graphics/ExtensionList.h"

void loadExtensions() {
#define PELMORA_EXTENSION(Flag, name) load##Flag();
#define PELMORA_ENTRY(Type, name)
#include "graphics/ExtensionList.h"
}
