// The browser's physical key names (KeyboardEvent.code) as USB HID usages, the keys of the shared
// key table (platform/shared/keytable.h). Free of the browser, so that it can be checked natively.
#pragma once

#include "platform/shared/keytable.h"

#include <cstddef>
#include <cstdint>

// The usage of a KeyboardEvent.code name, or 0 for a name this table does not know.
uint32_t usageOfDomCode(const char* code);

// The names the table knows, in its order.
size_t domCodeCount();
const char* domCodeAt(size_t index);
