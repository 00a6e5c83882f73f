// Keyboard and cursor services of the Win32 subset over SDL: virtual keys and key data for the
// key messages, the key-state table behind GetKeyState, character translation with the current
// layout into Windows-1251, and pointer placement.
#include "platform/sdl/internal.h"

#include "platform/shared/keystate.h"
#include "platform/shared/keytable.h"
#include "platform/shared/text.h"

#include <cstring>
#include <deque>

namespace {

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
    if (kb.locksRead)
        return;
    kb.locksRead = true;
    SDL_Keymod mods = SDL_GetModState();
    for (BYTE* keys : {kb.keys, kb.retrieved})
        setLockToggles(keys, mods & KMOD_CAPS, mods & KMOD_NUM, mods & KMOD_SCROLL);
}

// SDL's own scancodes past the keyboard page, as the usages they stand for.
struct SdlKey {
    SDL_Scancode scancode;
    uint32_t usage;
};
const SdlKey sdlKeys[] = {
    {SDL_SCANCODE_AUDIONEXT, keyUsage(KeyPageConsumer, 0xB5)},
    {SDL_SCANCODE_AUDIOPREV, keyUsage(KeyPageConsumer, 0xB6)},
    {SDL_SCANCODE_AUDIOSTOP, keyUsage(KeyPageConsumer, 0xB7)},
    {SDL_SCANCODE_AUDIOPLAY, keyUsage(KeyPageConsumer, 0xCD)},
    {SDL_SCANCODE_AUDIOMUTE, keyUsage(KeyPageKeyboard, 0x7F)},
    {SDL_SCANCODE_MEDIASELECT, keyUsage(KeyPageConsumer, 0x183)},
    {SDL_SCANCODE_MAIL, keyUsage(KeyPageConsumer, 0x18A)},
    {SDL_SCANCODE_CALCULATOR, keyUsage(KeyPageConsumer, 0x192)},
    {SDL_SCANCODE_COMPUTER, keyUsage(KeyPageConsumer, 0x194)},
    {SDL_SCANCODE_AC_SEARCH, keyUsage(KeyPageConsumer, 0x221)},
    {SDL_SCANCODE_AC_HOME, keyUsage(KeyPageConsumer, 0x223)},
    {SDL_SCANCODE_AC_BACK, keyUsage(KeyPageConsumer, 0x224)},
    {SDL_SCANCODE_AC_FORWARD, keyUsage(KeyPageConsumer, 0x225)},
    {SDL_SCANCODE_AC_STOP, keyUsage(KeyPageConsumer, 0x226)},
    {SDL_SCANCODE_AC_REFRESH, keyUsage(KeyPageConsumer, 0x227)},
    {SDL_SCANCODE_AC_BOOKMARKS, keyUsage(KeyPageConsumer, 0x22A)},
    {SDL_SCANCODE_SLEEP, keyUsage(KeyPageDesktop, 0x82)},
};

// The usage that SDL's scancode stands for: below SDL's own numbers they are the keyboard page's.
uint32_t usageOf(SDL_Scancode sc) {
    if (sc < SDL_SCANCODE_MODE)
        return keyUsage(KeyPageKeyboard, uint32_t(sc));
    for (const SdlKey& key : sdlKeys)
        if (key.scancode == sc)
            return key.usage;
    return 0;
}

SDL_Scancode scancodeOfUsage(uint32_t usage) {
    if ((usage >> 16) == KeyPageKeyboard)
        return SDL_Scancode(usage & 0xFFFF);
    for (const SdlKey& key : sdlKeys)
        if (key.usage == usage)
            return key.scancode;
    return SDL_SCANCODE_UNKNOWN;
}

// Letter and digit keys are named after what the layout puts on them when that is a Latin
// letter or a digit, and after their US position otherwise (a Cyrillic layout's A key is 'A').
BYTE layoutVirtualKey(SDL_Scancode sc, BYTE usPosition) {
    SDL_Keycode code = SDL_GetKeyFromScancode(sc);
    if (code >= 'a' && code <= 'z')
        return BYTE(code - 'a' + 'A');
    if (code >= '0' && code <= '9')
        return BYTE(code);
    return usPosition;
}

bool physicalKey(SDL_Scancode sc, const BYTE* keys, PhysicalKey& key) {
    const uint32_t usage = usageOf(sc);
    const KeyTableEntry* entry = keyTableFind(usage);
    if (!entry)
        return false;
    key = {entry->virtualKey, entry->scanCode, entry->extended};
    if ((sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) ||
        (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0))
        key.virtualKey = layoutVirtualKey(sc, entry->virtualKey);
    // NumLock decides between the keypad's character keys and its navigation keys, as on Windows.
    const BYTE navigation = keyWithoutNumLock(usage);
    if (navigation && !(keys[VK_NUMLOCK] & KeyStateToggled))
        key.virtualKey = navigation;
    return true;
}

