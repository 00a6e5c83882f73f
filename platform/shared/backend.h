// The contract between platform/shared and each back end of the Win32 subset (platform/sdl,
// platform/web, and the tests' recording platform in tests/support): who defines each call that
// win32.h declares, as a checklist for a new back end. win32.h says what the engine may rely on;
// a back end's own header (its internal.h) says where it departs from that.
//
// A back end provides:
//  [ ] The records behind the handles: struct PlatformWindow, deriving from WindowRecord
//      (windowing.h), and struct PlatformGLContext.
//  [ ] Windows and messages: ShowWindow, SetForegroundWindow, SetFocus, ShowCursor, MessageBoxA,
//      and the calls below under "The back end's side".
//  [ ] Display modes: EnumDisplaySettingsA, ChangeDisplaySettingsA.
//  [ ] GL context: SetPixelFormat, wglCreateContext, wglMakeCurrent, SwapBuffers, and
//      wglGetProcAddress (platformProcAddress answers it from the back end's GL); the OpenGL 1.1
//      and GLU calls themselves where the system has none.
//  [ ] Keyboard and cursor: GetKeyState, GetKeyboardState and ToAsciiEx over the key tracker
//      (keytracker.h, which posts the key messages from the physical keys the back end reports,
//      with the key table of keytable.h and the characters of text.h), and SetCursorPos.
//  [ ] Clock: timeGetTime.
//
// platform/shared provides the rest, the same for every back end:
//  - windowing.cpp: GetModuleHandleA, LoadIconA, RegisterClassExA, CreateWindowExA with the
//    messages a new window receives, GetDC, ChoosePixelFormat, CreateSolidBrush, the message
//    queue (PeekMessageA, PostMessageA, SendMessageA, TranslateMessage, DispatchMessageA,
//    PostQuitMessage) and DefWindowProcA; platformKeep (windowing.h) holds the records behind
//    the handles.
//  - keytracker.cpp: GetKeyboardLayout, and the key messages with the key states behind them.
//  - files.cpp: every call of the files section (the runtime's low-level I/O, the attribute
//    query, CreateFileA and the handle calls, the working directory).
//
// Back-end helpers that are not part of this contract carry no "platform" prefix and live in a
// namespace named after the back end (sdl::, web::), declared in its internal.h.
#pragma once

#include "platform/win32.h"

struct WindowRecord;

// ---- The back end's side: called by platform/shared ---------------------------------------------

// A new window record for CreateWindowExA, which then fills its WindowRecord part; the back end
// makes it the program's window and starts what its first window needs. The window is of the
// registered class windowClass, made with the parameters that WM_NCCREATE will carry.
HWND platformNewWindow(const WNDCLASSEXA& windowClass, const CREATESTRUCTA& create);
WindowRecord& platformWindowRecord(HWND window);
// Posts a message stamped with the pointer's position (platformQueueMessage).
void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves what the system has gathered since the last call into the queue (platformQueueMessage).
void platformPumpEvents();

// ---- platform/shared's side: called by the back end ---------------------------------------------

// Appends a message, stamped with the time and the given pointer position, to the thread's
// queue, behind the messages already waiting (windowing.cpp).
void platformQueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT pointer);
// Whether any message waits in the thread's queue, for any window (windowing.cpp).
bool platformMessagesWaiting();

// wglGetProcAddress for a back end without WGL: null for a null name or without a current
// context, the back end's own functions for the swap-interval extension ("wglSwapIntervalEXT",
// "wglGetSwapIntervalEXT"), and for every other name what its GL answers (windowing.cpp).
PROC platformProcAddress(LPCSTR name, bool contextCurrent, PROC (*glProcAddress)(LPCSTR),
                         PFNWGLSWAPINTERVALEXTPROC setInterval,
                         PFNWGLGETSWAPINTERVALEXTPROC getInterval);
