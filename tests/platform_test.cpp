// The SDL/POSIX platform layer seen through its Win32 names: message encodings of injected SDL
// events, close requests and signals, the creation messages, display modes, a real GL context,
// the clock, the file calls, and how a program ends when video cannot start.
#include "platform/platform.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GlContext.h"
#include "tests/support/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Received> received;
std::string titleAtCreate;

LRESULT recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({window, message, wParam, lParam});
    if (message == WM_CREATE)
        titleAtCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpszName;
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClass(const char* name) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
}

HGLRC sharedContext = nullptr;

// One GL window for the whole process, made the way the engine makes its own.
HWND sharedWindow() {
    static HWND window = [] {
        registerClass("PlatformTest");
        HWND made = CreateWindowExA(0, "PlatformTest", "Platform Test", 0, 0, 0, 64, 48, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        HDC dc = GetDC(made);
        const PIXELFORMATDESCRIPTOR descriptor = testsupport::glPixelFormat(16);
        SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor);
        sharedContext = wglCreateContext(dc);
        wglMakeCurrent(dc, sharedContext);
        ShowWindow(made, SW_SHOW);
        return made;
    }();
    return window;
}

// A pop-up window made and shown the way the engine makes its own; the SDL window behind it.
SDL_Window* shownPopup(const char* title) {
    registerClass("PlatformPopup");
    HWND popup = CreateWindowExA(WS_EX_APPWINDOW, "PlatformPopup", title, WS_POPUP, 0, 0, 100, 80,
                                 nullptr, nullptr, nullptr, nullptr);
    HDC dc = GetDC(popup);
    const PIXELFORMATDESCRIPTOR descriptor = testsupport::glPixelFormat(16);
    SetPixelFormat(dc, ChoosePixelFormat(dc, &descriptor), &descriptor);
    wglMakeCurrent(dc, wglCreateContext(dc));
    ShowWindow(popup, SW_SHOW);
    return SDL_GL_GetCurrentWindow();
}

class Messages : public testing::Test {
protected:
    void SetUp() override {
        window = sharedWindow();
        sdlWindow = SDL_GL_GetCurrentWindow();
        ASSERT_NE(sdlWindow, nullptr);
        dispatchAll();
        received.clear();
    }

    void dispatchAll() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    std::vector<Received> dispatched(UINT message) {
        dispatchAll();
        std::vector<Received> found;
        for (const Received& r : received)
            if (r.message == message)
                found.push_back(r);
        return found;
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    SDL_Event mouseButton(Uint32 type, Uint8 button, int x, int y) {
        SDL_Event event = {};
        event.button.type = type;
        event.button.windowID = SDL_GetWindowID(sdlWindow);
        event.button.button = button;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
        return event;
    }

    SDL_Event wheel(int notches, Uint32 direction) {
        SDL_Event event = {};
        event.wheel.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = SDL_GetWindowID(sdlWindow);
        event.wheel.y = notches;
        event.wheel.preciseY = float(notches);
        event.wheel.direction = direction;
        event.wheel.mouseX = 15;
        event.wheel.mouseY = 25;
        return event;
    }

    HWND window = nullptr;
    SDL_Window* sdlWindow = nullptr;
};

TEST_F(Messages, MouseMotionPutsClientXInLowWordAndYInHighWord) {
    SDL_Event event = {};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(sdlWindow);
    event.motion.x = 300;
    event.motion.y = 200;
    event.motion.state = SDL_BUTTON_LMASK;
    push(event);
    const auto moves = dispatched(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].window, window);
    EXPECT_EQ(LOWORD(moves[0].lParam), 300);
    EXPECT_EQ(HIWORD(moves[0].lParam), 200);
    EXPECT_EQ(moves[0].wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON), WPARAM(MK_LBUTTON));
}

