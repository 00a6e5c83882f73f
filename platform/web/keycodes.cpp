// The browser's names of physical keys (KeyboardEvent.code) and the USB HID usages they stand
// for, one row per key, so that the shared key table gives each its virtual key and scan code.
#include "platform/web/keycodes.h"

#include <cstring>

namespace {

struct DomKey {
    const char* code;
    uint32_t usage;
};

constexpr uint32_t key(uint32_t id) {
    return keyUsage(KeyPageKeyboard, id);
}

constexpr uint32_t consumer(uint32_t id) {
    return keyUsage(KeyPageConsumer, id);
}

const DomKey domKeys[] = {
    {"KeyA", key(0x04)},
    {"KeyB", key(0x05)},
    {"KeyC", key(0x06)},
    {"KeyD", key(0x07)},
    {"KeyE", key(0x08)},
    {"KeyF", key(0x09)},
    {"KeyG", key(0x0A)},
    {"KeyH", key(0x0B)},
    {"KeyI", key(0x0C)},
    {"KeyJ", key(0x0D)},
    {"KeyK", key(0x0E)},
    {"KeyL", key(0x0F)},
    {"KeyM", key(0x10)},
    {"KeyN", key(0x11)},
    {"KeyO", key(0x12)},
    {"KeyP", key(0x13)},
    {"KeyQ", key(0x14)},
    {"KeyR", key(0x15)},
    {"KeyS", key(0x16)},
    {"KeyT", key(0x17)},
    {"KeyU", key(0x18)},
    {"KeyV", key(0x19)},
    {"KeyW", key(0x1A)},
    {"KeyX", key(0x1B)},
    {"KeyY", key(0x1C)},
    {"KeyZ", key(0x1D)},
    {"Digit1", key(0x1E)},
    {"Digit2", key(0x1F)},
    {"Digit3", key(0x20)},
    {"Digit4", key(0x21)},
    {"Digit5", key(0x22)},
    {"Digit6", key(0x23)},
    {"Digit7", key(0x24)},
    {"Digit8", key(0x25)},
    {"Digit9", key(0x26)},
    {"Digit0", key(0x27)},
    {"Enter", key(0x28)},
    {"Escape", key(0x29)},
    {"Backspace", key(0x2A)},
    {"Tab", key(0x2B)},
    {"Space", key(0x2C)},
    {"Minus", key(0x2D)},
    {"Equal", key(0x2E)},
    {"BracketLeft", key(0x2F)},
    {"BracketRight", key(0x30)},
    {"Backslash", key(0x31)},
    {"Semicolon", key(0x33)},
    {"Quote", key(0x34)},
    {"Backquote", key(0x35)},
    {"Comma", key(0x36)},
    {"Period", key(0x37)},
    {"Slash", key(0x38)},
    {"CapsLock", key(0x39)},
    {"F1", key(0x3A)},
    {"F2", key(0x3B)},
    {"F3", key(0x3C)},
    {"F4", key(0x3D)},
    {"F5", key(0x3E)},
    {"F6", key(0x3F)},
    {"F7", key(0x40)},
    {"F8", key(0x41)},
    {"F9", key(0x42)},
    {"F10", key(0x43)},
    {"F11", key(0x44)},
    {"F12", key(0x45)},
    {"PrintScreen", key(0x46)},
    {"ScrollLock", key(0x47)},
    {"Pause", key(0x48)},
    {"Insert", key(0x49)},
    {"Home", key(0x4A)},
    {"PageUp", key(0x4B)},
    {"Delete", key(0x4C)},
    {"End", key(0x4D)},
    {"PageDown", key(0x4E)},
    {"ArrowRight", key(0x4F)},
    {"ArrowLeft", key(0x50)},
    {"ArrowDown", key(0x51)},
    {"ArrowUp", key(0x52)},
    {"NumLock", key(0x53)},
    {"NumpadDivide", key(0x54)},
    {"NumpadMultiply", key(0x55)},
    {"NumpadSubtract", key(0x56)},
    {"NumpadAdd", key(0x57)},
    {"NumpadEnter", key(0x58)},
    {"Numpad1", key(0x59)},
    {"Numpad2", key(0x5A)},
    {"Numpad3", key(0x5B)},
    {"Numpad4", key(0x5C)},
    {"Numpad5", key(0x5D)},
    {"Numpad6", key(0x5E)},
    {"Numpad7", key(0x5F)},
    {"Numpad8", key(0x60)},
    {"Numpad9", key(0x61)},
    {"Numpad0", key(0x62)},
    {"NumpadDecimal", key(0x63)},
    {"IntlBackslash", key(0x64)},
    {"ContextMenu", key(0x65)},
    {"Power", key(0x66)},
    {"NumpadEqual", key(0x67)},
    {"F13", key(0x68)},
    {"F14", key(0x69)},
    {"F15", key(0x6A)},
    {"F16", key(0x6B)},
    {"F17", key(0x6C)},
    {"F18", key(0x6D)},
    {"F19", key(0x6E)},
    {"F20", key(0x6F)},
    {"F21", key(0x70)},
    {"F22", key(0x71)},
    {"F23", key(0x72)},
    {"F24", key(0x73)},
    {"Help", key(0x75)},
    {"Select", key(0x77)},
    {"Again", key(0x79)},
    {"Undo", key(0x7A)},
    {"Cut", key(0x7B)},
    {"Copy", key(0x7C)},
    {"Paste", key(0x7D)},
    {"Find", key(0x7E)},
    {"AudioVolumeMute", key(0x7F)},
    {"AudioVolumeUp", key(0x80)},
    {"AudioVolumeDown", key(0x81)},
    {"NumpadComma", key(0x85)},
    {"IntlRo", key(0x87)},
    {"KanaMode", key(0x88)},
    {"IntlYen", key(0x89)},
    {"Convert", key(0x8A)},
    {"NonConvert", key(0x8B)},
    {"Lang1", key(0x90)},
    {"Lang2", key(0x91)},
    {"Lang3", key(0x92)},
    {"Lang4", key(0x93)},
    {"Lang5", key(0x94)},
    {"NumpadParenLeft", key(0xB6)},
    {"NumpadParenRight", key(0xB7)},
    {"ControlLeft", key(0xE0)},
    {"ShiftLeft", key(0xE1)},
    {"AltLeft", key(0xE2)},
    {"MetaLeft", key(0xE3)},
    {"ControlRight", key(0xE4)},
    {"ShiftRight", key(0xE5)},
    {"AltRight", key(0xE6)},
    {"MetaRight", key(0xE7)},
    {"Sleep", keyUsage(KeyPageDesktop, 0x82)},
    {"WakeUp", keyUsage(KeyPageDesktop, 0x83)},
    {"MediaTrackNext", consumer(0xB5)},
    {"MediaTrackPrevious", consumer(0xB6)},
    {"MediaStop", consumer(0xB7)},
    {"MediaPlayPause", consumer(0xCD)},
    {"MediaSelect", consumer(0x183)},
    {"LaunchMail", consumer(0x18A)},
    {"LaunchApp2", consumer(0x192)},
    {"LaunchApp1", consumer(0x194)},
    {"BrowserSearch", consumer(0x221)},
    {"BrowserHome", consumer(0x223)},
    {"BrowserBack", consumer(0x224)},
    {"BrowserForward", consumer(0x225)},
    {"BrowserStop", consumer(0x226)},
    {"BrowserRefresh", consumer(0x227)},
    {"BrowserFavorites", consumer(0x22A)},
};

} // namespace

uint32_t usageOfDomCode(const char* code) {
    if (code == nullptr)
        return 0;
    for (const DomKey& entry : domKeys)
        if (std::strcmp(entry.code, code) == 0)
            return entry.usage;
    return 0;
}

size_t domCodeCount() {
    return sizeof domKeys / sizeof domKeys[0];
}

const char* domCodeAt(size_t index) {
    return index < domCodeCount() ? domKeys[index].code : nullptr;
}
