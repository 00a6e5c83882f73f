// Key states and key messages as Windows keeps and posts them, and the keyboard layout's handle.
#include "platform/shared/keystate.h"

namespace {

// Key-message data bits.
constexpr LPARAM KeyDataExtended = LPARAM(1) << 24;
constexpr LPARAM KeyDataContext = LPARAM(1) << 29;
constexpr LPARAM KeyDataPrevious = LPARAM(1) << 30;
constexpr LPARAM KeyDataTransition = LPARAM(1) << 31;

// The left or right virtual key of Ctrl and Alt, or 0 (Shift goes by its scan code).
BYTE sidedKey(BYTE vk, bool extended) {
    switch (vk) {
    case VK_CONTROL:
        return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU:
        return extended ? VK_RMENU : VK_LMENU;
    default:
        return 0;
    }
}

void setDown(BYTE* keys, int vk, bool down) {
    if (down)
        keys[vk] |= KeyStateDown;
    else
        keys[vk] &= BYTE(~KeyStateDown);
}

} // namespace

bool isKeyDown(const BYTE* keys, int virtualKey) {
    return (keys[virtualKey] & KeyStateDown) != 0;
}

short keyStateWord(const BYTE* keys, int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    return short(static_cast<signed char>(keys[virtualKey]));
}

// Only one layout exists for a layer: whatever the system under it applies at the moment.
HKL GetKeyboardLayout(DWORD) {
    static char layoutToken;
    return reinterpret_cast<HKL>(&layoutToken);
}

void setLockToggles(BYTE* keys, bool capsLock, bool numLock, bool scrollLock) {
    if (capsLock)
        keys[VK_CAPITAL] |= KeyStateToggled;
    if (numLock)
        keys[VK_NUMLOCK] |= KeyStateToggled;
    if (scrollLock)
        keys[VK_SCROLL] |= KeyStateToggled;
}

void updateKeyState(BYTE* keys, const PhysicalKey& key, bool down, bool repeat) {
    BYTE vk = key.virtualKey;
    if (vk == VK_SHIFT) {
        setDown(keys, key.scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT, down);
        setDown(keys, VK_SHIFT, isKeyDown(keys, VK_LSHIFT) || isKeyDown(keys, VK_RSHIFT));
        return;
    }
    if (BYTE side = sidedKey(vk, key.extended)) {
        setDown(keys, side, down);
        BYTE left = vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        BYTE right = vk == VK_CONTROL ? VK_RCONTROL : VK_RMENU;
        setDown(keys, vk, isKeyDown(keys, left) || isKeyDown(keys, right));
        return;
    }
    if (down && !repeat && (vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL))
        keys[vk] ^= KeyStateToggled;
    setDown(keys, vk, down);
}

KeyMessage keyTransition(BYTE* keys, const PhysicalKey& key, bool down, bool autoRepeat) {
    const bool wasDown = isKeyDown(keys, key.virtualKey);
    const bool repeat = autoRepeat || (down && wasDown);
    const bool altBefore = isKeyDown(keys, VK_MENU);
    const bool ctrlBefore = isKeyDown(keys, VK_CONTROL);
    updateKeyState(keys, key, down, repeat);
    const bool altAfter = isKeyDown(keys, VK_MENU);
    const bool ctrlAfter = isKeyDown(keys, VK_CONTROL);

    LPARAM data = 1 | (LPARAM(key.scanCode) << 16);
    if (key.extended)
        data |= KeyDataExtended;
    if (altAfter)
        data |= KeyDataContext;
    if (!down)
        data |= KeyDataPrevious | KeyDataTransition;
    else if (repeat)
        data |= KeyDataPrevious;

    // A key goes to the system while Alt is held without Ctrl (Alt's own release included), and
    // F10 always does unless Ctrl is held.
    const bool alt = down ? altAfter : altBefore;
    const bool ctrl = down ? ctrlAfter : ctrlBefore;
    const bool system = !ctrl && (alt || key.virtualKey == VK_F10);
    const UINT message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    return {message, key.virtualKey, data, repeat};
}

PhysicalKey keyOfMessage(const MSG& msg) {
    return {BYTE(msg.wParam), BYTE((msg.lParam >> 16) & 0xFF), (msg.lParam & KeyDataExtended) != 0};
}

bool isKeyPressMessage(const MSG& msg) {
    return msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
}

bool isKeyRepeatMessage(const MSG& msg) {
    return isKeyPressMessage(msg) && (msg.lParam & KeyDataPrevious) != 0;
}
