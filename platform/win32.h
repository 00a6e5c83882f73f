// The subset of the Win32 interface that Pelmora calls, for systems without Win32: the contract
// that every stand-in implements (platform/sdl over SDL2 and POSIX, platform/web in a web
// browser, and the tests' recording platform), with the code they share in platform/shared.
// Declarations keep Windows' names, types and encodings; the comments say what the engine may
// rely on, which is Windows' behaviour where they do not say otherwise. Each implementation
// states at the top of its own header where it departs from that; platform/shared/backend.h
// lists which calls each implementation defines and which platform/shared defines for all of
// them. Nothing here is a general Win32 emulation: only what the engine uses.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Basic types --------------------------------------------------------------------------------
typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef uint16_t ATOM;
typedef DWORD COLORREF;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef void* LPVOID;
typedef void* HANDLE;

#define WINAPI
#define CALLBACK
#define APIENTRY

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles are opaque pointers, distinct per kind so that the compiler catches mix-ups.
struct PlatformWindow;
struct PlatformDC;
struct PlatformGLContext;
struct PlatformInstance;
struct PlatformIcon;
struct PlatformCursor;
struct PlatformBrush;
struct PlatformMenu;
struct PlatformKeyboardLayout;
typedef PlatformWindow* HWND;
typedef PlatformDC* HDC;
typedef PlatformGLContext* HGLRC;
typedef PlatformInstance* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef PlatformIcon* HICON;
typedef PlatformCursor* HCURSOR;
typedef PlatformBrush* HBRUSH;
typedef PlatformMenu* HMENU;
typedef PlatformKeyboardLayout* HKL;

typedef void (*PROC)(void);
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define GET_WHEEL_DELTA_WPARAM(wParam) ((short)HIWORD(wParam))
#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define MAKEINTRESOURCEA(i) ((LPSTR)((uintptr_t)((WORD)(i))))

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

#define MAKELPARAM(low, high) ((LPARAM)(DWORD)(((WORD)(low)) | (((DWORD)(WORD)(high)) << 16)))

// ---- Windows and messages -----------------------------------------------------------------------
struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

#define CS_OWNDC 0x0020

#define WS_POPUP 0x80000000u
#define WS_VISIBLE 0x10000000u
#define WS_EX_APPWINDOW 0x00040000u

#define SW_HIDE 0
#define SW_SHOW 5

#define MB_OK 0x00000000u
#define MB_ICONERROR 0x00000010u
#define IDOK 1

#define SIZE_RESTORED 0
#define WA_INACTIVE 0
#define WA_ACTIVE 1

#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_GETMINMAXINFO 0x0024
#define WM_NCCREATE 0x0081
#define WM_NCCALCSIZE 0x0083
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MOUSEWHEEL 0x020A
#define WM_USER 0x0400

#define SC_CLOSE 0xF060

#define WHEEL_DELTA 120

// Mouse-message key flags in wParam.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

HMODULE GetModuleHandleA(LPCSTR moduleName);
// Icons are not shown; the handle only stands for the standard icon.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
// Remembers the class by name; answers 0 for a null name or window procedure, or a name already
// registered.
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
// Sends WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE and WM_MOVE through the class's window
// procedure before it returns, as Windows does; their answers are not examined: the window is
// always made.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL ShowWindow(HWND window, int command);
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
// Answers the display counter as Windows does (0 or below: hidden).
int ShowCursor(BOOL show);
// The caption defaults to "Error", as on Windows. Of the type, only MB_ICONERROR is looked at,
// by a system whose boxes come in an error kind.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Alt+F4 (WM_SYSKEYDOWN with VK_F4 and the Alt flag) sends WM_SYSCOMMAND with SC_CLOSE, which
// sends WM_CLOSE, as on Windows; WM_NCCREATE answers TRUE; every other message answers 0 (WM_CLOSE
// does not destroy the window).
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The system's events arrive as window messages with Win32's encodings: mouse position in the
// low and high words of lParam (client pixels), wheel delta in multiples of 120 in the high word
// of wParam, key messages with virtual key and key data. The window and the message range filter
// as on Windows (0, 0: every message).
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
// Character messages are not generated (the engine translates keys with ToAsciiEx itself).
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Display modes ------------------------------------------------------------------------------
#define CCHDEVICENAME 32
#define CCHFORMNAME 32

struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
};

#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define CDS_FULLSCREEN 0x00000004u
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_BADMODE (-2)
#define DM_BITSPERPEL 0x00040000u
#define DM_PELSWIDTH 0x00080000u
#define DM_PELSHEIGHT 0x00100000u
#define DM_DISPLAYFREQUENCY 0x00400000u

// With ENUM_CURRENT_SETTINGS, the primary display's desktop mode; with 0, 1, ... the modes the
// display offers. Only the primary display (a null name).
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* mode);
// With CDS_FULLSCREEN: accepts a mode the display offers (width, height, depth and, unless 0,
// refresh rate; the desktop mode always counts), DISP_CHANGE_BADMODE for any other mode. A null
// mode restores the desktop mode.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// ---- GDI and the GL context ---------------------------------------------------------------------
struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};

#define PFD_DOUBLEBUFFER 0x00000001u
#define PFD_DRAW_TO_WINDOW 0x00000004u
#define PFD_SUPPORT_OPENGL 0x00000020u
#define PFD_TYPE_RGBA 0
#define PFD_MAIN_PLANE 0

HDC GetDC(HWND window);
// Answers 1 for any RGBA descriptor that asks for OpenGL: the implementation's SetPixelFormat
// chooses the real format.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor);
// Fails for a second call on the same window, as on Windows.
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
HGLRC wglCreateContext(HDC dc);
BOOL wglMakeCurrent(HDC dc, HGLRC context);
BOOL SwapBuffers(HDC dc);
// Needs a current context.
PROC wglGetProcAddress(LPCSTR name);
HBRUSH CreateSolidBrush(COLORREF colour);

typedef BOOL (*PFNWGLSWAPINTERVALEXTPROC)(int interval);
typedef int (*PFNWGLGETSWAPINTERVALEXTPROC)(void);

// ---- Keyboard and cursor ------------------------------------------------------------------------
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_KANA 0x15
#define VK_HANGUL 0x15
#define VK_HANJA 0x19
#define VK_ESCAPE 0x1B
#define VK_CONVERT 0x1C
#define VK_NONCONVERT 0x1D
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_SLEEP 0x5F
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_F13 0x7C
#define VK_F14 0x7D
#define VK_F15 0x7E
#define VK_F16 0x7F
#define VK_F17 0x80
#define VK_F18 0x81
#define VK_F19 0x82
#define VK_F20 0x83
#define VK_F21 0x84
#define VK_F22 0x85
#define VK_F23 0x86
#define VK_F24 0x87
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_OEM_NEC_EQUAL 0x92
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_BROWSER_BACK 0xA6
#define VK_BROWSER_FORWARD 0xA7
#define VK_BROWSER_REFRESH 0xA8
#define VK_BROWSER_STOP 0xA9
#define VK_BROWSER_SEARCH 0xAA
#define VK_BROWSER_FAVORITES 0xAB
#define VK_BROWSER_HOME 0xAC
#define VK_VOLUME_MUTE 0xAD
#define VK_VOLUME_DOWN 0xAE
#define VK_VOLUME_UP 0xAF
#define VK_MEDIA_NEXT_TRACK 0xB0
#define VK_MEDIA_PREV_TRACK 0xB1
#define VK_MEDIA_STOP 0xB2
#define VK_MEDIA_PLAY_PAUSE 0xB3
#define VK_LAUNCH_MAIL 0xB4
#define VK_LAUNCH_MEDIA_SELECT 0xB5
#define VK_LAUNCH_APP1 0xB6
#define VK_LAUNCH_APP2 0xB7
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_OEM_102 0xE2
// The Japanese keyboard's Katakana and Hiragana keys, as the IME header names them.
#define VK_DBE_KATAKANA 0xF1
#define VK_DBE_HIRAGANA 0xF2

// Follow the key messages the program has taken from the queue: high bit while down, low bit the
// toggle state (Caps, Num and Scroll Lock toggle on each press). VK_SHIFT, VK_CONTROL and VK_MENU
// combine their left and right keys.
short GetKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* keyState);
// The layout is the one the system currently applies; the handle only names it.
HKL GetKeyboardLayout(DWORD threadId);
// The character the current layout puts on the key with the Shift and Caps state of keyState,
// as a Windows-1251 byte (Latin and Cyrillic letters, digits, punctuation): answers 1 with the
// byte in the low byte of buffer[0], or 0 where the key makes no character. Dead keys and
// two-character results are not produced.
int ToAsciiEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* buffer, UINT flags,
              HKL layout);
