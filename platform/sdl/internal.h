// The Win32 subset that Pelmora calls (platform/win32.h), implemented over SDL2 and POSIX, one
// file per service, with the browser layer's share in platform/shared (windowing, the key
// tracker, files). This header holds the shared state and calls between the layer's files;
// nothing outside platform/sdl includes it. Where the layer departs from Windows:
// - Windows and messages (window.cpp, messages.cpp): video starts with the first window; when it
//   cannot (no display), the process ends with a message on standard error that names what each
//   driver tried (the X display, the Wayland socket), since a window-less busy loop would never
//   end. The SDL window behind a window record is made by SetPixelFormat
//   (SDL fixes a window's GL attributes when it creates it) or, for a window without a pixel
//   format, by ShowWindow. SDL's events become the messages: the window's close request and
//   SIGINT, SIGTERM and SIGHUP arrive as WM_CLOSE (a signal ignored at start stays ignored),
//   focus changes as WM_ACTIVATEAPP and WM_SETFOCUS/WM_KILLFOCUS. MessageBoxA is SDL's message
//   box, its text also a line on standard error, since no box may appear.
// - Display modes (display.cpp): asking starts video. Colour depth is the bytes of the pixel
//   format times 8 (a 24-bit X visual in 32-bit pixels answers 32, as Windows does). The mode
//   that ChangeDisplaySettingsA accepts is applied to the full-screen pop-up window when that
//   window is made.
// - GL context (wgl.cpp): SetPixelFormat sets SDL's GL attributes from the descriptor (double
//   buffering, colour, depth, stencil and alpha bits) and makes the SDL window, hidden until
//   ShowWindow; when SDL cannot make it, the process ends with a message on standard error.
//   wglGetProcAddress answers SDL_GL_GetProcAddress, and the swap-interval extension over SDL's
//   swap interval.
// - Keyboard (keyboard.cpp, x11keys.cpp): the key messages are the X server's key events while
//   the window has the keyboard, not the events SDL makes up around focus changes, so that focus
//   changes send and keep what Windows does. ToAsciiEx answers from SDL's key map and the text
//   SDL produced for the press. SetCursorPos takes client coordinates of the program's window,
//   which covers the screen from its top-left corner.
// - Clock (clock.cpp): the system's monotonic clock, which does not count time asleep.
#pragma once

#ifndef PELMORA_PLATFORM_SDL_INTERNALS
#error "platform/sdl/internal.h is private to the SDL platform layer; include platform/platform.h"
#endif

#include "platform/shared/backend.h"
#include "platform/shared/windowing.h"
#include "platform/win32.h"
#include <SDL.h>

// The one window record behind an HWND.
struct PlatformWindow : WindowRecord {
    char title[256] = {};
    SDL_Window* sdlWindow = nullptr; // made by SetPixelFormat or ShowWindow
    SDL_GLContext glContext = nullptr;
    bool pixelFormatSet = false;
};

// A GL context and the window it was made for.
struct PlatformGLContext {
    SDL_GLContext context = nullptr;
    HWND window = nullptr;
};

// The layer's own helpers, shared between its files.
namespace sdl {

// Starts SDL's video subsystem on first use; when it cannot start, prints why on standard error
// and ends the process with a failure status.
void requireVideo();

// The program's window (the last one created), or null.
HWND mainWindow();

// Keyboard (keyboard.cpp): turns an SDL key event into WM_KEYDOWN/WM_KEYUP or
// WM_SYSKEYDOWN/WM_SYSKEYUP posted with platformPostMessage, and keeps the key states that
// GetKeyState answers; remembers the text SDL produced for a key press so that ToAsciiEx can
// answer the layout's character.
void keyEvent(HWND window, const SDL_KeyboardEvent& event);
void textInput(const SDL_TextInputEvent& event);

// The SDL scancode of the key with this set-1 scan code and E0 prefix, or SDL_SCANCODE_UNKNOWN.
SDL_Scancode scancodeOf(uint8_t scanCode, bool extended);

// X key events (x11keys.cpp). The pump hands over every system event that SDL reports ahead of
// the events it makes of an X event, asks keyEventFromServer whether a key event stands
// for an X key event (false for those SDL makes up around focus changes, which Windows does not
// send), and calls systemEventsDone when the queue is empty, so that an X key event that
// SDL passed over still becomes its key message.
void systemEvent(const SDL_SysWMmsg* msg);
bool keyEventFromServer(const SDL_KeyboardEvent& event);
void systemEventsDone();

// Full-screen mode chosen by ChangeDisplaySettingsA (display.cpp), applied when the pop-up
// window's SDL window is made; false when none was set.
bool fullscreenMode(SDL_DisplayMode* mode);
// Called once the window's full-screen mode is applied: the desktop mode comes back when the
// process ends.
void fullscreenApplied(SDL_Window* window);

// Makes the SDL window behind a window record with the given extra SDL flags (SDL_WINDOW_OPENGL
// when a pixel format asks for it), hidden until ShowWindow. A pop-up window covers the screen in
// the mode that ChangeDisplaySettingsA chose, or stays borderless at its own rectangle. When SDL
// cannot make it the process ends with a message on standard error.
void createSdlWindow(HWND window, Uint32 flags);

// The window record behind an SDL window id; the program's window when the id is unknown.
HWND windowForId(Uint32 windowId);

// Installs the SIGINT, SIGTERM and SIGHUP handlers that turn a termination request into
// WM_CLOSE (each only when it was not ignored at start); called when the first window is
// created.
void installSignalHandlers();

} // namespace sdl