TEST_F(Messages, NegativeMouseXStaysInItsOwnWord) {
    SDL_Event event = {};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(sdlWindow);
    event.motion.x = -5;
    event.motion.y = 7;
    push(event);
    const auto moves = dispatched(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(short(LOWORD(moves[0].lParam)), -5);
    EXPECT_EQ(HIWORD(moves[0].lParam), 7);
}

TEST_F(Messages, ButtonsArriveAsTheirDownAndUpMessagesWithHeldFlags) {
    struct Case {
        Uint8 button;
        UINT down, up;
        WPARAM flag;
    } cases[] = {{SDL_BUTTON_LEFT, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
                 {SDL_BUTTON_MIDDLE, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
                 {SDL_BUTTON_RIGHT, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON}};
    for (const Case& c : cases) {
        received.clear();
        push(mouseButton(SDL_MOUSEBUTTONDOWN, c.button, 10, 20));
        push(mouseButton(SDL_MOUSEBUTTONUP, c.button, 11, 21));
        const auto downs = dispatched(c.down);
        const auto ups = dispatched(c.up);
        ASSERT_EQ(downs.size(), 1u) << "button " << int(c.button);
        ASSERT_EQ(ups.size(), 1u) << "button " << int(c.button);
        EXPECT_EQ(LOWORD(downs[0].lParam), 10);
        EXPECT_EQ(HIWORD(downs[0].lParam), 20);
        EXPECT_EQ(LOWORD(ups[0].lParam), 11);
        EXPECT_EQ(HIWORD(ups[0].lParam), 21);
        EXPECT_EQ(downs[0].wParam & c.flag, c.flag);
        EXPECT_EQ(ups[0].wParam & c.flag, 0u);
    }
}

TEST_F(Messages, WheelDeltaIsSignedMultipleOf120WithScreenPosition) {
    push(wheel(1, SDL_MOUSEWHEEL_NORMAL));
    push(wheel(-2, SDL_MOUSEWHEEL_NORMAL));
    push(wheel(1, SDL_MOUSEWHEEL_FLIPPED));
    const auto wheels = dispatched(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 3u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), 120);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), -240);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[2].wParam), -120);
    int left = 0, top = 0;
    SDL_GetWindowPosition(sdlWindow, &left, &top);
    EXPECT_EQ(LOWORD(wheels[0].lParam), left + 15);
    EXPECT_EQ(HIWORD(wheels[0].lParam), top + 25);
}

TEST_F(Messages, WindowCloseRequestBecomesWmClose) {
    SDL_Event event = {};
    event.window.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(sdlWindow);
    push(event);
    const auto closes = dispatched(WM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].window, window);
}

TEST_F(Messages, SdlQuitBecomesWmCloseForTheProgramWindow) {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    push(event);
    const auto closes = dispatched(WM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].window, window);
}

TEST_F(Messages, TerminationSignalsBecomeWmClose) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        received.clear();
        ASSERT_EQ(std::raise(signal), 0);
        const auto closes = dispatched(WM_CLOSE);
        ASSERT_EQ(closes.size(), 1u) << "signal " << signal;
        EXPECT_EQ(closes[0].window, window);
    }
}

TEST_F(Messages, AltF4ThroughDefaultHandlingClosesButF4AloneDoesNot) {
    SendMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x003E0001);
    EXPECT_TRUE(dispatched(WM_CLOSE).empty());
    SendMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x203E0001);
    EXPECT_EQ(dispatched(WM_CLOSE).size(), 1u);
}

TEST_F(Messages, PostedQuitIsAnOrdinaryMessageAndTheQueueGoesOn) {
    PostQuitMessage(3);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 1));
    EXPECT_EQ(msg.hwnd, window);
}

TEST_F(Messages, NoRemoveLeavesTheMessageAtTheFront) {
    PostMessageA(window, WM_USER + 5, 7, 8);
    PostMessageA(window, WM_USER + 6, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 6));
}

// A filtered peek skips what its filters refuse and leaves it waiting in its place.
TEST_F(Messages, FiltersTakeTheFirstMessageOfTheirWindowAndInclusiveRange) {
    PostMessageA(nullptr, WM_USER + 1, 1, 0); // a thread message, for no window
    PostMessageA(window, WM_USER + 3, 2, 0);
    PostMessageA(window, WM_USER + 2, 3, 0);
    PostMessageA(window, WM_USER + 1, 4, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER + 1, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER + 1, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_USER + 1, WM_USER + 2, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 3, PM_REMOVE));
}

