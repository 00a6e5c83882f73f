// Finding a program's window on the test's X server, where no window manager keeps a list.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

namespace testsupport {

// A window's title in whatever 8-bit encoding its program gave it (SDL's message box names
// itself in UTF-8, which XFetchName does not answer); empty without one.
inline std::string windowTitle(Display* display, Window window) {
    XTextProperty property = {};
    std::string title;
    if (XGetWMName(display, window, &property) && property.value != nullptr) {
        if (property.format == 8)
            title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
        XFree(property.value);
    }
    return title;
}

// The first window below parent (depth first) with this title, or 0.
inline Window findWindow(Display* display, Window parent, const char* title) {
    Window root, parentOut, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        if (windowTitle(display, children[i]) == title)
            found = children[i];
        if (!found)
            found = findWindow(display, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace testsupport