// The text that the latest press of sc produced, looking into SDL's queue when the pump has not
// reached the text event yet (SDL queues it right behind the key press).
bool pressText(SDL_Scancode sc, Uint32& text) {
    KeyboardState& kb = keyboard();
    if (kb.textKey != sc)
        return false;
    if (!kb.textSeen) {
        SDL_Event events[8];
        int count = SDL_PeepEvents(events, 8, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_TEXTINPUT);
        for (int i = 0; i < count; ++i) {
            if (events[i].type == SDL_KEYDOWN)
                break;
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

// The key behind a key message: ToAsciiEx gets the scan code without its E0 prefix, so the
// virtual key decides between the plain key and the prefixed one (Volume Up shares B's code).
SDL_Scancode keyOf(UINT vk, UINT scanCode, const BYTE* keyState) {
    for (bool extended : {false, true}) {
        SDL_Scancode sc = platformScancodeOf(BYTE(scanCode), extended);
        PhysicalKey key;
        if (sc != SDL_SCANCODE_UNKNOWN && physicalKey(sc, keyState, key) && key.virtualKey == vk)
            return sc;
    }
    return SDL_SCANCODE_UNKNOWN;
}

int translate(UINT vk, UINT scanCode, const BYTE* keyState) {
    bool shift = (keyState[VK_SHIFT] & KeyStateDown) != 0;
    bool caps = (keyState[VK_CAPITAL] & KeyStateToggled) != 0;
    bool ctrl = (keyState[VK_CONTROL] & KeyStateDown) != 0;
    bool alt = (keyState[VK_MENU] & KeyStateDown) != 0;
    SDL_Scancode sc = keyOf(vk, scanCode, keyState);
    if (ctrl && alt) {
        // AltGr: only what the layout itself produced.
        Uint32 text;
        return pressText(sc, text) ? toCp1251(text) : 0;
    }
    if (ctrl)
        return ctrlCharacter(vk);
    int fixed = fixedCharacter(vk);
    if (fixed >= 0)
        return fixed;
    if (sc == SDL_SCANCODE_UNKNOWN)
        return 0;
    SDL_Keycode base = SDL_GetKeyFromScancode(sc);
    if (base <= 0 || (base & SDLK_SCANCODE_MASK) || base == SDLK_DELETE || base < 0x20)
        return 0;
    Uint32 c = Uint32(base);
    if (isCasedLetter(c))
        return toCp1251(shift != caps ? toUpperLetter(c) : toLowerLetter(c));
    if (!shift)
        return toCp1251(c);
    Uint32 text;
    if (pressText(sc, text))
        return toCp1251(text);
    return toCp1251(usShifted(c));
}

} // namespace

SDL_Scancode platformScancodeOf(uint8_t scanCode, bool extended) {
    const KeyTableEntry* entry = keyTableFindScanCode(scanCode, extended);
    return entry ? scancodeOfUsage(entry->usage) : SDL_SCANCODE_UNKNOWN;
}

void platformKeyEvent(HWND window, const SDL_KeyboardEvent& event) {
    KeyboardState& kb = keyboard();
    readLocks(kb);
    SDL_Scancode sc = event.keysym.scancode;
    if (sc <= SDL_SCANCODE_UNKNOWN || sc >= SDL_NUM_SCANCODES)
        return;
    bool down = event.state == SDL_PRESSED;
    PhysicalKey key;
    if (!physicalKey(sc, kb.keys, key))
        return;
    if (down) {
        kb.pressedAs[sc] = key.virtualKey;
        kb.textKey = sc;
        kb.text = 0;
        kb.textSeen = false;
    } else if (kb.pressedAs[sc]) {
        key.virtualKey = kb.pressedAs[sc];
        kb.pressedAs[sc] = 0;
    }

    const KeyMessage message = keyTransition(kb.keys, key, down, event.repeat != 0);
    kb.pending.push_back(
        {message.message, message.wParam, message.lParam, key, down, message.repeat});
    platformPostMessage(window, message.message, message.wParam, message.lParam);
}

void platformKeyMessageTaken(const MSG& msg) {
    // The record of a message this layer posted; records ahead of it left the queue earlier
    // (or were passed over by a filtered peek) and count as taken too.
    KeyboardState& kb = keyboard();
    for (size_t i = 0; i < kb.pending.size(); ++i) {
        const PendingKey& p = kb.pending[i];
        if (p.message != msg.message || p.wParam != msg.wParam || p.lParam != msg.lParam)
            continue;
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
    if (kb.textKey == SDL_SCANCODE_UNKNOWN || kb.textSeen)
        return;
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
    if (buttons & SDL_BUTTON_LMASK)
        out[VK_LBUTTON] |= KeyStateDown;
    if (buttons & SDL_BUTTON_RMASK)
        out[VK_RBUTTON] |= KeyStateDown;
    if (buttons & SDL_BUTTON_MMASK)
        out[VK_MBUTTON] |= KeyStateDown;
}

} // namespace

short GetKeyState(int virtualKey) {
    BYTE states[256];
    currentStates(states);
    return keyStateWord(states, virtualKey);
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (!keyState)
        return FALSE;
    currentStates(keyState);
    return TRUE;
}

int ToAsciiEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* buffer, UINT, HKL) {
    if (!keyState || !buffer || virtualKey > 255)
        return 0;
    int c = translate(virtualKey, scanCode & 0xFF, keyState);
    if (c <= 0)
        return 0;
    buffer[0] = WORD(c);
    return 1;
}

BOOL SetCursorPos(int x, int y) {
    HWND window = platformMainWindow();
    if (!window || !window->sdlWindow)
        return FALSE;
    SDL_WarpMouseInWindow(window->sdlWindow, x, y);
    return TRUE;
}
