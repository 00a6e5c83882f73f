// Keyboard and mouse on a real X server: the engine's window is opened through the Application,
// real key, motion and button events are injected with XTest, and a listener of the InputSystem
// checks the codes, characters and positions that come out of the message pump, under the US
// layout and under a Russian one.
#include "app/Application.h"
#include "graphics/GraphicSystem.h"
#include "input/InputSystem.h"
#include "platform/platform.h"
#include "tests/support/RecordingListener.h"

#include <gtest/gtest.h>

// X names its key numbers KeyCode, as the engine names its own codes: keep them apart.
#define KeyCode XKeyCode
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include "tests/support/X11Window.h"
#undef KeyCode

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

using testsupport::findWindow;
using testsupport::InputEvent;
using testsupport::RecordingListener;

bool setLayout(const char* layout) {
    const char* display = std::getenv("DISPLAY");
    std::string command =
        std::string("setxkbmap -display ") + (display ? display : ":0") + " " + layout;
    return std::system(command.c_str()) == 0;
}

// Puts the US layout back however a case ends.
struct UsLayoutAfterwards {
    ~UsLayoutAfterwards() { setLayout("us"); }
};

class InputX11Test : public ::testing::Test {
protected:
    static Display* display;
    static RecordingListener* listener;
    static std::vector<MSG> keyMessages; // as the pump hands them out
    static Window gameWindow;

    static void SetUpTestSuite() {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        ASSERT_TRUE(setLayout("us"));
        XSync(display, False);

        GraphicSystem* graphics = GraphicSystem::instance();
        graphics->useDesktopMode();
        graphics->setVsync(true);
        graphics->setDoubleBuffer(true);
        Application::instance()->init(); // starts the scene, which creates the InputSystem
        // Nothing behind it needs to see the test's keys.
        listener = new RecordingListener(-1, true);
        InputSystem::instance()->addListener(listener);

        // No window manager runs on the test server: give the window the focus directly.
        for (int i = 0; i < 50 && !gameWindow; ++i) {
            pump(std::chrono::milliseconds(20));
            gameWindow = findWindow(display, DefaultRootWindow(display), "Pelmora Application");
        }
        ASSERT_NE(gameWindow, Window(0));
        focus(gameWindow);
    }

    static void TearDownTestSuite() {
        setLayout("us");
        if (display)
            XCloseDisplay(display);
    }

    void SetUp() override {
        pump(std::chrono::milliseconds(50));
        listener->events.clear();
        keyMessages.clear();
    }

    // Runs the message pump as the main loop does, for the given time.
    static void pump(std::chrono::milliseconds time) {
        auto end = Clock::now() + time;
        do {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP)
                    keyMessages.push_back(msg);
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } while (Clock::now() < end);
    }

    // Pumps until the listener holds count events or two seconds have passed.
    static bool waitFor(size_t count) {
        auto end = Clock::now() + std::chrono::seconds(2);
        while (listener->events.size() < count && Clock::now() < end)
            pump(std::chrono::milliseconds(5));
        return listener->events.size() >= count;
    }

    static XKeyCode keyOf(KeySym symbol) { return XKeysymToKeycode(display, symbol); }

    static void key(XKeyCode code, bool down) {
        XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
        XFlush(display);
        // Events within the same millisecond look like auto-repeat to the toolkit, which then
        // drops the release: leave real time between them, as typing does.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    // Moves the keyboard focus as a window manager would, and lets the game see the change.
    static void focus(Window window) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        pump(std::chrono::milliseconds(200));
    }

    static void tap(XKeyCode code) {
        key(code, true);
        key(code, false);
    }

    static std::string describe(const InputEvent& e) {
        return std::to_string(e.type) + ":" + std::to_string(e.key) + ":" +
               std::to_string(e.character);
    }

    static std::vector<std::string> keyEvents() {
        std::vector<std::string> out;
        for (const InputEvent& e : listener->events)
            if (e.type != EventMove)
                out.push_back(describe(e));
        return out;
    }
};

Display* InputX11Test::display = nullptr;
Window InputX11Test::gameWindow = 0;
std::vector<MSG> InputX11Test::keyMessages;
RecordingListener* InputX11Test::listener = nullptr;

