// Finding a program's window on the test's X server, where no window manager keeps a list.
#pragma once

#include <X11/Xlib.h>

#include <cstring>

namespace testsupport {

// The first window below parent (depth first) with this title, or 0.
inline Window findWindow(Display* display, Window parent, const char* title) {
    Window root, parentOut, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strcmp(name, title) == 0)
                found = children[i];
            XFree(name);
        }
        if (!found)
            found = findWindow(display, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace testsupport
