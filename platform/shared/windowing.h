// The parts of Win32's windowing that are the same whatever system lies under the platform
// layer: the class registry, the messages a new window receives, the thread's message queue with
// its filters, sending and dispatching, and the default window procedure. Each implementation
// (platform/sdl, platform/web) supplies the window records and the three hooks below.
#pragma once

#include "platform/sdl/win32.h"

// ---- Supplied by each implementation -----------------------------------------------------------
// The window procedure of a window record (its class's, fixed at creation).
WNDPROC platformWindowProcedure(HWND window);
// Posts a message stamped with the time and the pointer's position (platformQueueMessage).
void platformPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves what the system has gathered since the last call into the queue (platformQueueMessage).
void platformPumpEvents();
// Called for every key message PeekMessageA removes from the queue, so that the key states
// follow the messages the program has taken, as on Windows.
void platformKeyMessageTaken(const MSG& msg);

// ---- Provided here
// ------------------------------------------------------------------------------- The class
// registered under the name, or null (RegisterClassExA fills the registry).
const WNDCLASSEXA* platformFindClass(LPCSTR className);
// Sends WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE through the window's procedure,
// as CreateWindowExA does on Windows before it returns; their answers are not examined.
void platformSendCreationMessages(HWND window, const CREATESTRUCTA& create);
// Appends a message to the thread's queue, behind the messages already waiting.
void platformQueueMessage(const MSG& msg);
