// Key states and key messages as Windows keeps and posts them, for each layer's one keyboard,
// and the keyboard layout's handle.
#include "platform/shared/keytracker.h"

#include "platform/shared/keytable.h"
#include "platform/shared/windowing.h"

namespace {

// Key-message data bits.
constexpr LPARAM KeyDataExtended = LPARAM(1) << 24;
constexpr LPARAM KeyDataContext = LPARAM(1) << 29;
constexpr LPARAM KeyDataPrevious = LPARAM(1) << 30;
constexpr LPARAM KeyDataTransition = LPARAM(1) << 31;

bool isKeyDown(const BYTE* keys, int virtualKey) {
    return (keys[virtualKey] & KeyStateDown) != 0;
}

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

void setLockToggles(BYTE* keys, bool capsLock, bool numLock, bool scrollLock) {
    if (capsLock)
        keys[VK_CAPITAL] |= KeyStateToggled;
    if (numLock)
        keys[VK_NUMLOCK] |= KeyStateToggled;
    if (scrollLock)
        keys[VK_SCROLL] |= KeyStateToggled;
}

// Applies a press or release to a 256-byte key-state array: Shift, Ctrl and Alt with their
// sides, and the lock keys' toggles (an auto-repeated press does not toggle again).
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

// The message Windows posts for a key transition and whether it repeats a press of a key already
// down.
struct KeyMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool repeat;
};

// Applies the transition to keys (the states as the key events arrived) and answers its message.
// altAlone tells whether no other key has gone down since Alt did.
KeyMessage keyTransition(BYTE* keys, const PhysicalKey& key, bool down, bool autoRepeat,
                         bool& altAlone) {
    const bool wasDown = isKeyDown(keys, key.virtualKey);
    const bool repeat = autoRepeat || (down && wasDown);
    const bool altBefore = isKeyDown(keys, VK_MENU);
    const bool ctrlBefore = isKeyDown(keys, VK_CONTROL);
    if (down && key.virtualKey != VK_MENU)
        altAlone = false;
    else if (down && !altBefore)
        altAlone = true;
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

    // A key goes to the system while Alt is held without Ctrl, and F10 always does unless Ctrl
    // is held. Alt's own release does only when Alt went down and up alone: after Alt+key it is
    // a plain WM_KEYUP, so that it opens no menu.
    const bool alt = down ? altAfter : altBefore && (key.virtualKey != VK_MENU || altAlone);
    const bool ctrl = down ? ctrlAfter : ctrlBefore;
    const bool system = !ctrl && (alt || key.virtualKey == VK_F10);
    const UINT message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    return {message, key.virtualKey, data, repeat};
}

BYTE layoutVirtualKey(uint32_t character, BYTE usPosition) {
    if (character >= 'a' && character <= 'z')
        return BYTE(character - 'a' + 'A');
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9'))
        return BYTE(character);
    return usPosition;
}

} // namespace

short keyStateWord(const BYTE* keys, int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    return short(static_cast<signed char>(keys[virtualKey]));
}

bool physicalKey(uint32_t usage, uint32_t layoutCharacter, const BYTE* keys, PhysicalKey& key) {
    const KeyTableEntry* entry = keyTableFind(usage);
    if (entry == nullptr)
        return false;
    key = {entry->virtualKey, entry->scanCode, entry->extended};
    const BYTE vk = entry->virtualKey;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        key.virtualKey = layoutVirtualKey(layoutCharacter, vk);
    // NumLock decides between the keypad's character keys and its navigation keys, as on Windows.
    const BYTE navigation = keyWithoutNumLock(usage);
    if (navigation && !(keys[VK_NUMLOCK] & KeyStateToggled))
        key.virtualKey = navigation;
    return true;
}

// Only one layout exists for a layer: whatever the system under it applies at the moment.
HKL GetKeyboardLayout(DWORD) {
    static char layoutToken;
    return reinterpret_cast<HKL>(&layoutToken);
}

void KeyTracker::startLocks(bool capsLock, bool numLock, bool scrollLock) {
    if (locksStarted_)
        return;
    locksStarted_ = true;
    for (BYTE* keys : {keys_, taken_})
        setLockToggles(keys, capsLock, numLock, scrollLock);
}

bool KeyTracker::keyEvent(HWND window, uint32_t usage, uint32_t layoutCharacter, bool down,
                          bool autoRepeat) {
    PhysicalKey key;
    if (!physicalKey(usage, layoutCharacter, keys_, key))
        return false;
    if (down) {
        pressedAs_[usage] = key.virtualKey;
    } else {
        auto pressed = pressedAs_.find(usage);
        if (pressed != pressedAs_.end()) {
            key.virtualKey = pressed->second;
            pressedAs_.erase(pressed);
        }
    }
    post(window, key, down, autoRepeat);
    return true;
}

void KeyTracker::forgetHeldKeys() {
    for (BYTE& state : keys_)
        state &= KeyStateToggled;
    pressedAs_.clear();
    altAlone_ = false;
}

void KeyTracker::post(HWND window, const PhysicalKey& key, bool down, bool autoRepeat) {
    const KeyMessage message = keyTransition(keys_, key, down, autoRepeat, altAlone_);
    pending_.push_back(
        {message.message, message.wParam, message.lParam, key, down, message.repeat});
    platformPostMessage(window, message.message, message.wParam, message.lParam);
}

void KeyTracker::messageTaken(const MSG& msg) {
    // The record of a message this tracker posted; records ahead of it left the queue earlier
    // (or were passed over by a filtered peek) and count as taken too.
    for (size_t i = 0; i < pending_.size(); ++i) {
        const Pending& p = pending_[i];
        if (p.message != msg.message || p.wParam != msg.wParam || p.lParam != msg.lParam)
            continue;
        for (size_t j = 0; j <= i; ++j) {
            const Pending& taken = pending_.front();
            updateKeyState(taken_, taken.key, taken.down, taken.repeat);
            pending_.pop_front();
        }
        return;
    }
}

KeyTracker& keyTracker() {
    static KeyTracker tracker;
    return tracker;
}
