// The Win32 subset that Pelmora calls, for a web browser, over Emscripten. The declarations are
// platform/win32.h (Windows' names, types and encodings); this folder implements them over the
// page's canvas, the browser's events, WebGL through Emscripten's OpenGL emulation and its
// in-memory file system, one file per service; the JavaScript they need beyond
// <emscripten/html5.h> is library.js. Where the browser departs from Windows:
// - Windows and messages (window.cpp, messages.cpp, and platform/shared/windowing.cpp as for
//   the Linux layer): one window, drawn on the page's canvas (Module.canvas), whatever its
//   position and size say. Pointer events arrive as mouse messages in canvas pixels, the
//   picture's own, mapped from the canvas's box on the page however large it is shown; keys as
//   key messages with Windows' virtual keys and key data. Only the primary pointer counts, as
//   Windows promotes only the first finger to the mouse; a press or release where no move has
//   taken the pointer (a finger's or a pen's tap) comes after a WM_MOUSEMOVE to its point, as
//   Windows delivers a touch turned into mouse input. The canvas captures the pointer from its
//   press to its release, so a release outside the canvas arrives, its position outside the
//   picture; a pointer the browser cancels releases the buttons it held. Neither the canvas nor
//   the page scrolls or zooms under a finger. Leaving the page posts WM_CLOSE, which the loop
//   never sees: the page is gone before the next frame. A page that the browser keeps in its
//   back/forward cache (pagehide with persisted) is not closed: Back shows it playing on where it
//   stood. MessageBoxA is the browser's alert.
// - Display modes (display.cpp): the one mode is 1024 x 768, 32 bits, refresh rate 0, whatever
//   the page's size and pixel density: the picture the game's background and layout are made for
//   (a mode of the page's size would leave the background short of it, or cut the flower off on
//   an upright phone). ChangeDisplaySettingsA accepts only that mode. The canvas holds the
//   picture at those pixels and the browser scales it into the largest box of its shape that
//   fits the page, centred on whole device pixels, with the page's black beside or above it; the
//   box is fitted again before every frame, so a resize or a rotation is followed at once.
//   Drawing at the screen's own resolution would change the picture (the engine draws in mode
//   pixels), so the browser's scaling stands in for a monitor's. The browser's own full screen
//   is not used (it needs a click first).
// - GL context (wgl.cpp): a WebGL context made through Emscripten's GLFW, with the descriptor's
//   depth and alpha bits; always double-buffered. After SwapBuffers, the next PeekMessageA hands
//   control to the browser until its next animation frame (swap interval 1, the default) or at
//   once (interval 0), so the busy main loop runs one pass per displayed frame and finds the
//   events of the wait in the queue; a loop that shows no frame gives control at the first
//   PeekMessageA after one that found the queue empty, so the page never freezes; the page reads
//   the count of presented frames and their times from Module.presentedFrames, firstFrameTime and
//   lastFrameTime.
// - Keyboard (keyboard.cpp, through html5.h's key, blur and visibility events): virtual keys and
//   scan codes come from the key's position (KeyboardEvent.code) through the shared key table;
//   ToAsciiEx answers the character the browser reported for the key's latest press (layout, Shift
//   and Caps Lock applied then, not from keyState), in Windows-1251; the lock keys start as the
//   browser reports them. The browser keeps F5, F11, F12 and Ctrl or Cmd combinations. A page that
//   loses the keyboard (the window or the tab loses the focus, the page is hidden) hears nothing
//   of the keys let go meanwhile; as on Windows, no release is posted for them, but the key
//   tracker forgets them, so that after Alt+Tab away and back Escape is a plain key again.
//   SetCursorPos cannot move the pointer: FALSE.
// - Clock (clock.cpp): a random 32-bit origin drawn at each load (crypto.getRandomValues),
//   carried on by the page's monotonic clock and cut to 32 bits: like Windows' count since an
//   unknown boot, nothing about the load tells it, so that two pages started at the same moment
//   show different flowers as often as chance says, and it never runs backwards.
// - Pointer (window.cpp): ShowCursor hides or shows the pointer over the canvas; shown again over
//   the running game (the game gives it back with the verdict), it is told to the page
//   (Module.onPointerBack), which then offers another round.
// - Files: the shared POSIX file calls (platform/shared/files.cpp) over the in-memory file system,
//   which holds the page's data file (textures/, data/, and pelmora.conf when the build was given
//   one) at its root, the working directory. Every line written to "pelmora.log" also goes to the
//   browser's console, after the frame that wrote it or at the end. _locking always succeeds: a
//   page runs one copy of the game, and nothing else reaches its files.
// - The end (library.js): when main returns, or exit is called, the page hears Module.onExit with
//   the status; once the loop has handed control to the browser, a main that returns is heard with
//   status 0 (the game's main returns 0 there), and an exception reaches the window's error
//   listeners.
// - The page (index.html and its script, page.js): it fetches the data file itself and hands it to
//   the program's loader (Module.getPreloadedPackage) only when the server answered with success
//   and the length is the package's; otherwise, on a page opened from disk (file://), and on an
//   exception that nothing caught, it says what went wrong and what to do instead of starting or
//   playing on. Its "Play again" button takes the keyboard's focus when the game ends, answers
//   Enter and Space before the game's key listener does, and Tab reaches it again once focus is
//   lost; the offer of another round after the verdict answers a click, a tap, or Tab then Enter
//   or Space, and leaves Escape to the game. While the game runs the page cancels the release of
//   a mouse's Back and Forward buttons, which would navigate away. On a new release it waits
//   before the program starts, and loads itself once more as the new release (page.js).
// - OpenGL: what the emulation lacks is supplied by this layer (gl.cpp, glu.cpp):
//   gluBuild2DMipmaps (box-filtered levels, each uploaded with the pixel format as its internal
//   format, as WebGL requires), and glPushAttrib/glPopAttrib for the enable bits of
//   the capabilities switched through glEnable/glDisable. glBegin(GL_POLYGON) draws a triangle
//   fan (the same pixels for the convex polygons the engine draws), the GL_CLAMP wrap mode is
//   GL_CLAMP_TO_EDGE, and an 8-bit GL_ALPHA image is stored as white GL_LUMINANCE_ALPHA, which
//   modulates as GL_ALPHA does (WebGL's alpha textures have black colour, which the emulation
//   multiplies in; replace mode would show them white, where a desktop GL keeps the colour).
#pragma once

#include "platform/win32.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>

// The emulation refuses GL_POLYGON and GL_CLAMP, reads GL_ALPHA textures as black in
// GL_MODULATE, and does not track enable bits: engine code reaches these entry points through the
// layer, which passes everything else through unchanged.
void webBegin(GLenum mode);
void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                   GLint border, GLenum format, GLenum type, const void* pixels);
void webTexParameteri(GLenum target, GLenum name, GLint value);
void webEnable(GLenum capability);
void webDisable(GLenum capability);
#define glBegin webBegin
#define glTexImage2D webTexImage2D
#define glTexParameteri webTexParameteri
#define glEnable webEnable
#define glDisable webDisable
