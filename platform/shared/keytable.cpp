// The key table: one row per physical key, in usage order.
#include "platform/shared/keytable.h"

#include "platform/platform.h"

#include <iterator>

namespace {

constexpr uint32_t key(uint32_t id) {
    return keyUsage(KeyPageKeyboard, id);
}

// usage, virtual key, set-1 scan code, E0 prefix
const KeyTableEntry keyTable[] = {
    {key(0x04), 'A', 0x1E, false},
    {key(0x05), 'B', 0x30, false},
    {key(0x06), 'C', 0x2E, false},
    {key(0x07), 'D', 0x20, false},
    {key(0x08), 'E', 0x12, false},
    {key(0x09), 'F', 0x21, false},
    {key(0x0A), 'G', 0x22, false},
    {key(0x0B), 'H', 0x23, false},
    {key(0x0C), 'I', 0x17, false},
    {key(0x0D), 'J', 0x24, false},
    {key(0x0E), 'K', 0x25, false},
    {key(0x0F), 'L', 0x26, false},
    {key(0x10), 'M', 0x32, false},
    {key(0x11), 'N', 0x31, false},
    {key(0x12), 'O', 0x18, false},
    {key(0x13), 'P', 0x19, false},
    {key(0x14), 'Q', 0x10, false},
    {key(0x15), 'R', 0x13, false},
    {key(0x16), 'S', 0x1F, false},
    {key(0x17), 'T', 0x14, false},
    {key(0x18), 'U', 0x16, false},
    {key(0x19), 'V', 0x2F, false},
    {key(0x1A), 'W', 0x11, false},
    {key(0x1B), 'X', 0x2D, false},
    {key(0x1C), 'Y', 0x15, false},
    {key(0x1D), 'Z', 0x2C, false},
    {key(0x1E), '1', 0x02, false},
    {key(0x1F), '2', 0x03, false},
    {key(0x20), '3', 0x04, false},
    {key(0x21), '4', 0x05, false},
    {key(0x22), '5', 0x06, false},
    {key(0x23), '6', 0x07, false},
    {key(0x24), '7', 0x08, false},
    {key(0x25), '8', 0x09, false},
    {key(0x26), '9', 0x0A, false},
    {key(0x27), '0', 0x0B, false},
    {key(0x28), VK_RETURN, 0x1C, false},
    {key(0x29), VK_ESCAPE, 0x01, false},
    {key(0x2A), VK_BACK, 0x0E, false},
    {key(0x2B), VK_TAB, 0x0F, false},
    {key(0x2C), VK_SPACE, 0x39, false},
    {key(0x2D), VK_OEM_MINUS, 0x0C, false},
    {key(0x2E), VK_OEM_PLUS, 0x0D, false},
    {key(0x2F), VK_OEM_4, 0x1A, false},
    {key(0x30), VK_OEM_6, 0x1B, false},
    {key(0x31), VK_OEM_5, 0x2B, false},
    // The key beside Return on ISO keyboards sits where the US layout has its backslash.
    {key(0x32), VK_OEM_5, 0x2B, false},
    {key(0x33), VK_OEM_1, 0x27, false},
    {key(0x34), VK_OEM_7, 0x28, false},
    {key(0x35), VK_OEM_3, 0x29, false},
    {key(0x36), VK_OEM_COMMA, 0x33, false},
    {key(0x37), VK_OEM_PERIOD, 0x34, false},
    {key(0x38), VK_OEM_2, 0x35, false},
    {key(0x39), VK_CAPITAL, 0x3A, false},
    {key(0x3A), VK_F1, 0x3B, false},
    {key(0x3B), VK_F2, 0x3C, false},
    {key(0x3C), VK_F3, 0x3D, false},
    {key(0x3D), VK_F4, 0x3E, false},
    {key(0x3E), VK_F5, 0x3F, false},
    {key(0x3F), VK_F6, 0x40, false},
    {key(0x40), VK_F7, 0x41, false},
    {key(0x41), VK_F8, 0x42, false},
    {key(0x42), VK_F9, 0x43, false},
    {key(0x43), VK_F10, 0x44, false},
    {key(0x44), VK_F11, 0x57, false},
    {key(0x45), VK_F12, 0x58, false},
    {key(0x46), VK_SNAPSHOT, 0x37, true},
    {key(0x47), VK_SCROLL, 0x46, false},
    // Pause sends NumLock's scan code without the prefix (behind a Ctrl that Windows drops).
    {key(0x48), VK_PAUSE, 0x45, false},
    {key(0x49), VK_INSERT, 0x52, true},
    {key(0x4A), VK_HOME, 0x47, true},
    {key(0x4B), VK_PRIOR, 0x49, true},
    {key(0x4C), VK_DELETE, 0x53, true},
    {key(0x4D), VK_END, 0x4F, true},
    {key(0x4E), VK_NEXT, 0x51, true},
    {key(0x4F), VK_RIGHT, 0x4D, true},
    {key(0x50), VK_LEFT, 0x4B, true},
    {key(0x51), VK_DOWN, 0x50, true},
    {key(0x52), VK_UP, 0x48, true},
    {key(0x53), VK_NUMLOCK, 0x45, true},
    {key(0x54), VK_DIVIDE, 0x35, true},
    {key(0x55), VK_MULTIPLY, 0x37, false},
    {key(0x56), VK_SUBTRACT, 0x4A, false},
    {key(0x57), VK_ADD, 0x4E, false},
    {key(0x58), VK_RETURN, 0x1C, true},
    {key(0x59), VK_NUMPAD1, 0x4F, false},
    {key(0x5A), VK_NUMPAD2, 0x50, false},
    {key(0x5B), VK_NUMPAD3, 0x51, false},
    {key(0x5C), VK_NUMPAD4, 0x4B, false},
    {key(0x5D), VK_NUMPAD5, 0x4C, false},
    {key(0x5E), VK_NUMPAD6, 0x4D, false},
    {key(0x5F), VK_NUMPAD7, 0x47, false},
    {key(0x60), VK_NUMPAD8, 0x48, false},
    {key(0x61), VK_NUMPAD9, 0x49, false},
    {key(0x62), VK_NUMPAD0, 0x52, false},
    {key(0x63), VK_DECIMAL, 0x53, false},
    {key(0x64), VK_OEM_102, 0x56, false},
    {key(0x65), VK_APPS, 0x5D, true},
    // Windows documents VK_OEM_NEC_EQUAL as the keypad's '='.
    {key(0x67), VK_OEM_NEC_EQUAL, 0x59, false},
    {key(0x68), VK_F13, 0x64, false},
    {key(0x69), VK_F14, 0x65, false},
    {key(0x6A), VK_F15, 0x66, false},
    {key(0x6B), VK_F16, 0x67, false},
    {key(0x6C), VK_F17, 0x68, false},
    {key(0x6D), VK_F18, 0x69, false},
    {key(0x6E), VK_F19, 0x6A, false},
    {key(0x6F), VK_F20, 0x6B, false},
    {key(0x70), VK_F21, 0x6C, false},
    {key(0x71), VK_F22, 0x6D, false},
    {key(0x72), VK_F23, 0x6E, false},
    {key(0x73), VK_F24, 0x76, false},
    {key(0x78), VK_BROWSER_STOP, 0x68, true},
    {key(0x7F), VK_VOLUME_MUTE, 0x20, true},
    {key(0x80), VK_VOLUME_UP, 0x30, true},
    {key(0x81), VK_VOLUME_DOWN, 0x2E, true},
    {key(0x85), VK_SEPARATOR, 0x7E, false},
    // The Japanese keys carry the virtual keys of the Japanese layout, the only one that has them.
    {key(0x87), VK_OEM_102, 0x73, false},
    {key(0x88), VK_KANA, 0x70, false},
    {key(0x89), VK_OEM_5, 0x7D, false},
    {key(0x8A), VK_CONVERT, 0x79, false},
    {key(0x8B), VK_NONCONVERT, 0x7B, false},
    // Korean keyboards send these two as single bytes outside the usual scan-code range.
    {key(0x90), VK_HANGUL, 0xF2, false},
    {key(0x91), VK_HANJA, 0xF1, false},
    {key(0x92), VK_DBE_KATAKANA, 0x78, false},
    {key(0x93), VK_DBE_HIRAGANA, 0x77, false},
    {key(0xE0), VK_CONTROL, 0x1D, false},
    {key(0xE1), VK_SHIFT, 0x2A, false},
    {key(0xE2), VK_MENU, 0x38, false},
    {key(0xE3), VK_LWIN, 0x5B, true},
    {key(0xE4), VK_CONTROL, 0x1D, true},
    // Right Shift has a scan code of its own and no prefix.
    {key(0xE5), VK_SHIFT, 0x36, false},
    {key(0xE6), VK_MENU, 0x38, true},
    {key(0xE7), VK_RWIN, 0x5C, true},
    // Media and browser keys: the consumer page, and the generic desktop page's Sleep.
    {keyUsage(KeyPageDesktop, 0x82), VK_SLEEP, 0x5F, true},
    {keyUsage(KeyPageConsumer, 0xB5), VK_MEDIA_NEXT_TRACK, 0x19, true},
    {keyUsage(KeyPageConsumer, 0xB6), VK_MEDIA_PREV_TRACK, 0x10, true},
    {keyUsage(KeyPageConsumer, 0xB7), VK_MEDIA_STOP, 0x24, true},
    {keyUsage(KeyPageConsumer, 0xCD), VK_MEDIA_PLAY_PAUSE, 0x22, true},
    {keyUsage(KeyPageConsumer, 0x183), VK_LAUNCH_MEDIA_SELECT, 0x6D, true},
    {keyUsage(KeyPageConsumer, 0x18A), VK_LAUNCH_MAIL, 0x6C, true},
    {keyUsage(KeyPageConsumer, 0x192), VK_LAUNCH_APP2, 0x21, true},
    {keyUsage(KeyPageConsumer, 0x194), VK_LAUNCH_APP1, 0x6B, true},
    {keyUsage(KeyPageConsumer, 0x221), VK_BROWSER_SEARCH, 0x65, true},
    {keyUsage(KeyPageConsumer, 0x223), VK_BROWSER_HOME, 0x32, true},
    {keyUsage(KeyPageConsumer, 0x224), VK_BROWSER_BACK, 0x6A, true},
    {keyUsage(KeyPageConsumer, 0x225), VK_BROWSER_FORWARD, 0x69, true},
    {keyUsage(KeyPageConsumer, 0x226), VK_BROWSER_STOP, 0x68, true},
    {keyUsage(KeyPageConsumer, 0x227), VK_BROWSER_REFRESH, 0x67, true},
    {keyUsage(KeyPageConsumer, 0x22A), VK_BROWSER_FAVORITES, 0x66, true},
};

// The keypad's digits and point (usages 0x59 to 0x63: 1 to 9, 0, point) with NumLock off.
const uint8_t keypadNavigation[] = {VK_END,  VK_DOWN, VK_NEXT,  VK_LEFT,   VK_CLEAR, VK_RIGHT,
                                    VK_HOME, VK_UP,   VK_PRIOR, VK_INSERT, VK_DELETE};

} // namespace

const KeyTableEntry* keyTableFind(uint32_t usage) {
    for (const KeyTableEntry& entry : keyTable)
        if (entry.usage == usage)
            return &entry;
    return nullptr;
}

const KeyTableEntry* keyTableFindScanCode(uint8_t scanCode, bool extended) {
    for (const KeyTableEntry& entry : keyTable)
        if (entry.scanCode == scanCode && entry.extended == extended)
            return &entry;
    return nullptr;
}

uint8_t keyWithoutNumLock(uint32_t usage) {
    const uint32_t first = key(0x59);
    if (usage < first || usage - first >= std::size(keypadNavigation))
        return 0;
    return keypadNavigation[usage - first];
}