TEST(WindowCreation, CreationMessagesReachTheProcedureBeforeCreateReturns) {
    registerClass("PlatformCreation");
    received.clear();
    titleAtCreate.clear();
    HWND window = CreateWindowExA(0, "PlatformCreation", "Created", 0, 0, 0, 32, 32, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    std::vector<UINT> order;
    for (const Received& r : received) {
        EXPECT_EQ(r.window, window);
        order.push_back(r.message);
    }
    const std::vector<UINT> expected = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE};
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(std::vector<UINT>(order.begin(), order.begin() + 3), expected);
    EXPECT_EQ(titleAtCreate, "Created");
}

TEST(WindowCreation, ClassNamesRegisterOnceAndUnknownClassesMakeNoWindow) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.lpszClassName = "PlatformOnce";
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(CreateWindowExA(0, "PlatformNeverRegistered", "", 0, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
}

TEST(WindowCreation, CursorCounterFollowsShowAndHideCalls) {
    sharedWindow();
    const int start = ShowCursor(TRUE) - 1;
    EXPECT_EQ(ShowCursor(FALSE), start);
    EXPECT_EQ(ShowCursor(FALSE), start - 1);
    EXPECT_EQ(ShowCursor(TRUE), start);
    // Windows shows the pointer while the counter is 0 or above.
    while (ShowCursor(FALSE) >= 0) {
    }
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

class DisplayModes : public testing::Test {
protected:
    void TearDown() override { ChangeDisplaySettingsA(nullptr, 0); }

    DEVMODEA desktop() {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        EXPECT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
        return mode;
    }
};

TEST_F(DisplayModes, CurrentSettingsAnswerTheDesktopMode) {
    const DEVMODEA mode = desktop();
    SDL_DisplayMode sdlMode;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &sdlMode), 0);
    EXPECT_EQ(mode.dmPelsWidth, DWORD(sdlMode.w));
    EXPECT_EQ(mode.dmPelsHeight, DWORD(sdlMode.h));
    // The offscreen driver's desktop is RGB888 in four-byte pixels.
    EXPECT_EQ(mode.dmBitsPerPel, DWORD(SDL_BYTESPERPIXEL(sdlMode.format) * 8));
    EXPECT_EQ(mode.dmBitsPerPel, 32u);
    EXPECT_EQ(mode.dmDisplayFrequency, DWORD(sdlMode.refresh_rate));
    const DWORD fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    EXPECT_EQ(mode.dmFields & fields, fields);
}

TEST_F(DisplayModes, DesktopModeIsAcceptedAndRememberedForFullScreen) {
    DEVMODEA mode = desktop();
    mode.dmDisplayFrequency = 0;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    SDL_Window* full = shownPopup("Full");
    SDL_DisplayMode chosen;
    ASSERT_EQ(SDL_GetWindowDisplayMode(full, &chosen), 0) << SDL_GetError();
    EXPECT_EQ(DWORD(chosen.w), mode.dmPelsWidth);
    EXPECT_EQ(DWORD(chosen.h), mode.dmPelsHeight);
}

TEST_F(DisplayModes, ModesTheDisplayDoesNotOfferAreRefused) {
    sharedWindow();
    DEVMODEA mode = desktop();
    mode.dmPelsWidth = 123;
    mode.dmPelsHeight = 45;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    mode = desktop();
    mode.dmBitsPerPel = 16;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    mode = desktop();
    mode.dmDisplayFrequency = 1234;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_FALSE(SDL_GetWindowFlags(shownPopup("Plain")) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(DisplayModes, PopupWindowIsFullScreenOnlyAfterAModeSwitch) {
    DEVMODEA mode = desktop();
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    SDL_Window* full = shownPopup("Full");
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(full) & SDL_WINDOW_FULLSCREEN);

    ChangeDisplaySettingsA(nullptr, 0);
    SDL_Window* plain = shownPopup("Plain");
    ASSERT_NE(plain, nullptr);
    const Uint32 flags = SDL_GetWindowFlags(plain);
    EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
    EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
    int width = 0, height = 0;
    SDL_GetWindowSize(plain, &width, &height);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 80);
}

class GLContext : public testing::Test {
protected:
    void SetUp() override {
        window = sharedWindow();
        ASSERT_NE(sharedContext, nullptr);
        ASSERT_TRUE(wglMakeCurrent(GetDC(window), sharedContext));
    }
    HWND window = nullptr;
};