TEST_F(InputX11Test, UsLayoutKeysGiveCodesAndShiftedCharacters) {
    tap(keyOf(XK_a));
    key(keyOf(XK_Shift_L), true);
    tap(keyOf(XK_a));
    tap(keyOf(XK_1));
    key(keyOf(XK_Shift_L), false);
    tap(keyOf(XK_Alt_L)); // a system key: no event
    tap(keyOf(XK_Return));
    tap(keyOf(XK_KP_Enter));
    tap(keyOf(XK_Escape));
    ASSERT_TRUE(waitFor(14));
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(keyEvents(),
              (std::vector<std::string>{"1:97:97", "2:97:0", "1:1:0", "1:97:65", "2:97:0",
                                        "1:49:33", "2:49:0", "2:1:0", "1:13:13", "2:13:0",
                                        "1:14:13", "2:14:0", "1:27:27", "2:27:0"}));
    EXPECT_FALSE(InputSystem::instance()->getState().isDown(97));
}

TEST_F(InputX11Test, PointerMovesAndButtonsArriveInWindowPixels) {
    int screen = DefaultScreen(display);
    XTestFakeMotionEvent(display, screen, 100, 200, CurrentTime);
    XFlush(display);
    ASSERT_TRUE(waitFor(1));
    const InputEvent move = listener->events.back();
    EXPECT_EQ(move.type, EventMove);
    EXPECT_EQ(move.mouseX, 100);
    EXPECT_EQ(move.mouseY, 200);
    EXPECT_EQ(move.mouseDX, 100 - 512);
    EXPECT_EQ(move.mouseDY, 200 - 384);

    listener->events.clear();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XTestFakeButtonEvent(display, 3, True, CurrentTime);
    XTestFakeButtonEvent(display, 3, False, CurrentTime);
    XTestFakeButtonEvent(display, 4, True, CurrentTime); // wheel away from the user
    XTestFakeButtonEvent(display, 4, False, CurrentTime);
    XTestFakeButtonEvent(display, 5, True, CurrentTime);
    XTestFakeButtonEvent(display, 5, False, CurrentTime);
    XFlush(display);
    ASSERT_TRUE(waitFor(6));
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(keyEvents(), (std::vector<std::string>{"1:256:0", "2:256:0", "1:258:0", "2:258:0",
                                                     "1:259:0", "1:260:0"}));
    for (const InputEvent& e : listener->events) {
        EXPECT_EQ(e.mouseX, 100);
        EXPECT_EQ(e.mouseY, 200);
    }
}

TEST_F(InputX11Test, CentringTheCursorMovesThePointerWithoutAnEvent) {
    int screen = DefaultScreen(display);
    XTestFakeMotionEvent(display, screen, 30, 40, CurrentTime);
    XFlush(display);
    ASSERT_TRUE(waitFor(1));
    listener->events.clear();

    InputSystem::instance()->centreCursor();
    pump(std::chrono::milliseconds(150));
    Window root, child;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    EXPECT_EQ(rootX, 512);
    EXPECT_EQ(rootY, 384);
    EXPECT_TRUE(listener->events.empty());
    InputState state = InputSystem::instance()->getState();
    EXPECT_EQ(state.mouseX, 30);
    EXPECT_EQ(state.mouseY, 40);
}

TEST_F(InputX11Test, RussianLayoutKeepsTheKeyCodeAndGivesCyrillicCharacters) {
    UsLayoutAfterwards restore;
    const XKeyCode a = keyOf(XK_a), grave = keyOf(XK_grave), comma = keyOf(XK_comma);
    ASSERT_TRUE(setLayout("ru"));
    pump(std::chrono::milliseconds(300)); // the toolkit reloads its keymap on the mapping change
    tap(a);
    key(keyOf(XK_Shift_L), true);
    tap(grave);
    key(keyOf(XK_Shift_L), false);
    tap(comma);
    ASSERT_TRUE(waitFor(8));
    // The physical A key is still key 97; it writes ef, Shift with the key left of 1 writes the
    // capital yo and the comma key be, all as Windows-1251 bytes.
    EXPECT_EQ(keyEvents(), (std::vector<std::string>{"1:97:244", "2:97:0", "1:1:0", "1:96:168",
                                                     "2:96:0", "2:1:0", "1:44:225", "2:44:0"}));
}

