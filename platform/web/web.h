// The Win32 subset that Pelmora calls, for a web browser, over Emscripten. The declarations are
// platform/win32.h (Windows' names, types and encodings); this folder
// implements them over the page's canvas, the browser's events, WebGL through Emscripten's
// OpenGL emulation and its in-memory file system, one file per service. Where the browser
// departs from Windows:
// - Windows and messages (window.cpp, messages.cpp, and platform/shared/windowing.cpp as for
//   the Linux layer): one window, drawn on the page's canvas (Module.canvas); it always covers
//   the page, whatever its position and size say. Pointer
//   events arrive as mouse messages in canvas pixels (device pixels, so a device pixel ratio of 2
//   doubles them) however the page has scaled the canvas since; keys as key messages with
//   Windows' virtual keys and key data. Leaving the page posts WM_CLOSE, which the loop never
//   sees: the page is gone before the next frame. MessageBoxA is the browser's alert.
// - Display modes (display.cpp): the one mode is the canvas's size in device pixels at the moment
//   of the call, 32 bits, refresh rate 0; ChangeDisplaySettingsA accepts only that mode. The
//   browser's own full screen is not used (it needs a click first).
// - GL context (wgl.cpp): a WebGL context made through Emscripten's GLFW, with the descriptor's
//   depth and alpha bits; always double-buffered. SwapBuffers hands control to the browser until
//   its next animation frame (swap interval 1, the default) or at once (interval 0), so the busy
//   main loop runs one pass per displayed frame; the page reads the count of presented frames and
//   their times from Module.presentedFrames, firstFrameTime and lastFrameTime.
// - Keyboard (keyboard.cpp): virtual keys and scan codes come from the key's position
//   (KeyboardEvent.code) through the shared key table; ToAsciiEx answers the character the
//   browser reported for the key's latest press (layout, Shift and Caps Lock applied then, not
//   from keyState), in Windows-1251; the lock keys start as the browser reports them. The
//   browser keeps F5, F11, F12 and Ctrl or Cmd combinations. SetCursorPos cannot move the
//   pointer: FALSE.
// - Clock (clock.cpp): milliseconds since the page's navigation started.
// - Files: the shared POSIX file calls (platform/shared/files.cpp) over the in-memory file
//   system, which holds the page's data file (textures/, data/, and pelmora.conf when the build
//   was given one) at its root, the working directory. Every line written to "pelmora.log" also
//   goes to the browser's console.
// - The end (runtime.js): when main returns, or exit is called, the page hears Module.onExit
//   with the status, also after the loop has handed control to the browser.
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
