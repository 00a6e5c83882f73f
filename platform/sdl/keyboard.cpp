// Keyboard and cursor services of the Win32 subset over SDL: virtual keys and key data for the
// key messages, the key-state table behind GetKeyState, character translation with the current
// layout into Windows-1251, and pointer placement.
#include "platform/sdl/internal.h"

#include <cstring>
#include <deque>

namespace {

// Key-message data bits.
constexpr LPARAM KeyDataExtended = LPARAM(1) << 24;
constexpr LPARAM KeyDataContext = LPARAM(1) << 29;
constexpr LPARAM KeyDataPrevious = LPARAM(1) << 30;
constexpr LPARAM KeyDataTransition = LPARAM(1) << 31;

constexpr BYTE KeyStateDown = 0x80;
constexpr BYTE KeyStateToggled = 0x01;

// How a physical key reaches Windows: its virtual key, its set-1 scan code and whether the
// scan code carries the E0 prefix (the extended-key flag).
struct PhysicalKey {
    BYTE virtualKey;
    BYTE scanCode;
    bool extended;
};

// A key message this layer has posted, with the change it makes to the key states once the
// program has taken it from the queue.
struct PendingKey {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    PhysicalKey key;
    bool down;
    bool repeat;
};

struct KeyboardState {
    // As the key events arrived: decides the key data and the routing of new messages.
    BYTE keys[256] = {};
    // As of the key messages the program has taken from the queue (platformKeyMessageTaken):
    // what GetKeyState answers, as Windows does, so that a message sees the modifiers of its own
    // moment even when later key events are already queued behind it.
    BYTE retrieved[256] = {};
    std::deque<PendingKey> pending;
    bool locksRead = false;
    // The virtual key each held scan code went down as, so that its release names the same key
    // even when NumLock or the layout changed in between.
    BYTE pressedAs[SDL_NUM_SCANCODES] = {};
    // Text that SDL produced for the latest key press.
    SDL_Scancode textKey = SDL_SCANCODE_UNKNOWN;
    Uint32 text = 0;
    bool textSeen = false;
};

KeyboardState& keyboard() {
    static KeyboardState state;
    return state;
}

// The lock keys start as the display server has them; from then on each press toggles them.
void readLocks(KeyboardState& kb) {
    if (kb.locksRead) {
        return;
    }
    kb.locksRead = true;
    SDL_Keymod mods = SDL_GetModState();
    for (BYTE* keys : {kb.keys, kb.retrieved}) {
        if (mods & KMOD_CAPS) {
            keys[VK_CAPITAL] |= KeyStateToggled;
        }
        if (mods & KMOD_NUM) {
            keys[VK_NUMLOCK] |= KeyStateToggled;
        }
        if (mods & KMOD_SCROLL) {
            keys[VK_SCROLL] |= KeyStateToggled;
        }
    }
}

bool isDown(const BYTE* keys, int vk) {
    return (keys[vk] & KeyStateDown) != 0;
}

// Keys whose virtual key does not depend on the layout or on NumLock.
bool fixedKey(SDL_Scancode sc, PhysicalKey& key) {
    switch (sc) {
    case SDL_SCANCODE_ESCAPE:
        key = {VK_ESCAPE, 0x01, false};
        return true;
    case SDL_SCANCODE_MINUS:
        key = {VK_OEM_MINUS, 0x0C, false};
        return true;
    case SDL_SCANCODE_EQUALS:
        key = {VK_OEM_PLUS, 0x0D, false};
        return true;
    case SDL_SCANCODE_BACKSPACE:
        key = {VK_BACK, 0x0E, false};
        return true;
    case SDL_SCANCODE_TAB:
        key = {VK_TAB, 0x0F, false};
        return true;
    case SDL_SCANCODE_LEFTBRACKET:
        key = {VK_OEM_4, 0x1A, false};
        return true;
    case SDL_SCANCODE_RIGHTBRACKET:
        key = {VK_OEM_6, 0x1B, false};
        return true;
    case SDL_SCANCODE_RETURN:
        key = {VK_RETURN, 0x1C, false};
        return true;
    case SDL_SCANCODE_LCTRL:
        key = {VK_CONTROL, 0x1D, false};
        return true;
    case SDL_SCANCODE_SEMICOLON:
        key = {VK_OEM_1, 0x27, false};
        return true;
    case SDL_SCANCODE_APOSTROPHE:
        key = {VK_OEM_7, 0x28, false};
        return true;
    case SDL_SCANCODE_GRAVE:
        key = {VK_OEM_3, 0x29, false};
        return true;
    case SDL_SCANCODE_LSHIFT:
        key = {VK_SHIFT, 0x2A, false};
        return true;
    case SDL_SCANCODE_BACKSLASH:
        key = {VK_OEM_5, 0x2B, false};
        return true;
    case SDL_SCANCODE_COMMA:
        key = {VK_OEM_COMMA, 0x33, false};
        return true;
    case SDL_SCANCODE_PERIOD:
        key = {VK_OEM_PERIOD, 0x34, false};
        return true;
    case SDL_SCANCODE_SLASH:
        key = {VK_OEM_2, 0x35, false};
        return true;
    // Right Shift has a scan code of its own and no E0 prefix.
    case SDL_SCANCODE_RSHIFT:
        key = {VK_SHIFT, 0x36, false};
        return true;
    case SDL_SCANCODE_KP_MULTIPLY:
        key = {VK_MULTIPLY, 0x37, false};
        return true;
    case SDL_SCANCODE_LALT:
        key = {VK_MENU, 0x38, false};
        return true;
    case SDL_SCANCODE_SPACE:
        key = {VK_SPACE, 0x39, false};
        return true;
    case SDL_SCANCODE_CAPSLOCK:
        key = {VK_CAPITAL, 0x3A, false};
        return true;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        key = {VK_NUMLOCK, 0x45, true};
        return true;
    case SDL_SCANCODE_SCROLLLOCK:
        key = {VK_SCROLL, 0x46, false};
        return true;
    case SDL_SCANCODE_KP_MINUS:
        key = {VK_SUBTRACT, 0x4A, false};
        return true;
    case SDL_SCANCODE_KP_PLUS:
        key = {VK_ADD, 0x4E, false};
        return true;
    case SDL_SCANCODE_NONUSBACKSLASH:
        key = {VK_OEM_102, 0x56, false};
        return true;
    case SDL_SCANCODE_F11:
        key = {VK_F11, 0x57, false};
        return true;
    case SDL_SCANCODE_F12:
        key = {VK_F12, 0x58, false};
        return true;
    case SDL_SCANCODE_PAUSE:
        key = {VK_PAUSE, 0x45, false};
        return true;
    case SDL_SCANCODE_KP_ENTER:
        key = {VK_RETURN, 0x1C, true};
        return true;
    case SDL_SCANCODE_RCTRL:
        key = {VK_CONTROL, 0x1D, true};
        return true;
    case SDL_SCANCODE_KP_DIVIDE:
        key = {VK_DIVIDE, 0x35, true};
        return true;
    case SDL_SCANCODE_PRINTSCREEN:
        key = {VK_SNAPSHOT, 0x37, true};
        return true;
    case SDL_SCANCODE_RALT:
        key = {VK_MENU, 0x38, true};
        return true;
    case SDL_SCANCODE_HOME:
        key = {VK_HOME, 0x47, true};
        return true;
    case SDL_SCANCODE_UP:
        key = {VK_UP, 0x48, true};
        return true;
    case SDL_SCANCODE_PAGEUP:
        key = {VK_PRIOR, 0x49, true};
        return true;
    case SDL_SCANCODE_LEFT:
        key = {VK_LEFT, 0x4B, true};
        return true;
    case SDL_SCANCODE_RIGHT:
        key = {VK_RIGHT, 0x4D, true};
        return true;
    case SDL_SCANCODE_END:
        key = {VK_END, 0x4F, true};
        return true;
    case SDL_SCANCODE_DOWN:
        key = {VK_DOWN, 0x50, true};
        return true;
    case SDL_SCANCODE_PAGEDOWN:
        key = {VK_NEXT, 0x51, true};
        return true;
    case SDL_SCANCODE_INSERT:
        key = {VK_INSERT, 0x52, true};
        return true;
    case SDL_SCANCODE_DELETE:
        key = {VK_DELETE, 0x53, true};
        return true;
    case SDL_SCANCODE_LGUI:
        key = {VK_LWIN, 0x5B, true};
        return true;
    case SDL_SCANCODE_RGUI:
        key = {VK_RWIN, 0x5C, true};
        return true;
    case SDL_SCANCODE_APPLICATION:
        key = {VK_APPS, 0x5D, true};
        return true;
    default:
        break;
    }
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) {
        int i = sc - SDL_SCANCODE_F1;
        key = {BYTE(VK_F1 + i), BYTE(0x3B + i), false};
        return true;
    }
    return false;
}