TEST_F(GLContext, ClearedColourReadsBack) {
    glViewport(0, 0, 64, 48);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(3, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 51, 1);
    EXPECT_NEAR(pixel[1], 102, 1);
    EXPECT_NEAR(pixel[2], 153, 1);
    EXPECT_TRUE(SwapBuffers(GetDC(window)));
}

// Double buffering cannot be seen here: the offscreen driver's surfaces are single-buffered
// whatever was asked (under X the same check answers true).
TEST_F(GLContext, PixelFormatAsksForDepthAndIsSetOnce) {
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    const PIXELFORMATDESCRIPTOR descriptor = testsupport::glPixelFormat(16);
    EXPECT_FALSE(SetPixelFormat(GetDC(window), 1, &descriptor));
}

TEST_F(GLContext, SwapIntervalEntryPointsComeFromThisLayer) {
    auto setInterval =
        reinterpret_cast<PFNWGLSWAPINTERVALEXTPROC>(wglGetProcAddress("wglSwapIntervalEXT"));
    auto getInterval =
        reinterpret_cast<PFNWGLGETSWAPINTERVALEXTPROC>(wglGetProcAddress("wglGetSwapIntervalEXT"));
    ASSERT_NE(setInterval, nullptr);
    ASSERT_NE(getInterval, nullptr);
    const BOOL set = setInterval(0);
    EXPECT_EQ(getInterval(), SDL_GL_GetSwapInterval());
    // Only the offscreen driver's EGL takes a swap interval; Mesa under Xvfb refuses it.
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") == 0) {
        EXPECT_TRUE(set);
        EXPECT_EQ(getInterval(), 0);
    }
}

TEST_F(GLContext, NoEntryPointsWithoutACurrentContext) {
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetProcAddress("wglSwapIntervalEXT"), nullptr);
    EXPECT_EQ(wglGetProcAddress("glActiveTextureARB"), nullptr);
    ASSERT_TRUE(wglMakeCurrent(GetDC(window), sharedContext));
    EXPECT_NE(wglGetProcAddress("glActiveTextureARB"), nullptr);
}

TEST(Clock, CountsMillisecondsSinceBootNotSinceStart) {
    std::ifstream uptimeFile("/proc/uptime");
    double uptimeSeconds = 0;
    ASSERT_TRUE(uptimeFile >> uptimeSeconds);
    const DWORD now = timeGetTime();
    const uint64_t uptime = uint64_t(uptimeSeconds * 1000.0);
    if (uptime < (uint64_t(1) << 32)) {
        // The boot clock also counts time asleep, so the monotonic one may only be behind it.
        EXPECT_LE(uint64_t(now), uptime + 1000);
        EXPECT_TRUE(uptime <= 60000 || now > 30000u) << "the clock seems to start with the program";
    }
}

TEST(Clock, NeverRunsBackwardsAndCountsMilliseconds) {
    const DWORD first = timeGetTime();
    SDL_Delay(25);
    const DWORD second = timeGetTime();
    const DWORD elapsed = second - first;
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 2000u);
}

class Files : public testing::Test {
protected:
    // A directory inside the test's own working directory, which goes with it.
    void SetUp() override {
        directory = std::filesystem::current_path().string() + "/files";
        ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
        path = directory + "/file.bin";
    }
    void writeFile(const char* text) {
        const int fd =
            _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
        ASSERT_GE(fd, 0);
        const unsigned length = unsigned(std::strlen(text));
        EXPECT_EQ(_write(fd, text, length), int(length));
        EXPECT_EQ(_close(fd), 0);
    }
    std::string directory, path;
};

