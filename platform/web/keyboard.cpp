// Keyboard services of the Win32 subset in the browser: the page's key events, taken through
// html5.h, go through the shared key tracker, which posts the key messages and keeps the states
// behind GetKeyState, and ToAsciiEx answers the character the browser reported for the key's
// press, in Windows-1251.
#include "platform/web/internal.h"

#include "platform/shared/keytracker.h"
#include "platform/shared/text.h"
#include "platform/web/keycodes.h"

#include <cstring>
#include <emscripten/html5.h>
#include <map>

namespace {

// The character the browser reported for the latest press of each scan code.
std::map<BYTE, uint32_t>& pressText() {
    static std::map<BYTE, uint32_t> characters;
    return characters;
}

// The character of a key event's `key`: its one code point, or 0 for a named key ("Enter").
uint32_t keyCharacter(const char* key) {
    const unsigned char lead = static_cast<unsigned char>(key[0]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::strlen(key) == length ? decodeUtf8(key) : 0;
}

// Keys go to the game, not to the page (no scrolling, no focus moving on Tab), except the
// browser's own: reload, full screen, developer tools and Ctrl or Cmd shortcuts.
EM_BOOL keyChanged(int type, const EmscriptenKeyboardEvent* event, void*) {
    // The browser knows the lock keys' state from the first key event on.
    keyTracker().startLocks(webLockOn("CapsLock"), webLockOn("NumLock"), webLockOn("ScrollLock"));
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const uint32_t character = keyCharacter(event->key);
    const uint32_t usage = usageOfDomCode(event->code);
    const KeyTableEntry* entry = keyTableFind(usage);
    if (down && entry != nullptr)
        pressText()[entry->scanCode] = character;
    keyTracker().keyEvent(web::mainWindow(), usage, character, down, event->repeat);
    const bool browsers = std::strcmp(event->code, "F5") == 0 ||
                          std::strcmp(event->code, "F11") == 0 ||
                          std::strcmp(event->code, "F12") == 0;
    return !event->ctrlKey && !event->metaKey && !browsers;
}

// Keys let go while another window or tab has the keyboard never come up here; as on Windows,
// no release is posted for them: the tracker only forgets that they were held.
EM_BOOL windowBlurred(int, const EmscriptenFocusEvent*, void*) {
    keyTracker().forgetHeldKeys();
    return EM_FALSE;
}

EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (event->hidden)
        keyTracker().forgetHeldKeys();
    return EM_FALSE;
}

} // namespace

void web::listenToKeys() {
    webListenToLocks();
    const char* const page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, keyChanged);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, keyChanged);
    emscripten_set_blur_callback(page, nullptr, EM_FALSE, windowBlurred);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, visibilityChanged);
}

short GetKeyState(int virtualKey) {
    return keyStateWord(keyTracker().takenStates(), virtualKey);
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (keyState == nullptr)
        return FALSE;
    std::memcpy(keyState, keyTracker().takenStates(), 256);
    return TRUE;
}

int ToAsciiEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* buffer, UINT, HKL) {
    if (keyState == nullptr || buffer == nullptr || virtualKey > 255)
        return 0;
    const bool ctrl = (keyState[VK_CONTROL] & KeyStateDown) != 0;
    const bool alt = (keyState[VK_MENU] & KeyStateDown) != 0;
    int character;
    if (ctrl && !alt) {
        character = ctrlCharacter(virtualKey);
    } else if ((character = fixedCharacter(virtualKey)) < 0) {
        auto text = pressText().find(BYTE(scanCode));
        character = text != pressText().end() ? toCp1251(text->second) : 0;
    }
    if (character <= 0)
        return 0;
    buffer[0] = WORD(character);
    return 1;
}

// A page cannot move the pointer.
BOOL SetCursorPos(int, int) {
    return FALSE;
}