// Keys beyond the ordinary keyboard, sent by their X key numbers (Linux input code + 8, as the
// test server numbers them): each arrives as Windows names it, and the InputSystem gives the
// ones without a fixed code the next dynamic code.
TEST_F(InputX11Test, EveryKeyArrivesWithItsWindowsVirtualKey) {
    ASSERT_EQ(XKeysymToKeycode(display, XK_Home), 110) << "the server does not use input codes";
    const struct {
        XKeyCode keycode;
        WPARAM vk;
        int scanCode;
        bool extended;
    } keys[] = {
        {123, VK_VOLUME_UP, 0x30, true},      {122, VK_VOLUME_DOWN, 0x2E, true},
        {121, VK_VOLUME_MUTE, 0x20, true},    {171, VK_MEDIA_NEXT_TRACK, 0x19, true},
        {166, VK_BROWSER_BACK, 0x6A, true},   {148, VK_LAUNCH_APP2, 0x21, true},
        {191, VK_F13, 0x64, false},           {202, VK_F24, 0x76, false},
        {125, VK_OEM_NEC_EQUAL, 0x59, false}, {100, VK_CONVERT, 0x79, false},
        {102, VK_NONCONVERT, 0x7B, false},    {101, VK_KANA, 0x70, false},
        {97, VK_OEM_102, 0x73, false},        {132, VK_OEM_5, 0x7D, false},
    };
    std::vector<std::string> expectedEvents;
    std::map<WPARAM, int> codes = {{VK_OEM_5, 92}};
    for (const auto& k : keys) {
        tap(k.keycode);
        const int code = codes.emplace(k.vk, 128 + int(codes.size()) - 1).first->second;
        expectedEvents.push_back("1:" + std::to_string(code) + ":0");
        expectedEvents.push_back("2:" + std::to_string(code) + ":0");
    }
    ASSERT_TRUE(waitFor(expectedEvents.size()));
    pump(std::chrono::milliseconds(50));
    // No character either: Volume Up's scan code is B's, without the prefix.
    EXPECT_EQ(keyEvents(), expectedEvents);
    ASSERT_EQ(keyMessages.size(), 2 * std::size(keys));
    for (size_t i = 0; i < std::size(keys); ++i) {
        for (const MSG& msg : {keyMessages[2 * i], keyMessages[2 * i + 1]}) {
            SCOPED_TRACE("X key " + std::to_string(keys[i].keycode));
            EXPECT_EQ(msg.wParam, keys[i].vk);
            EXPECT_EQ((msg.lParam >> 16) & 0xFF, keys[i].scanCode);
            EXPECT_EQ((msg.lParam >> 24) & 1, keys[i].extended ? 1 : 0);
        }
        EXPECT_EQ(keyMessages[2 * i].message, UINT(WM_KEYDOWN));
        EXPECT_EQ(keyMessages[2 * i + 1].message, UINT(WM_KEYUP));
    }
}

// Another program's window on the same server, to take the keyboard focus away from the game.
class OtherWindow {
public:
    explicit OtherWindow(Display* display) : display_(display) {
        window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
        XMapWindow(display, window_);
        XSync(display, False);
    }
    ~OtherWindow() {
        XDestroyWindow(display_, window_);
        XSync(display_, False);
    }
    Window window() const { return window_; }

private:
    Display* display_;
    Window window_;
};

// As on Windows: the key messages follow what happens while the game has the focus, so a key
// that goes up elsewhere stays down for the game, and one that was already down when the focus
// came gives only its release.
TEST_F(InputX11Test, FocusLeavingWhileAKeyIsHeldSendsNoRelease) {
    OtherWindow other(display);
    key(keyOf(XK_a), true);
    focus(other.window());
    key(keyOf(XK_a), false);
    focus(gameWindow);
    EXPECT_EQ(keyEvents(), (std::vector<std::string>{"1:97:97"}));
    EXPECT_TRUE(InputSystem::instance()->getState().isDown(97));

    listener->events.clear();
    tap(keyOf(XK_a));
    ASSERT_TRUE(waitFor(2));
    EXPECT_EQ(keyEvents(), (std::vector<std::string>{"1:97:97", "2:97:0"}));
    EXPECT_FALSE(InputSystem::instance()->getState().isDown(97));
}

// The extended keys among them are released as themselves, not as the keys that share their scan
// codes (Return, the left Ctrl and Alt).
TEST_F(InputX11Test, FocusArrivingWhileKeysAreHeldGivesOnlyTheirReleases) {
    OtherWindow other(display);
    key(keyOf(XK_Shift_L), true); // held through the focus changes
    ASSERT_TRUE(waitFor(1));
    focus(other.window());
    for (KeySym held : {XK_Control_L, XK_a, XK_KP_Enter, XK_Control_R, XK_Alt_R})
        key(keyOf(held), true);
    focus(gameWindow);
    EXPECT_EQ(keyEvents(), (std::vector<std::string>{"1:1:0"}));

    listener->events.clear();
    for (KeySym held : {XK_a, XK_Control_L, XK_KP_Enter, XK_Control_R, XK_Alt_R, XK_Shift_L})
        key(keyOf(held), false);
    ASSERT_TRUE(waitFor(6));
    pump(std::chrono::milliseconds(50));
    EXPECT_EQ(keyEvents(),
              (std::vector<std::string>{"2:97:0", "2:3:0", "2:14:0", "2:4:0", "2:6:0", "2:1:0"}));
}

} // namespace
