// Keyboard and mouse input: the InputSystem driven with Win32-encoded messages, and the SDL
// keyboard layer feeding it (virtual keys, key data, system-key routing, key states and
// character translation) under the offscreen driver's US keymap.
#include "graphics/GraphicSystem.h"
#include "input/InputSystem.h"
#include "platform/platform.h"
#include "platform/shared/keytable.h"
#include "platform/shared/keytracker.h"
#include "tests/support/RecordingListener.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr LPARAM Extended = LPARAM(1) << 24;
constexpr LPARAM Context = LPARAM(1) << 29;
constexpr LPARAM Previous = LPARAM(1) << 30;
constexpr LPARAM Transition = LPARAM(1) << 31;

using testsupport::InputEvent;
using testsupport::RecordingListener;

// Every case (a process of its own) starts a fresh system on an 800 x 600 screen, so the screen
// centre is (400, 300).
class InputSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DEVMODEA mode = {};
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode); // video holds the keymap
        GraphicSystem* graphics = GraphicSystem::instance();
        graphics->setWidth(800);
        graphics->setHeight(600);
    }
    void SetUp() override {
        input_ = InputSystem::instance();
        input_->addListener(&listener_);
    }
    int32_t key(UINT message, WPARAM vk, LPARAM data = 0) {
        return input_->onMessage(nullptr, message, vk, data);
    }
    InputSystem* input_ = nullptr;
    RecordingListener listener_;
};

TEST_F(InputSystemTest, KeyTablesHoldTheFixedCodesAndTheirNames) {
    const struct {
        uint32_t vk;
        int32_t code;
        const char* name;
    } samples[] = {{VK_SHIFT, 1, "Left Shift"},
                   {VK_RETURN, 13, "Return"},
                   {VK_NUMLOCK, 15, "NumLock"},
                   {VK_DECIMAL, 16, "Gray ."},
                   {VK_NUMPAD0, 17, "Gray 0"},
                   {VK_NUMPAD9, 26, "Gray 9"},
                   {VK_ADD, 31, "Gray +"},
                   {VK_OEM_7, 39, "'"},
                   {VK_OEM_2, 47, "/"},
                   {'0', 48, "0"},
                   {VK_OEM_1, 59, ";"},
                   {VK_OEM_PLUS, 61, "="},
                   {VK_F1, 65, "F1"},
                   {VK_F12, 76, "F12"},
                   {VK_CAPITAL, 77, "CapsLock"},
                   {VK_PAUSE, 80, "Pause"},
                   {VK_PRIOR, 85, "PgUp"},
                   {VK_RIGHT, 88, "Right"},
                   {VK_UP, 89, "Up"},
                   {VK_OEM_5, 92, "\\"},
                   {VK_OEM_3, 96, "`,~"},
                   {'A', 97, "A"},
                   {'Z', 122, "Z"}};
    for (const auto& s : samples) {
        EXPECT_EQ(input_->keyCodeFor(s.vk), s.code) << s.vk;
        EXPECT_STREQ(input_->keyName(s.code), s.name);
    }
    EXPECT_STREQ(input_->keyName(14), "Gray Enter");
    // 97 virtual keys have fixed codes; the other 159 are numbered from 128 in order.
    int fixed = 0, dynamic = 128;
    for (uint32_t vk = 0; vk < 256; ++vk) {
        int32_t code = input_->keyCodeFor(vk);
        if (code < 128) {
            ++fixed;
            EXPECT_NE(input_->keyName(code), nullptr) << code;
        } else {
            EXPECT_EQ(code, dynamic++);
        }
    }
    EXPECT_EQ(fixed, 97);
    int named = 0;
    for (int code = 0; code < KeyCodeCount; ++code)
        named += input_->keyName(code) != nullptr;
    EXPECT_EQ(named, 101);
}

