// Shared state and calls between the files of the SDL implementation of the Win32 subset.
// Nothing outside platform/sdl includes this header.
#pragma once

#ifndef PELMORA_PLATFORM_SDL_INTERNALS
#error "platform/sdl/internal.h is private to the SDL platform layer; include platform/platform.h"
#endif

#include "platform/shared/windowing.h"
#include "platform/sdl/win32.h"
#include <SDL.h>
#include <vector>

// The one window record behind an HWND.
struct PlatformWindow : WindowRecord {
    char title[256] = {};
    SDL_Window* sdlWindow = nullptr; // made by SetPixelFormat or ShowWindow
    SDL_GLContext glContext = nullptr;
    bool pixelFormatSet = false;
};

// Starts SDL's video subsystem on first use; when it cannot start, prints why on standard error
// and ends the process with a failure status.
void platformRequireVideo();

// The program's window (the last one created), or null.
HWND platformMainWindow();

// Keyboard (keyboard.cpp): turns an SDL key event into WM_KEYDOWN/WM_KEYUP or
// WM_SYSKEYDOWN/WM_SYSKEYUP posted with platformPostMessage, and keeps the key states that
// GetKeyState answers; remembers the text SDL produced for a key press so that ToAsciiEx can
// answer the layout's character.
void platformKeyEvent(HWND window, const SDL_KeyboardEvent& event);
void platformTextInput(const SDL_TextInputEvent& event);
// Called by PeekMessageA for every key message it removes from the queue: GetKeyState answers
// the key states as of the messages the program has taken, as on Windows, even when later key
// events are already queued behind them.
void platformKeyMessageTaken(const MSG& msg);

// The SDL scancode of the key with this set-1 scan code and E0 prefix, or SDL_SCANCODE_UNKNOWN.
SDL_Scancode platformScancodeOf(uint8_t scanCode, bool extended);

// X key events (x11keys.cpp). The pump hands over every system event that SDL reports ahead of
// the events it makes of an X event, asks platformKeyEventFromServer whether a key event stands
// for an X key event (false for those SDL makes up around focus changes, which Windows does not
// send), and calls platformSystemEventsDone when the queue is empty, so that an X key event that
// SDL passed over still becomes its key message.
void platformSystemEvent(const SDL_SysWMmsg* msg);
bool platformKeyEventFromServer(const SDL_KeyboardEvent& event);
void platformSystemEventsDone();

// Full-screen mode chosen by ChangeDisplaySettingsA (display.cpp), applied when the pop-up
// window's SDL window is made; false when none was set.
bool platformFullscreenMode(SDL_DisplayMode* mode);
// Called once the window's full-screen mode is applied: the desktop mode comes back when the
// process ends.
void platformFullscreenApplied(SDL_Window* window);

// Makes the SDL window behind a window record with the given extra SDL flags (SDL_WINDOW_OPENGL
// when a pixel format asks for it), hidden until ShowWindow. A pop-up window covers the screen in
// the mode that ChangeDisplaySettingsA chose, or stays borderless at its own rectangle. When SDL
// cannot make it the process ends with a message on standard error.
void platformCreateSdlWindow(HWND window, Uint32 flags);

// The window record behind an SDL window id; the program's window when the id is unknown.
HWND platformWindowForId(Uint32 windowId);

// Keeps a record behind a handle for the rest of the process and answers it. Like Windows, this
// layer frees no window, device context, GL context or brush before the process ends; holding
// them here keeps them reachable, so leak checkers do not count what a caller never releases.
template <typename Record> Record* platformKeep(Record* record) {
    static std::vector<Record*>* const kept = new std::vector<Record*>;
    kept->push_back(record);
    return record;
}

// Installs the SIGINT, SIGTERM and SIGHUP handlers that turn a termination request into
// WM_CLOSE (SIGHUP only when it was not ignored at start); called when the first window is
// created.
void platformInstallSignalHandlers();

// A GL context and the window it was made for.
struct PlatformGLContext {
    SDL_GLContext context = nullptr;
    HWND window = nullptr;
};
