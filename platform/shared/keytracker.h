// The keyboard as Windows keeps it for a program, for the layers that stand in for Win32: a layer
// reports its system's key events by physical key (a USB HID usage of the shared key table) and
// the tracker posts the key message Windows posts for each, with its virtual key and key data,
// and keeps the key states that GetKeyState answers. What differs between the systems (where the
// events, the lock keys' first state and the layout's characters come from, and ToAsciiEx's
// characters) stays with the layer.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <deque>
#include <map>

constexpr BYTE KeyStateDown = 0x80;
constexpr BYTE KeyStateToggled = 0x01;

// How a physical key reaches Windows: its virtual key, its set-1 scan code and whether the
// scan code carries the E0 prefix (the extended-key flag).
struct PhysicalKey {
    BYTE virtualKey;
    BYTE scanCode;
    bool extended;
};

// What GetKeyState answers from a key-state array: the state byte sign-extended, as Windows gives
// it (a held key reads 0xFF80); 0 for a number that is no virtual key.
short keyStateWord(const BYTE* keys, int virtualKey);

// The key that Windows reports for the physical key `usage` while `keys` are the key states: the
// key table's scan code and virtual key, except that the letter and digit keys are named after
// what the layout puts on them (layoutCharacter) when that is a Latin letter or a digit, and
// after their US position otherwise (a Cyrillic layout's A key is 'A'), and that the keypad's
// keys are its navigation keys while NumLock is off. False for a key that has no virtual key.
bool physicalKey(uint32_t usage, uint32_t layoutCharacter, const BYTE* keys, PhysicalKey& key);

class KeyTracker {
public:
    // The lock keys as the system has them, told before the first key event or state that needs
    // them; only the first call counts, since from then on each press toggles them.
    void startLocks(bool capsLock, bool numLock, bool scrollLock);

    // A key going down (autoRepeat: again, by the system's key repeat) or up: posts its message
    // to window with platformPostMessage: WM_SYSKEYDOWN/WM_SYSKEYUP while Alt is held without
    // Ctrl and for F10, WM_KEYDOWN/WM_KEYUP otherwise (Alt's own release after Alt+key too, as
    // Windows sends it; only Alt pressed and released alone gives WM_SYSKEYUP), with the key
    // data's repeat count, scan code, extended, context, previous-state and transition bits. A
    // release names the virtual key its press had, even when NumLock or the layout changed in
    // between. False, and nothing posted, for a key that has no virtual key.
    bool keyEvent(HWND window, uint32_t usage, uint32_t layoutCharacter, bool down,
                  bool autoRepeat);

    // The layer's entry point for a window that has lost the keyboard to a system that will not
    // report the releases of the keys held now (a browser page that loses the focus): forgets
    // them and posts nothing, as Windows sends no release when the focus leaves. The messages
    // posted from then on go as if no key were held (Escape after Alt+Tab is a plain
    // WM_KEYDOWN); GetKeyState keeps answering as of the messages taken, and the lock keys keep
    // their toggles.
    void forgetHeldKeys();

    // A key message the program has taken from the queue (PeekMessageA): the states change as of
    // the messages taken, as on Windows, so that a message sees the modifiers of its own moment
    // even when later key events are already queued behind it. A key message the layer did not
    // post (PostMessageA) changes nothing.
    void messageTaken(const MSG& msg);

    // The key states as of the messages taken: what GetKeyState answers.
    const BYTE* takenStates() const { return taken_; }

private:
    // A key message posted, with the change it makes once the program has taken it.
    struct Pending {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        PhysicalKey key;
        bool down;
        bool repeat;
    };

    void post(HWND window, const PhysicalKey& key, bool down, bool autoRepeat);

    // As the key events arrived: decides the key data and the routing of new messages.
    BYTE keys_[256] = {};
    BYTE taken_[256] = {};
    std::deque<Pending> pending_;
    // The virtual key each held key went down as, by usage.
    std::map<uint32_t, BYTE> pressedAs_;
    bool locksStarted_ = false;
    // Whether no other key has gone down since Alt did.
    bool altAlone_ = false;
};

// The program's keyboard. PeekMessageA tells it of every key message taken (messageTaken).
KeyTracker& keyTracker();