TEST_F(InputSystemTest, KeysWithoutFixedCodesGetDynamicCodesInOrderOfFirstUse) {
    EXPECT_EQ(input_->keyCodeFor(VK_LWIN), 128);
    EXPECT_EQ(input_->keyCodeFor(VK_APPS), 129);
    EXPECT_EQ(input_->keyCodeFor(VK_LWIN), 128);
    EXPECT_EQ(input_->keyCodeFor('A'), 97); // fixed codes do not use up dynamic ones
    key(WM_KEYDOWN, 0xE9);
    EXPECT_EQ(input_->getState().key, 130);
    EXPECT_TRUE(input_->getState().isDown(130));
    key(WM_KEYUP, 0xE9);
    EXPECT_EQ(input_->getState().key, 130);
    EXPECT_EQ(input_->keyName(130), nullptr);
}

TEST_F(InputSystemTest, ExtendedFlagSelectsTheRightHandKeys) {
    const struct {
        WPARAM vk;
        int32_t plain;
        int32_t extended;
    } cases[] = {{VK_RETURN, 13, 14}, {VK_SHIFT, 1, 2},    {VK_CONTROL, 3, 4},
                 {VK_MENU, 5, 6},     {VK_INSERT, 81, 81}, {VK_DIVIDE, 28, 28}};
    for (const auto& c : cases) {
        key(WM_KEYDOWN, c.vk, Extended);
        EXPECT_EQ(input_->getState().key, c.extended) << c.vk;
        key(WM_KEYUP, c.vk, Extended | Previous | Transition);
        EXPECT_EQ(input_->getState().key, c.extended) << c.vk;
        key(WM_KEYDOWN, c.vk, 0);
        EXPECT_EQ(input_->getState().key, c.plain) << c.vk;
        key(WM_KEYUP, c.vk, Previous | Transition);
    }
}

TEST_F(InputSystemTest, PressSetsTheKeyBitAndReleaseClearsItWithoutCharacter) {
    EXPECT_EQ(key(WM_KEYDOWN, 'A', 0x1E << 16 | 1), 0);
    InputState state = input_->getState();
    EXPECT_TRUE(state.isDown(97));
    EXPECT_EQ(state.key, 97);
    EXPECT_EQ(state.character, 'a');
    EXPECT_EQ(key(WM_KEYUP, 'A', 0x1E << 16 | 1 | Previous | Transition), 0);
    state = input_->getState();
    EXPECT_FALSE(state.isDown(97));
    EXPECT_EQ(state.character, 0);
    ASSERT_EQ(listener_.events.size(), 2u);
    EXPECT_EQ(listener_.events[0].type, EventPress);
    EXPECT_EQ(listener_.events[1].type, EventRelease);
    EXPECT_EQ(listener_.events[1].key, 97);
}

TEST_F(InputSystemTest, SystemKeysForgedKeysAndOtherMessagesProduceNoEvent) {
    EXPECT_EQ(key(WM_SYSKEYDOWN, VK_MENU, 0x38 << 16 | Context), 1);
    EXPECT_EQ(key(WM_SYSKEYUP, VK_MENU, 0x38 << 16 | Previous | Transition), 1);
    EXPECT_EQ(key(WM_CHAR, 'a', 0), 1);
    EXPECT_EQ(key(WM_LBUTTONDBLCLK, 0, 0), 1);
    // A forged key message must neither write past the keyboard-state array nor give out a
    // dynamic code.
    EXPECT_EQ(key(WM_KEYDOWN, 0x10000, 0), 0);
    EXPECT_EQ(key(WM_KEYUP, WPARAM(-1), 0), 0);
    EXPECT_TRUE(listener_.events.empty());
    EXPECT_EQ(input_->keyCodeFor(VK_LWIN), 128);
}