// Set-1 scan codes of the letter keys A to Z and of the digit keys 1 to 9, 0.
const BYTE letterScanCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                  0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                  0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

// The numeric keypad's digits and point, in SDL's order (1 to 9, 0, point): NumLock decides
// between the character keys and the navigation keys, as on Windows.
struct KeypadKey {
    BYTE scanCode;
    BYTE withNumLock;
    BYTE withoutNumLock;
};
const KeypadKey keypadKeys[11] = {
    {0x4F, VK_NUMPAD1, VK_END},    {0x50, VK_NUMPAD2, VK_DOWN},  {0x51, VK_NUMPAD3, VK_NEXT},
    {0x4B, VK_NUMPAD4, VK_LEFT},   {0x4C, VK_NUMPAD5, VK_CLEAR}, {0x4D, VK_NUMPAD6, VK_RIGHT},
    {0x47, VK_NUMPAD7, VK_HOME},   {0x48, VK_NUMPAD8, VK_UP},    {0x49, VK_NUMPAD9, VK_PRIOR},
    {0x52, VK_NUMPAD0, VK_INSERT}, {0x53, VK_DECIMAL, VK_DELETE}};

// Letter and digit keys are named after what the layout puts on them when that is a Latin
// letter or a digit, and after their US position otherwise (a Cyrillic layout's A key is 'A').
BYTE layoutVirtualKey(SDL_Scancode sc, BYTE usPosition) {
    SDL_Keycode code = SDL_GetKeyFromScancode(sc);
    if (code >= 'a' && code <= 'z') {
        return BYTE(code - 'a' + 'A');
    }
    if (code >= '0' && code <= '9') {
        return BYTE(code);
    }
    return usPosition;
}

