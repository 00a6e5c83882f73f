// Keyboard and cursor services of the Win32 subset over SDL: SDL's key events through the shared
// key tracker, the key-state table behind GetKeyState, character translation with the current
// layout into Windows-1251, and pointer placement.
#include "platform/sdl/internal.h"

#include "platform/shared/keytable.h"
#include "platform/shared/keytracker.h"
#include "platform/shared/text.h"

#include <cstring>

namespace {

// Text that SDL produced for the latest key press.
struct PressText {
    SDL_Scancode key = SDL_SCANCODE_UNKNOWN;
    Uint32 text = 0;
    bool seen = false;
};

PressText& pressed() {
    static PressText state;
    return state;
}

// The lock keys start as the display server has them.
void readLocks() {
    const SDL_Keymod mods = SDL_GetModState();
    keyTracker().startLocks(mods & KMOD_CAPS, mods & KMOD_NUM, mods & KMOD_SCROLL);
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

// What the current layout puts on the key, in SDL's key map: the character the letter and digit
// keys are named after.
uint32_t layoutCharacter(SDL_Scancode sc) {
    return uint32_t(SDL_GetKeyFromScancode(sc));
}

// The text that the latest press of sc produced, looking into SDL's queue when the pump has not
// reached the text event yet (SDL queues it right behind the key press).
bool pressText(SDL_Scancode sc, Uint32& text) {
    PressText& latest = pressed();
    if (latest.key != sc)
        return false;
    if (!latest.seen) {
        SDL_Event events[8];
        int count = SDL_PeepEvents(events, 8, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_TEXTINPUT);
        for (int i = 0; i < count; ++i) {
            if (events[i].type == SDL_KEYDOWN)
                break;
            if (events[i].type == SDL_TEXTINPUT) {
                latest.text = decodeUtf8(events[i].text.text);
                latest.seen = true;
                break;
            }
        }
    }
    text = latest.text;
    return latest.seen && text != 0;
}

// The key behind a key message: ToAsciiEx gets the scan code without its E0 prefix, so the
// virtual key decides between the plain key and the prefixed one (Volume Up shares B's code).
SDL_Scancode keyOf(UINT vk, UINT scanCode, const BYTE* keyState) {
    for (bool extended : {false, true}) {
        SDL_Scancode sc = sdl::scancodeOf(BYTE(scanCode), extended);
        PhysicalKey key;
        if (sc != SDL_SCANCODE_UNKNOWN &&
            physicalKey(usageOf(sc), layoutCharacter(sc), keyState, key) && key.virtualKey == vk)
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

SDL_Scancode sdl::scancodeOf(uint8_t scanCode, bool extended) {
    const KeyTableEntry* entry = keyTableFindScanCode(scanCode, extended);
    return entry ? scancodeOfUsage(entry->usage) : SDL_SCANCODE_UNKNOWN;
}

void sdl::keyEvent(HWND window, const SDL_KeyboardEvent& event) {
    readLocks();
    SDL_Scancode sc = event.keysym.scancode;
    if (sc <= SDL_SCANCODE_UNKNOWN || sc >= SDL_NUM_SCANCODES)
        return;
    const bool down = event.state == SDL_PRESSED;
    if (keyTracker().keyEvent(window, usageOf(sc), layoutCharacter(sc), down, event.repeat != 0) &&
        down)
        pressed() = PressText{sc, 0, false};
}

void sdl::textInput(const SDL_TextInputEvent& event) {
    PressText& latest = pressed();
    if (latest.key == SDL_SCANCODE_UNKNOWN || latest.seen)
        return;
    latest.text = decodeUtf8(event.text);
    latest.seen = true;
}

namespace {

// The state bytes as of the messages taken so far, with the mouse buttons that SDL holds.
void currentStates(BYTE* out) {
    readLocks();
    std::memcpy(out, keyTracker().takenStates(), 256);
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
    HWND window = sdl::mainWindow();
    if (!window || !window->sdlWindow)
        return FALSE;
    SDL_WarpMouseInWindow(window->sdlWindow, x, y);
    return TRUE;
}