TEST_F(InputSystemTest, ListenerAddedLastIsAskedFirstAndConsumingStopsDelivery) {
    RecordingListener consumer(-1, true);
    input_->addListener(&consumer);
    key(WM_KEYDOWN, VK_ESCAPE, 0x01 << 16 | 1);
    EXPECT_EQ(consumer.events.size(), 1u);
    EXPECT_TRUE(listener_.events.empty());

    RecordingListener movesOnly(EventMove, false);
    input_->addListener(&movesOnly);
    key(WM_KEYUP, VK_ESCAPE, 0x01 << 16 | 1 | Previous | Transition);
    EXPECT_TRUE(movesOnly.events.empty()); // not offered a release it did not ask for
    EXPECT_EQ(consumer.events.size(), 2u);
    input_->onMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    ASSERT_EQ(movesOnly.events.size(), 1u);
    EXPECT_EQ(consumer.events.size(), 3u); // movesOnly did not consume
    EXPECT_TRUE(listener_.events.empty());
}

// A listener that adds another while it handles an event: the new one waits for the next event,
// and nobody is asked twice for one event.
class AddingListener : public RecordingListener {
public:
    explicit AddingListener(InputListener* added) : added(added) {}
    bool handleInput(int32_t type, const InputState& state) override {
        if (added != nullptr) {
            InputSystem::instance()->addListener(added);
            added = nullptr;
        }
        return RecordingListener::handleInput(type, state);
    }
    InputListener* added;
};

TEST_F(InputSystemTest, ListenerAddedDuringDeliveryWaitsForTheNextEvent) {
    RecordingListener late;
    AddingListener adder(&late);
    input_->addListener(&adder);
    key(WM_KEYDOWN, 'Q', 0x10 << 16 | 1);
    EXPECT_EQ(adder.events.size(), 1u);
    EXPECT_TRUE(late.events.empty());
    EXPECT_EQ(listener_.events.size(), 1u);

    key(WM_KEYUP, 'Q', 0x10 << 16 | 1 | Previous | Transition);
    ASSERT_EQ(late.events.size(), 1u);
    EXPECT_EQ(late.events[0].type, EventRelease);
    EXPECT_EQ(adder.events.size(), 2u);
    EXPECT_EQ(listener_.events.size(), 2u);
}

TEST_F(InputSystemTest, PressOnlyMaskSeesNoReleases) {
    RecordingListener presses(EventPress, false);
    input_->addListener(&presses);
    key(WM_KEYDOWN, 'Q', 0x10 << 16 | 1);
    key(WM_KEYUP, 'Q', 0x10 << 16 | 1 | Previous | Transition);
    input_->onMessage(nullptr, WM_RBUTTONDOWN, 0, 0);
    input_->onMessage(nullptr, WM_RBUTTONUP, 0, 0);
    ASSERT_EQ(presses.events.size(), 2u);
    EXPECT_EQ(presses.events[0].key, 113);
    EXPECT_EQ(presses.events[1].key, MouseRight);
    EXPECT_EQ(listener_.events.size(), 4u);
}

TEST_F(InputSystemTest, MoveOntoTheScreenCentreIsDropped) {
    EXPECT_EQ(input_->onMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20)), 1);
    InputState state = input_->getState();
    EXPECT_EQ(state.mouseX, 10);
    EXPECT_EQ(state.mouseY, 20);
    EXPECT_EQ(state.mouseDX, -390);
    EXPECT_EQ(state.mouseDY, -280);
    input_->onMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(400, 300));
    state = input_->getState();
    EXPECT_EQ(state.mouseX, 10);
    EXPECT_EQ(state.mouseY, 20);
    ASSERT_EQ(listener_.events.size(), 1u);
    // Only the exact centre is special: one pixel off is an ordinary move.
    input_->onMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(400, 301));
    ASSERT_EQ(listener_.events.size(), 2u);
    EXPECT_EQ(listener_.events[1].type, EventMove);
    EXPECT_EQ(input_->getState().mouseDX, 0);
    EXPECT_EQ(input_->getState().mouseDY, 1);
}

