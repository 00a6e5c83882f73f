// Windows' bookkeeping of the keyboard for the platform layers that stand in for Win32: the
// key-state array that a key transition changes (Shift, Ctrl and Alt with their sides, the lock
// keys' toggles) and the key message, with its key data, that Windows posts for the transition.
#pragma once

#include "platform/win32.h"

constexpr BYTE KeyStateDown = 0x80;
constexpr BYTE KeyStateToggled = 0x01;

// How a physical key reaches Windows: its virtual key, its set-1 scan code and whether the
// scan code carries the E0 prefix (the extended-key flag).
struct PhysicalKey {
    BYTE virtualKey;
    BYTE scanCode;
    bool extended;
};

bool isKeyDown(const BYTE* keys, int virtualKey);

// What GetKeyState answers from a key-state array: the state byte sign-extended, as Windows gives
// it (a held key reads 0xFF80); 0 for a number that is no virtual key.
short keyStateWord(const BYTE* keys, int virtualKey);

// Marks the lock keys that are on as toggled, as the system reports them at the start.
void setLockToggles(BYTE* keys, bool capsLock, bool numLock, bool scrollLock);

// Applies a press or release to a 256-byte key-state array; repeat marks an auto-repeated press,
// which does not toggle a lock key again.
void updateKeyState(BYTE* keys, const PhysicalKey& key, bool down, bool repeat);

// The message Windows posts for a key transition and whether it repeats a press of a key already
// down.
struct KeyMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool repeat;
};

// Applies the transition to keys (the states as the key events arrived) and answers its message:
// WM_SYSKEYDOWN/WM_SYSKEYUP while Alt is held without Ctrl and for F10, WM_KEYDOWN/WM_KEYUP
// otherwise, with the key data's repeat count, scan code, extended, context, previous-state and
// transition bits.
KeyMessage keyTransition(BYTE* keys, const PhysicalKey& key, bool down, bool autoRepeat);

// The transition a key message stands for, read back from its virtual key and key data.
PhysicalKey keyOfMessage(const MSG& msg);
bool isKeyPressMessage(const MSG& msg);
bool isKeyRepeatMessage(const MSG& msg);
