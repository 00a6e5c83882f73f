// Keyboard services of the Win32 subset in the browser: the page's key events go through the
// shared key tracker, which posts the key messages and keeps the states behind GetKeyState, and
// ToAsciiEx answers the character the browser reported for the key's press, in Windows-1251.
#include "platform/web/internal.h"

#include "platform/shared/keytracker.h"
#include "platform/shared/text.h"
#include "platform/web/keycodes.h"

#include <cstring>
#include <emscripten.h>
#include <map>

namespace {

// The character the browser reported for the latest press of each scan code.
std::map<BYTE, uint32_t>& pressText() {
    static std::map<BYTE, uint32_t> characters;
    return characters;
}

constexpr int LockCaps = 1;
constexpr int LockNum = 2;
constexpr int LockScroll = 4;

char codeBuffer[32];

// Keys go to the game, not to the page (no scrolling, no focus moving on Tab), except the
// browser's own: reload, full screen, developer tools and Ctrl or Cmd shortcuts.
EM_JS(void, listenToKeys, (char* code, int size), {
    function report(down, e) {
        var text = Array.from(e.key);
        var character = text.length == 1 ? text[0].codePointAt(0) : 0;
        var locks = (e.getModifierState("CapsLock") ? 1 : 0) |
                    (e.getModifierState("NumLock") ? 2 : 0) |
                    (e.getModifierState("ScrollLock") ? 4 : 0);
        stringToUTF8(e.code, code, size);
        _webKeyEvent(down, e.repeat ? 1 : 0, character, locks);
        if (!e.ctrlKey && !e.metaKey && [ "F5", "F11", "F12" ].indexOf(e.code) < 0)
            e.preventDefault();
    }
    window.addEventListener(
        "keydown", function(e) { report(1, e); });
    window.addEventListener(
        "keyup", function(e) { report(0, e); });
    // Keys let go while another window or tab has the keyboard never come up here.
    window.addEventListener(
        "blur", function() { _webKeyboardLost(); });
    document.addEventListener(
        "visibilitychange", function() {
            if (document.hidden)
                _webKeyboardLost();
        });
});

} // namespace

// The browser knows the lock keys' state from the first key event on.
extern "C" EMSCRIPTEN_KEEPALIVE void webKeyEvent(int down, int repeat, int character, int locks) {
    keyTracker().startLocks(locks & LockCaps, locks & LockNum, locks & LockScroll);
    const uint32_t usage = usageOfDomCode(codeBuffer);
    const KeyTableEntry* entry = keyTableFind(usage);
    if (down && entry != nullptr)
        pressText()[entry->scanCode] = uint32_t(character);
    keyTracker().keyEvent(platformMainWindow(), usage, uint32_t(character), down != 0, repeat != 0);
}

extern "C" EMSCRIPTEN_KEEPALIVE void webKeyboardLost() {
    keyTracker().keyboardLost(platformMainWindow());
}

void platformListenToKeys() {
    listenToKeys(codeBuffer, sizeof codeBuffer);
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