bool physicalKey(SDL_Scancode sc, const BYTE* keys, PhysicalKey& key) {
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
        int i = sc - SDL_SCANCODE_A;
        key = {layoutVirtualKey(sc, BYTE('A' + i)), letterScanCodes[i], false};
        return true;
    }
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) {
        int i = sc - SDL_SCANCODE_1;
        BYTE us = BYTE(i == 9 ? '0' : '1' + i);
        key = {layoutVirtualKey(sc, us), BYTE(0x02 + i), false};
        return true;
    }
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_PERIOD) {
        const KeypadKey& pad = keypadKeys[sc - SDL_SCANCODE_KP_1];
        bool numLock = (keys[VK_NUMLOCK] & KeyStateToggled) != 0;
        key = {numLock ? pad.withNumLock : pad.withoutNumLock, pad.scanCode, false};
        return true;
    }
    return fixedKey(sc, key);
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
    if (down) {
        keys[vk] |= KeyStateDown;
    } else {
        keys[vk] &= BYTE(~KeyStateDown);
    }
}

void updateKeyState(BYTE* keys, const PhysicalKey& key, bool down, bool repeat) {
    BYTE vk = key.virtualKey;
    if (vk == VK_SHIFT) {
        setDown(keys, key.scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT, down);
        setDown(keys, VK_SHIFT, isDown(keys, VK_LSHIFT) || isDown(keys, VK_RSHIFT));
        return;
    }
    if (BYTE side = sidedKey(vk, key.extended)) {
        setDown(keys, side, down);
        BYTE left = vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        BYTE right = vk == VK_CONTROL ? VK_RCONTROL : VK_RMENU;
        setDown(keys, vk, isDown(keys, left) || isDown(keys, right));
        return;
    }
    if (down && !repeat && (vk == VK_CAPITAL || vk == VK_NUMLOCK || vk == VK_SCROLL)) {
        keys[vk] ^= KeyStateToggled;
    }
    setDown(keys, vk, down);
}

