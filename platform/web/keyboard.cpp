// Keyboard services of the Win32 subset in the browser: the page's key events become key
// messages with the virtual keys and scan codes of the shared key table, the key-state table
// behind GetKeyState follows the messages the program takes, and ToAsciiEx answers the
// character the browser reported for the key's press, in Windows-1251.
#include "platform/web/internal.h"

#include "platform/shared/keystate.h"
#include "platform/shared/text.h"
#include "platform/web/keycodes.h"

#include <cstring>
#include <emscripten.h>
#include <map>

namespace {

struct KeyboardState {
    // As the key events arrived: decides the key data and the routing of new messages.
    BYTE keys[256] = {};
    // As of the key messages the program has taken from the queue: what GetKeyState answers.
    BYTE taken[256] = {};
    bool locksRead = false;
    // The virtual key each held usage went down as, so that its release names the same key even
    // when NumLock or the layout changed in between.
    std::map<uint32_t, BYTE> pressedAs;
    // The character the browser reported for the latest press of each scan code.
    std::map<BYTE, uint32_t> pressText;
};

KeyboardState& keyboard() {
    static KeyboardState state;
    return state;
}

constexpr int LockCaps = 1;
constexpr int LockNum = 2;
constexpr int LockScroll = 4;

// The browser knows the lock keys' state from the first key event on; each press toggles them.
void readLocks(KeyboardState& kb, int locks) {
    if (kb.locksRead)
        return;
    kb.locksRead = true;
    for (BYTE* keys : {kb.keys, kb.taken})
        setLockToggles(keys, locks & LockCaps, locks & LockNum, locks & LockScroll);
}

// Letter and digit keys are named after what the layout puts on them when that is a Latin
// letter or a digit, and after their US position otherwise (a Cyrillic layout's A key is 'A').
BYTE layoutVirtualKey(uint32_t character, BYTE usPosition) {
    if (character >= 'a' && character <= 'z')
        return BYTE(character - 'a' + 'A');
    if ((character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9'))
        return BYTE(character);
    return usPosition;
}

bool physicalKey(uint32_t usage, uint32_t character, const BYTE* keys, PhysicalKey& key) {
    const KeyTableEntry* entry = keyTableFind(usage);
    if (entry == nullptr)
        return false;
    key = {entry->virtualKey, entry->scanCode, entry->extended};
    const BYTE vk = entry->virtualKey;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        key.virtualKey = layoutVirtualKey(character, vk);
    // NumLock decides between the keypad's character keys and its navigation keys.
    const BYTE navigation = keyWithoutNumLock(usage);
    if (navigation && !(keys[VK_NUMLOCK] & KeyStateToggled))
        key.virtualKey = navigation;
    return true;
}

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
});

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void webKeyEvent(int down, int repeat, int character, int locks) {
    KeyboardState& kb = keyboard();
    readLocks(kb, locks);
    const uint32_t usage = usageOfDomCode(codeBuffer);
    PhysicalKey key;
    if (!physicalKey(usage, uint32_t(character), kb.keys, key))
        return;
    if (down) {
        kb.pressedAs[usage] = key.virtualKey;
        kb.pressText[key.scanCode] = uint32_t(character);
    } else {
        auto pressed = kb.pressedAs.find(usage);
        if (pressed != kb.pressedAs.end()) {
            key.virtualKey = pressed->second;
            kb.pressedAs.erase(pressed);
        }
    }
    const KeyMessage message = keyTransition(kb.keys, key, down != 0, repeat != 0);
    platformPostMessage(platformMainWindow(), message.message, message.wParam, message.lParam);
}

void platformListenToKeys() {
    listenToKeys(codeBuffer, sizeof codeBuffer);
}

void platformKeyMessageTaken(const MSG& msg) {
    updateKeyState(keyboard().taken, keyOfMessage(msg), isKeyPressMessage(msg),
                   isKeyRepeatMessage(msg));
}

short GetKeyState(int virtualKey) {
    return keyStateWord(keyboard().taken, virtualKey);
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (keyState == nullptr)
        return FALSE;
    std::memcpy(keyState, keyboard().taken, sizeof keyboard().taken);
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
        auto text = keyboard().pressText.find(BYTE(scanCode));
        character = text != keyboard().pressText.end() ? toCp1251(text->second) : 0;
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
