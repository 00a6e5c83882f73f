// OpenGL and WGL extensions: one presence flag per extension and one global function pointer per
// entry point, filled once by the loaders that GraphicSystemImpl::onWindowCreated runs right after
// the context is current. Test a flag before calling through its pointers; nothing else checks.
// The extensions and their entry points are listed once, in graphics/ExtensionList.h.
#pragma once

#include "platform/platform.h"

// Presence flags (hasSwapControl, hasEXTBgra, ...): false at program start, true only after their
// loader fully succeeded. Loaders (loadSwapControl, loadEXTBgra, ...) answer their flag's new
// value; they need a current context, since GraphicSystem::isExtensionSupported and
// getProcAddress are refused before it.
#define PELMORA_EXTENSION(Flag, name)                                                              \
    extern bool has##Flag;                                                                         \
    bool load##Flag();
#define PELMORA_ENTRY(Type, name)
#include "graphics/ExtensionList.h"

// Runs every loader once, in the order of the list.
void loadExtensions();

// The entry points live in a namespace of their own because Mesa's <GL/gl.h> declares
// glActiveTextureARB and the glMultiTexCoord*ARB functions as ordinary prototypes, which a global
// pointer of the same name would clash with. Call them as ext::glActiveTextureARB(...).
// Null until fetched; a pointer keeps the last value fetched for it.
namespace ext {

#define PELMORA_EXTENSION(Flag, name)
#define PELMORA_ENTRY(Type, name) extern Type name;
#include "graphics/ExtensionList.h"

} // namespace ext