TEST_F(InputSystemTest, ButtonsCarryTheLastMovePosition) {
    input_->onMessage(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(123, 45));
    // The button message's own coordinates are not used.
    input_->onMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 500));
    EXPECT_TRUE(input_->getState().isDown(MouseLeft));
    input_->onMessage(nullptr, WM_LBUTTONUP, 0, MAKELPARAM(600, 500));
    EXPECT_FALSE(input_->getState().isDown(MouseLeft));
    ASSERT_EQ(listener_.events.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(listener_.events[i].key, MouseLeft);
        EXPECT_EQ(listener_.events[i].mouseX, 123);
        EXPECT_EQ(listener_.events[i].mouseY, 45);
        EXPECT_EQ(listener_.events[i].character, 0);
    }
    EXPECT_EQ(listener_.events[1].type, EventPress);
    EXPECT_EQ(listener_.events[2].type, EventRelease);
}

TEST_F(InputSystemTest, WheelDeliversPressesOnlyAndNeverHoldsABit) {
    input_->onMessage(nullptr, WM_MOUSEWHEEL, MAKELPARAM(0, WHEEL_DELTA), 0);
    input_->onMessage(nullptr, WM_MOUSEWHEEL, MAKELPARAM(0, -WHEEL_DELTA), 0);
    input_->onMessage(nullptr, WM_MOUSEWHEEL, MAKELPARAM(0, 0), 0);
    ASSERT_EQ(listener_.events.size(), 3u);
    EXPECT_EQ(listener_.events[0].key, WheelUp);
    EXPECT_EQ(listener_.events[1].key, WheelDown);
    EXPECT_EQ(listener_.events[2].key, WheelDown);
    for (const InputEvent& e : listener_.events)
        EXPECT_EQ(e.type, EventPress);
    EXPECT_FALSE(input_->getState().isDown(WheelUp));
    EXPECT_FALSE(input_->getState().isDown(WheelDown));
}

// ---- The SDL keyboard layer ---------------------------------------------------------------

class KeyboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DEVMODEA mode = {};
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode); // starts video
    }
    void SetUp() override { drain(); }
    void TearDown() override { drain(); }

    static void drain() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    static void push(SDL_Scancode scancode, bool down, bool repeat = false) {
        SDL_Event event = {};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void pushText(const char* utf8) {
        SDL_Event event = {};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    // The next key message, after pushing one key event.
    static MSG next(SDL_Scancode scancode, bool down, bool repeat = false) {
        push(scancode, down, repeat);
        MSG msg = {};
        EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        return msg;
    }
    static void tap(SDL_Scancode scancode) {
        next(scancode, true);
        next(scancode, false);
    }
    static int scanOf(const MSG& msg) { return int((msg.lParam >> 16) & 0xFF); }
    static bool extended(const MSG& msg) { return (msg.lParam & Extended) != 0; }
};

TEST_F(KeyboardTest, LetterKeyDataFollowsWindows) {
    MSG down = next(SDL_SCANCODE_A, true);
    EXPECT_EQ(down.lParam & 0xFFFF, 1); // repeat count
    EXPECT_EQ(scanOf(down), 0x1E);
    EXPECT_FALSE(extended(down));
    EXPECT_EQ(down.lParam & (Context | Previous | Transition), 0);
    EXPECT_NE(GetKeyState('A') & 0x8000, 0);

    MSG repeat = next(SDL_SCANCODE_A, true, true);
    EXPECT_EQ(repeat.lParam & (Previous | Transition), Previous);
    // The press SDL reports without its repeat flag when the window gets the keyboard back while
    // the key is down.
    EXPECT_EQ(next(SDL_SCANCODE_A, true).lParam & Previous, Previous);

    MSG up = next(SDL_SCANCODE_A, false);
    EXPECT_EQ(up.message, UINT(WM_KEYUP));
    EXPECT_EQ(up.lParam & (Previous | Transition), Previous | Transition);
    EXPECT_EQ(GetKeyState('A') & 0x8000, 0);
}

// The lookup back from scan code and prefix, which the layer uses for the X server's key numbers,
// must answer each key, not the one that shares its scan code without (or with) the prefix.
TEST_F(KeyboardTest, ExtendedFlagMarksTheRightHandAndNavigationKeys) {
    const struct {
        SDL_Scancode scancode;
        WPARAM vk;
        int scan;
        bool extended;
    } cases[] = {
        {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
        {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
        {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, true},
        {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36, false},
        {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
        {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false},
        {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
        {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
        {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true},
        {SDL_SCANCODE_F12, VK_F12, 0x58, false},
        {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false},
        {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    };
    for (const auto& c : cases) {
        MSG down = next(c.scancode, true);
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << c.scancode;
        EXPECT_EQ(down.wParam, c.vk) << c.scancode;
        EXPECT_EQ(scanOf(down), c.scan) << c.scancode;
        EXPECT_EQ(extended(down), c.extended) << c.scancode;
        EXPECT_EQ(next(c.scancode, false).wParam, c.vk) << c.scancode;
        const KeyTableEntry* entry = keyTableFindScanCode(uint8_t(c.scan), c.extended);
        ASSERT_NE(entry, nullptr) << c.scancode;
        EXPECT_EQ(entry->usage, keyUsage(KeyPageKeyboard, c.scancode)) << c.scancode;
    }
    tap(SDL_SCANCODE_NUMLOCKCLEAR); // back to the NumLock state the loop started with
}

TEST_F(KeyboardTest, AltAndF10GoToTheSystemUnlessCtrlIsHeld) {
    MSG alt = next(SDL_SCANCODE_LALT, true);
    EXPECT_EQ(alt.message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(alt.wParam, WPARAM(VK_MENU));
    EXPECT_NE(alt.lParam & Context, 0);
    MSG f4 = next(SDL_SCANCODE_F4, true);
    EXPECT_EQ(f4.message, UINT(WM_SYSKEYDOWN));
    EXPECT_NE(f4.lParam & Context, 0);
    EXPECT_EQ(next(SDL_SCANCODE_F4, false).message, UINT(WM_SYSKEYUP));
    // After Alt+key, Alt's release is a plain key message; only Alt on its own gives a system one.
    MSG altUp = next(SDL_SCANCODE_LALT, false);
    EXPECT_EQ(altUp.message, UINT(WM_KEYUP));
    EXPECT_EQ(altUp.lParam, 0x38 << 16 | 1 | Previous | Transition);
    next(SDL_SCANCODE_LALT, true);
    next(SDL_SCANCODE_LALT, true, true);
    EXPECT_EQ(next(SDL_SCANCODE_LALT, false).message, UINT(WM_SYSKEYUP));

    EXPECT_EQ(next(SDL_SCANCODE_F10, true).message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(next(SDL_SCANCODE_F10, false).message, UINT(WM_SYSKEYUP));

    EXPECT_EQ(next(SDL_SCANCODE_LCTRL, true).message, UINT(WM_KEYDOWN));
    MSG ctrlAlt = next(SDL_SCANCODE_RALT, true);
    EXPECT_EQ(ctrlAlt.message, UINT(WM_KEYDOWN));
    EXPECT_TRUE(extended(ctrlAlt));
    EXPECT_EQ(next(SDL_SCANCODE_E, true).message, UINT(WM_KEYDOWN));
    next(SDL_SCANCODE_E, false);
    next(SDL_SCANCODE_RALT, false);
    next(SDL_SCANCODE_LCTRL, false);
    EXPECT_EQ(GetKeyState(VK_MENU) & 0x8000, 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL) & 0x8000, 0);

    // Alt+Tab in a browser: the page hears Alt go down, never up. Losing the keyboard posts
    // nothing, and Escape afterwards is a plain key again.
    next(SDL_SCANCODE_LALT, true);
    keyTracker().forgetHeldKeys();
    MSG none;
    EXPECT_FALSE(PeekMessageA(&none, nullptr, 0, 0, PM_NOREMOVE));
    MSG escape = next(SDL_SCANCODE_ESCAPE, true);
    EXPECT_EQ(escape.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(escape.lParam & Context, 0);
}

TEST_F(KeyboardTest, KeyStateIsSignExtendedAndCombinesBothSides) {
    next(SDL_SCANCODE_LSHIFT, true);
    // The engine keeps the low byte of GetKeyState as its keyboard-state entry: it must keep
    // the down bit, and the short must be negative as on Windows.
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0xFFFF, 0xFF80);
    EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_RSHIFT), 0);
    next(SDL_SCANCODE_RSHIFT, true);
    next(SDL_SCANCODE_LSHIFT, false);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0); // right Shift still holds it
    BYTE state[256];
    ASSERT_TRUE(GetKeyboardState(state));
    EXPECT_EQ(state[VK_SHIFT], 0x80);
    EXPECT_EQ(state[VK_RSHIFT], 0x80);
    EXPECT_EQ(state[VK_LSHIFT], 0);
    next(SDL_SCANCODE_RSHIFT, false);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(KeyboardTest, LockKeysToggleOnEachPressNotOnRepeatsOrReleases) {
    const int before = GetKeyState(VK_CAPITAL) & 1;
    next(SDL_SCANCODE_CAPSLOCK, true);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before ^ 1);
    EXPECT_LT(GetKeyState(VK_CAPITAL), 0);
    next(SDL_SCANCODE_CAPSLOCK, true, true);
    next(SDL_SCANCODE_CAPSLOCK, false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), before ^ 1);
    tap(SDL_SCANCODE_CAPSLOCK);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), before);
}

TEST_F(KeyboardTest, KeypadFollowsNumLockAndReleasesAsPressed) {
    const bool numLock = GetKeyState(VK_NUMLOCK) & 1;
    MSG on = next(SDL_SCANCODE_KP_7, true);
    EXPECT_EQ(on.wParam, WPARAM(numLock ? VK_NUMPAD7 : VK_HOME));
    EXPECT_FALSE(extended(on)); // the keypad is told from the grey block by this flag
    // NumLock changes while the key is held: the release must still name the key that went down.
    tap(SDL_SCANCODE_NUMLOCKCLEAR);
    MSG up = next(SDL_SCANCODE_KP_7, false);
    EXPECT_EQ(up.wParam, on.wParam);
    EXPECT_EQ(GetKeyState(int(on.wParam)) & 0x8000, 0);
    MSG other = next(SDL_SCANCODE_KP_PERIOD, true);
    EXPECT_EQ(other.wParam, WPARAM(numLock ? VK_DELETE : VK_DECIMAL));
    EXPECT_EQ(scanOf(other), 0x53);
    EXPECT_FALSE(extended(other));
    next(SDL_SCANCODE_KP_PERIOD, false);
    tap(SDL_SCANCODE_NUMLOCKCLEAR);
}

int translate(UINT vk, UINT scan, const BYTE* state) {
    WORD buffer[2] = {0, 0};
    int n = ToAsciiEx(vk, scan, state, buffer, 0, GetKeyboardLayout(0));
    return n == 1 ? buffer[0] & 0xFF : n == 0 ? 0 : -1;
}

TEST_F(KeyboardTest, TranslationUsesShiftAndCapsOfTheStateArray) {
    BYTE state[256] = {};
    EXPECT_EQ(translate('A', 0x1E, state), 'a');
    state[VK_SHIFT] = 0x80;
    EXPECT_EQ(translate('A', 0x1E, state), 'A');
    state[VK_CAPITAL] = 0x01;
    EXPECT_EQ(translate('A', 0x1E, state), 'a');
    state[VK_SHIFT] = 0;
    EXPECT_EQ(translate('A', 0x1E, state), 'A');
    state[VK_CAPITAL] = 0x80; // held but not toggled: no effect
    EXPECT_EQ(translate('A', 0x1E, state), 'a');
    state[VK_CAPITAL] = 0;
    EXPECT_EQ(translate('1', 0x02, state), '1');
    EXPECT_EQ(translate(VK_OEM_2, 0x35, state), '/');
    EXPECT_EQ(translate(VK_DIVIDE, 0x35, state), '/');
    EXPECT_EQ(translate(VK_RETURN, 0x1C, state), '\r');
    EXPECT_EQ(translate(VK_ESCAPE, 0x01, state), 27);
    EXPECT_EQ(translate(VK_NUMPAD4, 0x4B, state), '4');
    EXPECT_EQ(translate(VK_LEFT, 0x4B, state), 0);
    EXPECT_EQ(translate(VK_DELETE, 0x53, state), 0);
    state[VK_CONTROL] = 0x80;
    EXPECT_EQ(translate('C', 0x2E, state), 3);
    EXPECT_EQ(translate('1', 0x02, state), 0);
}

TEST_F(KeyboardTest, ShiftedSymbolComesFromTheLayoutsText) {
    BYTE state[256] = {};
    state[VK_SHIFT] = 0x80;
    next(SDL_SCANCODE_LSHIFT, true);
    // Without text from the layout the US symbol stands in.
    next(SDL_SCANCODE_1, true);
    EXPECT_EQ(translate('1', 0x02, state), '!');
    next(SDL_SCANCODE_1, false);
    // A layout that puts No. on Shift+3 tells it through its text; it is byte 0xB9 in 1251.
    push(SDL_SCANCODE_3, true);
    pushText("\xE2\x84\x96");
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(translate('3', 0x04, state), 0xB9);
    next(SDL_SCANCODE_3, false);
    next(SDL_SCANCODE_LSHIFT, false);
}

TEST_F(KeyboardTest, KeyboardEventsReachTheInputSystemWithCharacters) {
    InputSystem* input = InputSystem::instance();
    RecordingListener listener;
    input->addListener(&listener);
    // All events are queued before the first message is taken, as when a frame is slow: each
    // message must still see the Shift state of its own moment.
    const struct {
        SDL_Scancode scancode;
        bool down;
    } events[] = {
        {SDL_SCANCODE_B, true},       {SDL_SCANCODE_B, false},       {SDL_SCANCODE_LSHIFT, true},
        {SDL_SCANCODE_B, true},       {SDL_SCANCODE_B, false},       {SDL_SCANCODE_RSHIFT, true},
        {SDL_SCANCODE_RSHIFT, false}, {SDL_SCANCODE_LSHIFT, false},  {SDL_SCANCODE_B, true},
        {SDL_SCANCODE_B, false},      {SDL_SCANCODE_KP_ENTER, true}, {SDL_SCANCODE_KP_ENTER, false},
        {SDL_SCANCODE_LALT, true},    {SDL_SCANCODE_LALT, false}};
    for (const auto& e : events)
        push(e.scancode, e.down);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        input->onMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    std::vector<std::string> seen;
    for (const InputEvent& e : listener.events) {
        seen.push_back(std::to_string(e.type) + ":" + std::to_string(e.key) + ":" +
                       std::to_string(e.character));
    }
    // Right Shift is not an extended key on Windows, so it reads as Shift (code 1) too; Alt is a
    // system key and makes no event.
    const std::vector<std::string> expected = {"1:98:98", "2:98:0", "1:1:0",   "1:98:66",
                                               "2:98:0",  "1:1:0",  "2:1:0",   "2:1:0",
                                               "1:98:98", "2:98:0", "1:14:13", "2:14:0"};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(input->getState().isDown(1));
}

} // namespace
