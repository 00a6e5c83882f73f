// The keyboard and mouse component: the fixed key-code table with its names, dynamic codes for
// the other virtual keys, character translation with the current layout, and event delivery.
#include "input/InputSystem.h"

#include "graphics/GraphicSystem.h"

#include <cstring>

namespace {

constexpr LPARAM KeyDataExtended = LPARAM(1) << 24;

// One fixed key: its code, its display name and the virtual key that produces it (0 for the
// codes that only the extended-key flag produces).
struct FixedKey {
    int32_t code;
    const char* name;
    uint32_t virtualKey;
};

// The four extended codes have no virtual key of their own.
const FixedKey fixedKeys[] = {
    {1, "Left Shift", VK_SHIFT},
    {2, "Right Shift", 0},
    {3, "Left Ctrl", VK_CONTROL},
    {4, "Right Ctrl", 0},
    {5, "Left Alt", VK_MENU},
    {6, "Right Alt", 0},
    {8, "Backspace", VK_BACK},
    {9, "Tab", VK_TAB},
    {13, "Return", VK_RETURN},
    {15, "NumLock", VK_NUMLOCK},
    {14, "Gray Enter", 0},
    {16, "Gray .", VK_DECIMAL},
    {27, "Escape", VK_ESCAPE},
    {28, "Gray /", VK_DIVIDE},
    {29, "Gray *", VK_MULTIPLY},
    {30, "Gray -", VK_SUBTRACT},
    {31, "Gray +", VK_ADD},
    {32, "Space", VK_SPACE},
    {39, "'", VK_OEM_7},
    {44, ",", VK_OEM_COMMA},
    {45, "-", VK_OEM_MINUS},
    {46, ".", VK_OEM_PERIOD},
    {47, "/", VK_OEM_2},
    {59, ";", VK_OEM_1},
    {61, "=", VK_OEM_PLUS},
    {77, "CapsLock", VK_CAPITAL},
    {78, "PrintScreen", VK_SNAPSHOT},
    {79, "ScrollLock", VK_SCROLL},
    {80, "Pause", VK_PAUSE},
    {81, "Ins", VK_INSERT},
    {82, "Del", VK_DELETE},
    {83, "Home", VK_HOME},
    {84, "End", VK_END},
    {85, "PgUp", VK_PRIOR},
    {86, "PgDn", VK_NEXT},
    {87, "Left", VK_LEFT},
    {88, "Right", VK_RIGHT},
    {89, "Up", VK_UP},
    {90, "Down", VK_DOWN},
    {91, "[", VK_OEM_4},
    {92, "\\", VK_OEM_5},
    {93, "]", VK_OEM_6},
    {96, "`,~", VK_OEM_3},
};

// The button messages and the press or release each stands for.
struct MouseButtonMessage {
    UINT message;
    int32_t code;
    bool pressed;
};

const MouseButtonMessage mouseButtonMessages[] = {
    {WM_LBUTTONDOWN, MouseLeft, true},   {WM_LBUTTONUP, MouseLeft, false},
    {WM_MBUTTONDOWN, MouseMiddle, true}, {WM_MBUTTONUP, MouseMiddle, false},
    {WM_RBUTTONDOWN, MouseRight, true},  {WM_RBUTTONUP, MouseRight, false},
};

// Names of the "Gray 0" ... "Gray 9" and "F1" ... "F12" ranges.
const char* const grayNames[10] = {"Gray 0", "Gray 1", "Gray 2", "Gray 3", "Gray 4",
                                   "Gray 5", "Gray 6", "Gray 7", "Gray 8", "Gray 9"};
const char* const functionNames[12] = {"F1", "F2", "F3", "F4",  "F5",  "F6",
                                       "F7", "F8", "F9", "F10", "F11", "F12"};

} // namespace

InputSystem* InputSystem::instance() {
    static InputSystem* system = new InputSystem();
    return system;
}

InputSystem::InputSystem() {
    std::memset(&state_, 0, sizeof state_);
    fillKeyNames();
    fillVirtualKeys();
    nextDynamicCode_ = 0;
    GetKeyboardState(keyboardState_);
}

void InputSystem::fillKeyNames() {
    auto name = [this](int32_t code, const char* text) {
        String& entry = keyNames_[code];
        entry = String(text);
        entry.cStr(); // the names are handed out as C strings
    };
    for (const FixedKey& key : fixedKeys)
        name(key.code, key.name);
    for (int i = 0; i < 10; ++i) {
        name(KeyGray0 + i, grayNames[i]);
        char digit[2] = {char('0' + i), 0};
        name(Key0 + i, digit);
    }
    for (int i = 0; i < 12; ++i)
        name(KeyF1 + i, functionNames[i]);
    for (int i = 0; i < 26; ++i) {
        char letter[2] = {char('A' + i), 0};
        name(KeyA + i, letter);
    }
}