// Places the pointer at screen coordinates.
BOOL SetCursorPos(int x, int y);

// ---- Clock --------------------------------------------------------------------------------------
// Milliseconds since the system started, cut to 32 bits so that the count wraps as on Windows.
DWORD timeGetTime(void);

// ---- Files and the working directory ------------------------------------------------------------
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400u
#define MAX_PATH 260

// A pipe, socket or device node, which Windows has no file for, reads as FILE_ATTRIBUTE_DEVICE;
// a symbolic link as FILE_ATTRIBUTE_REPARSE_POINT, as Windows reports its links, with the
// directory or device flag of what it leads to.
DWORD GetFileAttributesA(LPCSTR path);

// Reparse tags: what kind of reparse point a name is. A set name-surrogate bit means the name
// stands for another file or directory (a link, a junction, a mount point); without it the file
// is the data itself, held elsewhere (a cloud provider's placeholder, a deduplicated file).
#define IO_REPARSE_TAG_MOUNT_POINT 0xA0000003u
#define IO_REPARSE_TAG_SYMLINK 0xA000000Cu
#define IsReparseTagNameSurrogate(tag) ((tag)&0x20000000u)

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define FILE_FLAG_OPEN_REPARSE_POINT 0x00200000u

// Opens a file for writing (GENERIC_WRITE only), creating it for OPEN_ALWAYS; regular files only,
// refused at once as by _open. With FILE_FLAG_OPEN_REPARSE_POINT a symbolic link at the name is
// not followed: POSIX cannot open the link itself, so the open fails, as a caller that refuses
// links would have it. Share modes bind nothing. INVALID_HANDLE_VALUE when it fails.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL CloseHandle(HANDLE object);

enum FILE_INFO_BY_HANDLE_CLASS { FileAttributeTagInfo = 9 };
struct FILE_ATTRIBUTE_TAG_INFO {
    DWORD FileAttributes;
    DWORD ReparseTag;
};
// Only FileAttributeTagInfo: the open file's attributes as GetFileAttributesA gives them, and
// tag 0 (an open file is never a link here).
BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* information,
                                  DWORD size);

// The C runtime's low-level I/O under its Windows names; POSIX has no text/binary distinction,
// so _O_BINARY and _O_TEXT are 0.
#define _O_RDONLY 0x0000
#define _O_WRONLY 0x0001
#define _O_RDWR 0x0002
#define _O_CREAT 0x0100
#define _O_TRUNC 0x0200
#define _O_BINARY 0x0000
#define _O_TEXT 0x0000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080
#define _SH_DENYNO 0x40
#define _LK_UNLCK 0
#define _LK_NBLCK 2

// Opens regular files only: anything else (a directory, a pipe without a writer, a device) fails
// with EACCES at once, as a directory does on Windows, instead of blocking or reading forever.
int _open(const char* path, int flags, ...);
int _read(int fd, void* buffer, unsigned int count);
int _write(int fd, const void* buffer, unsigned int count);
long _lseek(int fd, long offset, int origin);
// 1 at the end of the file, 0 before it, -1 for a bad descriptor (as the Windows runtime).
int _eof(int fd);
// Locks (_LK_NBLCK) or unlocks (_LK_UNLCK) count bytes from the file position, which may lie
// beyond the end; a lock another descriptor holds on any of them fails it at once with EACCES.
// The lock belongs to the descriptor and ends with it, as on Windows, and binds only programs
// that lock too: Windows also keeps others' reads and writes off the bytes. The descriptor must
// be open for writing.
int _locking(int fd, int mode, long count);
int _close(int fd);
// A descriptor for a handle from CreateFileA, which it takes over: _close closes the handle.
int _open_osfhandle(intptr_t handle, int flags);
// Sets the file's length; 0 empties it.
int _chsize(int fd, long size);
// Answers null and sets errno to ERANGE when the path does not fit, as the runtime does.
char* _getcwd(char* buffer, int size);
int _chdir(const char* path);