Uint32 decodeUtf8(const char* text) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    if (s[0] < 0x80) {
        return s[0];
    }
    int extra = s[0] >= 0xF0 ? 3 : s[0] >= 0xE0 ? 2 : s[0] >= 0xC0 ? 1 : -1;
    if (extra < 0) {
        return 0;
    }
    Uint32 c = s[0] & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (s[i] & 0x3F);
    }
    return c;
}

// Unicode of the Windows-1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
const Uint16 cp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// The Windows-1251 byte of a character, or 0 where the code page has none.
int toCp1251(Uint32 c) {
    if (c < 0x80) {
        return int(c);
    }
    if (c >= 0x0410 && c <= 0x044F) {
        return int(c - 0x0410 + 0xC0);
    }
    for (int i = 0; i < 64; ++i) {
        if (cp1251High[i] == c) {
            return 0x80 + i;
        }
    }
    return 0;
}

// Case of the Latin and Cyrillic letters that Windows-1251 holds; -1 for anything else.
int letterCase(Uint32 c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0x0430 && c <= 0x045F) || c == 0x0491) {
        return 0;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 0x0400 && c <= 0x042F) || c == 0x0490) {
        return 1;
    }
    return -1;
}

Uint32 toUpper(Uint32 c) {
    if (c >= 'a' && c <= 'z') {
        return c - 0x20;
    }
    if (c >= 0x0430 && c <= 0x044F) {
        return c - 0x20;
    }
    if (c >= 0x0450 && c <= 0x045F) {
        return c - 0x50;
    }
    return c == 0x0491 ? 0x0490 : c;
}

Uint32 toLower(Uint32 c) {
    if (c >= 'A' && c <= 'Z') {
        return c + 0x20;
    }
    if (c >= 0x0410 && c <= 0x042F) {
        return c + 0x20;
    }
    if (c >= 0x0400 && c <= 0x040F) {
        return c + 0x50;
    }
    return c == 0x0490 ? 0x0491 : c;
}

// What Shift does to the keys of the US layout, for when SDL has not told the layout's own
// shifted character.
Uint32 usShifted(Uint32 c) {
    static const char plain[] = "1234567890-=[]\\;',./`";
    static const char shifted[] = "!@#$%^&*()_+{}|:\"<>?~";
    for (int i = 0; plain[i]; ++i) {
        if (Uint32(plain[i]) == c) {
            return Uint32(shifted[i]);
        }
    }
    return 0;
}

SDL_Scancode scancodeFromScan(UINT scanCode) {
    KeyboardState& kb = keyboard();
    for (int sc = SDL_SCANCODE_A; sc < SDL_NUM_SCANCODES; ++sc) {
        PhysicalKey key;
        if (physicalKey(SDL_Scancode(sc), kb.keys, key) && !key.extended &&
            key.scanCode == scanCode) {
            return SDL_Scancode(sc);
        }
    }
    return SDL_SCANCODE_UNKNOWN;
}

// The text that the latest press of sc produced, looking into SDL's queue when the pump has not
// reached the text event yet (SDL queues it right behind the key press).
bool pressText(SDL_Scancode sc, Uint32& text) {
    KeyboardState& kb = keyboard();
    if (kb.textKey != sc) {
        return false;
    }
    if (!kb.textSeen) {
        SDL_Event events[8];
        int count = SDL_PeepEvents(events, 8, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_TEXTINPUT);
        for (int i = 0; i < count; ++i) {
            if (events[i].type == SDL_KEYDOWN) {
                break;
            }
            if (events[i].type == SDL_TEXTINPUT) {
                kb.text = decodeUtf8(events[i].text.text);
                kb.textSeen = true;
                break;
            }
        }
    }
    text = kb.text;
    return kb.textSeen && text != 0;
}

