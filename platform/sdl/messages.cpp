// SDL events and termination signals become window messages with Win32's encodings, queued for
// the shared message queue (platform/shared/windowing.cpp).
// Keyboard events are left to keyboard.cpp, which posts the key messages itself.
#include "platform/sdl/internal.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t terminationRequested = 0;

extern "C" void onTerminationSignal(int) {
    terminationRequested = 1;
}

// Mouse buttons as the layer has seen them go down and up, in MK_ bits.
WPARAM buttonsHeld = 0;
POINT cursor = {0, 0}; // client coordinates of the last motion

WPARAM keyFlags(WPARAM buttons) {
    const SDL_Keymod modifiers = SDL_GetModState();
    if (modifiers & KMOD_SHIFT)
        buttons |= MK_SHIFT;
    if (modifiers & KMOD_CTRL)
        buttons |= MK_CONTROL;
    return buttons;
}

WPARAM buttonsFromSdlState(Uint32 state) {
    WPARAM buttons = 0;
    if (state & SDL_BUTTON_LMASK)
        buttons |= MK_LBUTTON;
    if (state & SDL_BUTTON_MMASK)
        buttons |= MK_MBUTTON;
    if (state & SDL_BUTTON_RMASK)
        buttons |= MK_RBUTTON;
    return buttons;
}

POINT screenPoint(HWND window, int x, int y) {
    int left = 0, top = 0;
    if (window != nullptr && window->sdlWindow != nullptr)
        SDL_GetWindowPosition(window->sdlWindow, &left, &top);
    return POINT{left + x, top + y};
}

void postButton(const SDL_MouseButtonEvent& event) {
    UINT message;
    WPARAM bit;
    switch (event.button) {
    case SDL_BUTTON_LEFT:
        message = WM_LBUTTONDOWN;
        bit = MK_LBUTTON;
        break;
    case SDL_BUTTON_MIDDLE:
        message = WM_MBUTTONDOWN;
        bit = MK_MBUTTON;
        break;
    case SDL_BUTTON_RIGHT:
        message = WM_RBUTTONDOWN;
        bit = MK_RBUTTON;
        break;
    default:
        return; // extra buttons have messages of their own on Windows, which nothing reads
    }
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    // Each UP message follows its DOWN message by one in Windows' numbering.
    if (!down)
        ++message;
    buttonsHeld = down ? (buttonsHeld | bit) : (buttonsHeld & ~bit);
    cursor = POINT{event.x, event.y};
    platformPostMessage(sdl::windowForId(event.windowID), message, keyFlags(buttonsHeld),
                        MAKELPARAM(event.x, event.y));
}

void postWheel(const SDL_MouseWheelEvent& event) {
    int notches = event.y;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED)
        notches = -notches;
    if (notches == 0)
        return;
    int delta = notches * WHEEL_DELTA;
    if (delta > 32767)
        delta = 32767;
    if (delta < -32768)
        delta = -32768;
    HWND window = sdl::windowForId(event.windowID);
    const POINT screen = screenPoint(window, event.mouseX, event.mouseY);
    const WPARAM wParam = MAKELPARAM(keyFlags(buttonsHeld), delta);
    platformPostMessage(window, WM_MOUSEWHEEL, wParam, MAKELPARAM(screen.x, screen.y));
}

void postWindowEvent(const SDL_WindowEvent& event) {
    HWND window = sdl::windowForId(event.windowID);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        platformPostMessage(window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        platformPostMessage(window, WM_ACTIVATEAPP, TRUE, 0);
        platformPostMessage(window, WM_SETFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        platformPostMessage(window, WM_KILLFOCUS, 0, 0);
        platformPostMessage(window, WM_ACTIVATEAPP, FALSE, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        platformPostMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(event.data1, event.data2));
        break;
    default:
        break;
    }
}

void translateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        platformPostMessage(sdl::mainWindow(), WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        postWindowEvent(event.window);
        break;
    case SDL_MOUSEMOTION:
        cursor = POINT{event.motion.x, event.motion.y};
        platformPostMessage(sdl::windowForId(event.motion.windowID), WM_MOUSEMOVE,
                            keyFlags(buttonsFromSdlState(event.motion.state)),
                            MAKELPARAM(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        postButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        postWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (sdl::keyEventFromServer(event.key))
            sdl::keyEvent(sdl::windowForId(event.key.windowID), event.key);
        break;
    case SDL_SYSWMEVENT:
        sdl::systemEvent(event.syswm.msg);
        break;
    case SDL_TEXTINPUT:
        sdl::textInput(event.text);
        break;
    default:
        break;
    }
}

} // namespace

// Moves everything SDL has gathered, and a pending termination signal, into the queue.
void platformPumpEvents() {
    if (terminationRequested) {
        terminationRequested = 0;
        platformPostMessage(sdl::mainWindow(), WM_CLOSE, 0, 0);
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        translateEvent(event);
    sdl::systemEventsDone();
}

void sdl::installSignalHandlers() {
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes interrupted by the signal carry on; the request is seen at the next peek.
    action.sa_flags = SA_RESTART;
    // Each is a request to end like any other (the terminal the game was started from closing,
    // too), unless whoever started the game ignored it: nohup, a launcher, a shell that starts
    // the game in the background: that choice stands.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction inherited = {};
        if (sigaction(signal, nullptr, &inherited) != 0 || inherited.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    platformQueueMessage(window, message, wParam, lParam, screenPoint(window, cursor.x, cursor.y));
}
