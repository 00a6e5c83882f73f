// The parts of Win32's windowing that are the same whatever system lies under the platform
// layer: module and icon handles, the class registry, window creation with the messages a new
// window receives, device contexts, the pixel-format choice and the background brush, the
// thread's message queue with its filters, sending and dispatching, the default window procedure,
// and the swap-interval entry points of the back ends without WGL. The calls each back end
// supplies for it, and those it offers them, are the contract of backend.h.
#pragma once

#include "platform/shared/backend.h"
#include "platform/win32.h"

#include <vector>

// What Windows itself keeps of a window; each implementation's PlatformWindow derives from it.
struct WindowRecord {
    WNDPROC procedure = nullptr;
    DWORD exStyle = 0;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    PlatformDC* dc = nullptr; // made by GetDC
};

// The one device context of a window.
struct PlatformDC {
    HWND window = nullptr;
};

// A brush made by CreateSolidBrush; nothing is painted with it.
struct PlatformBrush {
    COLORREF colour;
};

// Keeps a record behind a handle for the rest of the process and answers it. Like Windows, the
// layers free no window, device context, GL context or brush before the process ends; holding
// them here keeps them reachable, so leak checkers do not count what a caller never releases.
template <typename Record> Record* platformKeep(Record* record) {
    static std::vector<Record*>* const kept = new std::vector<Record*>;
    kept->push_back(record);
    return record;
}