// Characters of keys that do not depend on the layout.
int controlCharacter(UINT vk) {
    switch (vk) {
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return 0x09;
    case VK_RETURN:
        return 0x0D;
    case VK_ESCAPE:
        return 0x1B;
    case VK_SPACE:
        return 0x20;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        break;
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        return int('0' + vk - VK_NUMPAD0);
    }
    return -1;
}

// Ctrl with a letter or a bracket gives the ASCII control code, as on Windows.
int ctrlCharacter(UINT vk) {
    if (vk >= 'A' && vk <= 'Z') {
        return int(vk - 'A' + 1);
    }
    switch (vk) {
    case VK_OEM_4:
        return 0x1B;
    case VK_OEM_5:
        return 0x1C;
    case VK_OEM_6:
        return 0x1D;
    case VK_RETURN:
        return 0x0A;
    case VK_BACK:
        return 0x7F;
    case VK_SPACE:
        return 0x20;
    case VK_ESCAPE:
        return 0x1B;
    default:
        return 0;
    }
}

int translate(UINT vk, UINT scanCode, const BYTE* keyState) {
    bool shift = (keyState[VK_SHIFT] & KeyStateDown) != 0;
    bool caps = (keyState[VK_CAPITAL] & KeyStateToggled) != 0;
    bool ctrl = (keyState[VK_CONTROL] & KeyStateDown) != 0;
    bool alt = (keyState[VK_MENU] & KeyStateDown) != 0;
    SDL_Scancode sc = scancodeFromScan(scanCode);
    if (ctrl && alt) {
        // AltGr: only what the layout itself produced.
        Uint32 text;
        return pressText(sc, text) ? toCp1251(text) : 0;
    }
    if (ctrl) {
        return ctrlCharacter(vk);
    }
    int fixed = controlCharacter(vk);
    if (fixed >= 0) {
        return fixed;
    }
    if (sc == SDL_SCANCODE_UNKNOWN) {
        return 0;
    }
    SDL_Keycode base = SDL_GetKeyFromScancode(sc);
    if (base <= 0 || (base & SDLK_SCANCODE_MASK) || base == SDLK_DELETE || base < 0x20) {
        return 0;
    }
    Uint32 c = Uint32(base);
    if (letterCase(c) >= 0) {
        return toCp1251(shift != caps ? toUpper(c) : toLower(c));
    }
    if (!shift) {
        return toCp1251(c);
    }
    Uint32 text;
    if (pressText(sc, text)) {
        return toCp1251(text);
    }
    return toCp1251(usShifted(c));
}

} // namespace