TEST_F(Files, CreatedFileIsOwnerReadWriteOnly) {
    writeFile("x");
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(Files, ReadSeekAndEndOfFileFollowThePosition) {
    writeFile("hello world");
    const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_eof(fd), 0);
    char buffer[32] = {};
    EXPECT_EQ(_read(fd, buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(_lseek(fd, 0, SEEK_END), 11);
    EXPECT_EQ(_eof(fd), 1);
    EXPECT_EQ(_lseek(fd, -5, SEEK_END), 6);
    EXPECT_EQ(_eof(fd), 0);
    EXPECT_EQ(_lseek(fd, 1, SEEK_CUR), 7);
    EXPECT_EQ(_read(fd, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "orld");
    EXPECT_EQ(_eof(fd), 1);
    EXPECT_EQ(_read(fd, buffer, sizeof buffer), 0);
    EXPECT_EQ(_lseek(fd, 2, SEEK_SET), 2);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(_eof(fd), -1);
}

TEST_F(Files, TruncateEmptiesAndReadOnlyCannotWrite) {
    writeFile("long contents");
    writeFile("ab");
    const int fd = _open(path.c_str(), _O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_lseek(fd, 0, SEEK_END), 2);
    EXPECT_EQ(_write(fd, "z", 1), -1);
    _close(fd);
    EXPECT_EQ(_open((directory + "/missing").c_str(), _O_RDONLY), -1);
}

TEST_F(Files, AttributesTellFilesDirectoriesPipesLinksAndMissingPaths) {
    writeFile("x");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesA(directory.c_str()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesA((directory + "/missing").c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string link = directory + "/link";
    std::filesystem::create_symlink(path, link);
    EXPECT_EQ(GetFileAttributesA(link.c_str()), FILE_ATTRIBUTE_REPARSE_POINT);
    std::remove(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), FILE_ATTRIBUTE_DEVICE);
    EXPECT_EQ(GetFileAttributesA(link.c_str()),
              FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE);
}

// The log's open: with FILE_FLAG_OPEN_REPARSE_POINT a link at the name is not followed, a
// directory or a pipe is refused at once, and the handle becomes a descriptor of the file.
TEST_F(Files, FileOpenedAsAHandleFollowsNoLinkAndOpensOnlyFiles) {
    writeFile("old contents");
    const std::string link = directory + "/link";
    std::filesystem::create_symlink(path, link);
    const auto openHere = [](const std::string& name) {
        return CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    };
    EXPECT_EQ(openHere(link), INVALID_HANDLE_VALUE);
    EXPECT_EQ(openHere(directory), INVALID_HANDLE_VALUE);
    const HANDLE file = openHere(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILE_ATTRIBUTE_TAG_INFO info = {};
    EXPECT_TRUE(GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info));
    EXPECT_EQ(info.FileAttributes, DWORD(FILE_ATTRIBUTE_NORMAL));
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY);
    EXPECT_EQ(_chsize(fd, 0), 0);
    EXPECT_EQ(_write(fd, "new", 3), 3);
    EXPECT_EQ(_close(fd), 0);
    EXPECT_EQ(testsupport::readFile(path), "new");
    std::remove(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(openHere(path), INVALID_HANDLE_VALUE);
}

// Locks belong to the descriptor, as on Windows: a second one, in the same process too, is
// refused until the first unlocks or closes, and the bytes may lie beyond the end.
TEST_F(Files, LockedBytesRefuseAnotherDescriptorUntilReleased) {
    writeFile("x");
    const int first = _open(path.c_str(), _O_WRONLY), second = _open(path.c_str(), _O_WRONLY);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    ASSERT_EQ(_lseek(first, 1000, SEEK_SET), 1000);
    ASSERT_EQ(_lseek(second, 1000, SEEK_SET), 1000);
    EXPECT_EQ(_locking(first, _LK_NBLCK, 1), 0);
    errno = 0;
    EXPECT_EQ(_locking(second, _LK_NBLCK, 1), -1);
    EXPECT_EQ(errno, EACCES);
    ASSERT_EQ(_lseek(second, 1001, SEEK_SET), 1001);
    EXPECT_EQ(_locking(second, _LK_NBLCK, 1), 0) << "the next byte is free";
    EXPECT_EQ(_locking(second, _LK_UNLCK, 1), 0);
    ASSERT_EQ(_lseek(first, 1000, SEEK_SET), 1000);
    EXPECT_EQ(_locking(first, _LK_UNLCK, 1), 0);
    ASSERT_EQ(_lseek(second, 1000, SEEK_SET), 1000);
    EXPECT_EQ(_locking(second, _LK_NBLCK, 1), 0);
    EXPECT_EQ(_close(second), 0);
    ASSERT_EQ(_lseek(first, 1000, SEEK_SET), 1000);
    EXPECT_EQ(_locking(first, _LK_NBLCK, 1), 0) << "kept after its descriptor was closed";
    EXPECT_EQ(_close(first), 0);
}

// A pipe nobody writes to would block the open, and a directory would open on Linux and fail
// every read: both are refused at once, for reading and for writing.
TEST_F(Files, OnlyRegularFilesOpen) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    for (int flags : {_O_RDONLY | _O_BINARY, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY}) {
        errno = 0;
        EXPECT_EQ(_open(path.c_str(), flags, _S_IREAD | _S_IWRITE), -1) << flags;
        EXPECT_EQ(errno, EACCES);
        errno = 0;
        EXPECT_EQ(_open(directory.c_str(), flags, _S_IREAD | _S_IWRITE), -1) << flags;
        EXPECT_EQ(errno, EACCES);
    }
    std::remove(path.c_str());
    writeFile("still reads");
    const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    ASSERT_GE(fd, 0);
    char buffer[16] = {};
    EXPECT_EQ(_read(fd, buffer, sizeof buffer), 11);
    EXPECT_EQ(_close(fd), 0);
}

TEST_F(Files, WorkingDirectoryChangesAndTooSmallBufferIsRangeError) {
    char previous[MAX_PATH * 4];
    ASSERT_NE(_getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(_chdir(directory.c_str()), 0);
    char now[MAX_PATH * 4];
    EXPECT_EQ(std::string(_getcwd(now, sizeof now)), directory);
    char tiny[2];
    errno = 0;
    EXPECT_EQ(_getcwd(tiny, sizeof tiny), nullptr);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(_chdir(previous), 0);
    EXPECT_EQ(_chdir((directory + "/missing").c_str()), -1);
}

// Runs the helper program with the display variables removed or set as given and answers its
// exit status, with what it wrote to standard error and standard output.
int runVideoHelper(const std::vector<std::string>& settings, std::string& errors,
                   std::string& output) {
    testsupport::ChildProcess::Options options;
    options.environment = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    options.environment.insert(options.environment.end(), settings.begin(), settings.end());
    options.outputFile = "video_helper.out";
    options.errorFile = "video_helper.err";
    const int status = testsupport::ChildProcess({PLATFORM_VIDEO_HELPER}, options).wait();
    errors = testsupport::readFile(options.errorFile);
    output = testsupport::readFile(options.outputFile);
    return status;
}

// With these settings the helper must end without a window, saying why on standard error.
void expectNoVideo(const std::vector<std::string>& settings, const std::string& message) {
    std::string errors, output;
    EXPECT_NE(runVideoHelper(settings, errors, output), 0);
    EXPECT_NE(errors.find(message), std::string::npos) << errors;
    EXPECT_EQ(output.find("window shown"), std::string::npos);
}

TEST(VideoStart, NoDisplayEndsTheProgramWithAMessage) {
    expectNoVideo({"SDL_VIDEODRIVER=x11"},
                  "pelmora: cannot start video: no X display (DISPLAY not set)\n");
}

// Not the last driver SDL tried (KMSDRM) but the Wayland socket and the missing X display.
TEST(VideoStart, DeadWaylandSocketIsNamed) {
    const std::string runtime = testsupport::workDirectory();
    expectNoVideo({"WAYLAND_DISPLAY=pelmora-gone", "XDG_RUNTIME_DIR=" + runtime},
                  "pelmora: cannot start video: no X display (DISPLAY not set); "
                  "no Wayland socket \"" +
                      runtime + "/pelmora-gone\"");
    expectNoVideo({"SDL_VIDEODRIVER=wayland", "XDG_RUNTIME_DIR"},
                  "no Wayland socket \"wayland-0\" (XDG_RUNTIME_DIR not set)\n");
}

TEST(VideoStart, HeadlessFallbackDriverIsRefusedWhenNobodyAskedForIt) {
    expectNoVideo({}, "pelmora: cannot start video");
}

// A display that no X server can serve, whatever runs on this machine: any real number may be
// taken, but Xlib refuses one that is not a number before it looks for a server.
TEST(VideoStart, DisplayThatCannotBeOpenedIsNamed) {
    expectNoVideo({"DISPLAY=:none"}, "pelmora: cannot start video: cannot open display \":none\"");
}

TEST(VideoStart, RequestedOffscreenDriverMakesTheWindow) {
    std::string errors, output;
    EXPECT_EQ(runVideoHelper({"SDL_VIDEODRIVER=offscreen"}, errors, output), 0) << errors;
    EXPECT_NE(output.find("window shown"), std::string::npos);
}

} // namespace
