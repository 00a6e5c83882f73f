// The one header through which engine code reaches the operating system.
// On Windows it is the real Win32, GDI, WGL and WINMM API plus the C runtime's low-level I/O;
// elsewhere it is the small subset of that API the engine calls (win32.h), implemented over SDL2
// and POSIX (platform/sdl) or, in a web browser, over Emscripten (platform/web). Engine code never
// includes SDL or <windows.h> itself.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/locking.h>
#include <sys/stat.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>
#include <GL/wglext.h>
#elif defined(__EMSCRIPTEN__)
#include "web/web.h" // the same subset in a web browser, with the OpenGL that WebGL lacks
#else
#include "win32.h" // implemented by platform/sdl
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>
#endif

// Directory separator that the runtime's getcwd uses on this platform.
#ifdef _WIN32
#define PLATFORM_PATH_SEPARATOR '\\'
#else
#define PLATFORM_PATH_SEPARATOR '/'
#endif