void platformKeyEvent(HWND window, const SDL_KeyboardEvent& event) {
    KeyboardState& kb = keyboard();
    readLocks(kb);
    SDL_Scancode sc = event.keysym.scancode;
    if (sc <= SDL_SCANCODE_UNKNOWN || sc >= SDL_NUM_SCANCODES) {
        return;
    }
    bool down = event.state == SDL_PRESSED;
    PhysicalKey key;
    if (!physicalKey(sc, kb.keys, key)) {
        return;
    }
    if (down) {
        kb.pressedAs[sc] = key.virtualKey;
        kb.textKey = sc;
        kb.text = 0;
        kb.textSeen = false;
    } else if (kb.pressedAs[sc]) {
        key.virtualKey = kb.pressedAs[sc];
        kb.pressedAs[sc] = 0;
    }

    bool wasDown = isDown(kb.keys, key.virtualKey);
    bool altBefore = isDown(kb.keys, VK_MENU);
    bool ctrlBefore = isDown(kb.keys, VK_CONTROL);
    updateKeyState(kb.keys, key, down, event.repeat != 0 || (down && wasDown));
    bool altAfter = isDown(kb.keys, VK_MENU);
    bool ctrlAfter = isDown(kb.keys, VK_CONTROL);

    LPARAM data = 1 | (LPARAM(key.scanCode) << 16);
    if (key.extended) {
        data |= KeyDataExtended;
    }
    if (altAfter) {
        data |= KeyDataContext;
    }
    if (!down) {
        data |= KeyDataPrevious | KeyDataTransition;
    } else if (event.repeat || wasDown) {
        data |= KeyDataPrevious;
    }

    // A key goes to the system while Alt is held without Ctrl (Alt's own release included), and
    // F10 always does unless Ctrl is held.
    bool alt = down ? altAfter : altBefore;
    bool ctrl = down ? ctrlAfter : ctrlBefore;
    bool system = !ctrl && (alt || key.virtualKey == VK_F10);
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    kb.pending.push_back(
        {message, key.virtualKey, data, key, down, event.repeat != 0 || (down && wasDown)});
    platformPostMessage(window, message, key.virtualKey, data);
}

void platformKeyMessageTaken(const MSG& msg) {
    // The record of a message this layer posted; records ahead of it left the queue earlier
    // (or were passed over by a filtered peek) and count as taken too.
    KeyboardState& kb = keyboard();
    for (size_t i = 0; i < kb.pending.size(); ++i) {
        const PendingKey& p = kb.pending[i];
        if (p.message != msg.message || p.wParam != msg.wParam || p.lParam != msg.lParam) {
            continue;
        }
        for (size_t j = 0; j <= i; ++j) {
            const PendingKey& taken = kb.pending.front();
            updateKeyState(kb.retrieved, taken.key, taken.down, taken.repeat);
            kb.pending.pop_front();
        }
        return;
    }
}

void platformTextInput(const SDL_TextInputEvent& event) {
    KeyboardState& kb = keyboard();
    if (kb.textKey == SDL_SCANCODE_UNKNOWN || kb.textSeen) {
        return;
    }
    kb.text = decodeUtf8(event.text);
    kb.textSeen = true;
}

namespace {

// The state bytes as of the messages taken so far, with the mouse buttons that SDL holds.
void currentStates(BYTE* out) {
    KeyboardState& kb = keyboard();
    readLocks(kb);
    std::memcpy(out, kb.retrieved, sizeof kb.retrieved);
    Uint32 buttons = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetMouseState(nullptr, nullptr) : 0;
    if (buttons & SDL_BUTTON_LMASK) {
        out[VK_LBUTTON] |= KeyStateDown;
    }
    if (buttons & SDL_BUTTON_RMASK) {
        out[VK_RBUTTON] |= KeyStateDown;
    }
    if (buttons & SDL_BUTTON_MMASK) {
        out[VK_MBUTTON] |= KeyStateDown;
    }
}

} // namespace

short GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    BYTE states[256];
    currentStates(states);
    // Windows sign-extends the state byte, so a held key reads 0xFF80 and its low byte is the
    // byte of the keyboard-state array.
    return short(static_cast<signed char>(states[virtualKey]));
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (!keyState) {
        return FALSE;
    }
    currentStates(keyState);
    return TRUE;
}

HKL GetKeyboardLayout(DWORD) {
    // Only one layout exists here: whatever the display server applies at the moment.
    static char layoutToken;
    return reinterpret_cast<HKL>(&layoutToken);
}

int ToAsciiEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* buffer, UINT, HKL) {
    if (!keyState || !buffer || virtualKey > 255) {
        return 0;
    }
    int c = translate(virtualKey, scanCode & 0xFF, keyState);
    if (c <= 0) {
        return 0;
    }
    buffer[0] = WORD(c);
    return 1;
}

BOOL SetCursorPos(int x, int y) {
    HWND window = platformMainWindow();
    if (!window || !window->sdlWindow) {
        return FALSE;
    }
    SDL_WarpMouseInWindow(window->sdlWindow, x, y);
    return TRUE;
}