void InputSystem::fillVirtualKeys() {
    for (const FixedKey& key : fixedKeys)
        if (key.virtualKey)
            virtualKeys_[key.virtualKey] = key.code;
    for (int i = 0; i < 26; ++i)
        virtualKeys_['A' + i] = KeyA + i;
    for (int i = 0; i < 10; ++i) {
        virtualKeys_['0' + i] = Key0 + i;
        virtualKeys_[VK_NUMPAD0 + i] = KeyGray0 + i;
    }
    for (int i = 0; i < 12; ++i)
        virtualKeys_[VK_F1 + i] = KeyF1 + i;
}

const char* InputSystem::keyName(int32_t code) const {
    auto found = keyNames_.find(code);
    return found == keyNames_.end() ? nullptr : found->second.data();
}

int32_t InputSystem::keyCodeFor(uint32_t virtualKey) {
    int32_t& code = virtualKeys_[virtualKey];
    if (code == 0) {
        code = KeyFirstDynamic + nextDynamicCode_;
        ++nextDynamicCode_;
    }
    return code;
}

int32_t InputSystem::keyCodeOfMessage(WPARAM wParam, LPARAM lParam) {
    uint32_t vk = uint32_t(wParam);
    int32_t code = keyCodeFor(vk);
    bool sided = vk == VK_RETURN || vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
    if (sided && (lParam & KeyDataExtended))
        ++code;
    return code;
}

void InputSystem::keyEvent(int32_t code, int32_t character, bool pressed) {
    if (code != WheelUp && code != WheelDown && code >= 0 && code < KeyCodeCount) {
        uint8_t bit = uint8_t(1u << (code & 7));
        if (pressed)
            state_.keys[code >> 3] |= bit;
        else
            state_.keys[code >> 3] &= uint8_t(~bit);
    }
    state_.key = code;
    state_.character = character;
    deliver(pressed ? EventPress : EventRelease);
}

void InputSystem::mouseMoved(int32_t x, int32_t y) {
    state_.mouseX = x;
    state_.mouseY = y;
    state_.mouseDX = int32_t(uint32_t(x) - halfWidth());
    state_.mouseDY = int32_t(uint32_t(y) - halfHeight());
    deliver(EventMove);
}

void InputSystem::deliver(int32_t type) {
    // A listener may add another while it handles the event: the new one goes to the front,
    // behind the walk, so it waits for the next event and nobody is asked twice.
    for (InputListener* listener : listeners_)
        if ((listener->eventMask & type) && listener->handleInput(type, state_))
            break;
}

void InputSystem::addListener(InputListener* listener) {
    listeners_.push_front(listener);
}

uint32_t InputSystem::halfWidth() const {
    return GraphicSystem::instance()->getWidth() >> 1;
}

uint32_t InputSystem::halfHeight() const {
    return GraphicSystem::instance()->getHeight() >> 1;
}

void InputSystem::toCentreRelative(int32_t& x, int32_t& y) {
    x = int32_t(uint32_t(x) - halfWidth());
    y = int32_t(uint32_t(y) - halfHeight());
}

void InputSystem::centreCursor() {
    SetCursorPos(int(halfWidth()), int(halfHeight()));
}

bool InputSystem::onWindowCreated(HWND) {
    centreCursor();
    return true;
}

int32_t InputSystem::onMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP: {
        // Virtual keys are bytes; anything larger did not come from a keyboard and must not
        // reach the 256-entry state array or run the dynamic codes past the key bits.
        if (wParam > 0xFF)
            return 0;
        UINT vk = UINT(wParam);
        keyboardState_[vk] = BYTE(GetKeyState(int(vk)) & 0xFF);
        int32_t code = keyCodeOfMessage(wParam, lParam);
        if (message == WM_KEYUP) {
            keyEvent(code, 0, false);
            return 0;
        }
        WORD buffer[2] = {0, 0};
        UINT scanCode = UINT((lParam >> 16) & 0xFF);
        int result = ToAsciiEx(vk, scanCode, keyboardState_, buffer, 0, GetKeyboardLayout(0));
        keyEvent(code, result == 1 ? int32_t(buffer[0] & 0xFF) : 0, true);
        return 0;
    }
    case WM_MOUSEMOVE: {
        uint32_t x = LOWORD(lParam);
        uint32_t y = HIWORD(lParam);
        // centreCursor's own move: reporting it would undo the offset the game just read.
        if (x == halfWidth() && y == halfHeight())
            return 1;
        mouseMoved(int32_t(x), int32_t(y));
        return 1;
    }
    case WM_MOUSEWHEEL: {
        short delta = GET_WHEEL_DELTA_WPARAM(wParam);
        keyEvent(delta > 0 ? WheelUp : WheelDown, 0, true);
        return 1;
    }
    default:
        for (const MouseButtonMessage& button : mouseButtonMessages)
            if (button.message == message)
                keyEvent(button.code, 0, button.pressed);
        return 1;
    }
}
