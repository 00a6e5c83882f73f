// The keyboard's fixed facts for the platform layers that stand in for Win32: for each physical
// key, named by its USB HID usage, the Windows virtual key it has under the US layout with
// NumLock on, its set-1 scan code, and whether that scan code carries the E0 prefix (the
// extended-key flag of a key message). What depends on the moment (the letters and digits of
// another layout, the keypad with NumLock off) is left to the layer; keyWithoutNumLock helps.
#pragma once

#include <cstdint>

// A usage as HID writes an extended one: the usage page in the high 16 bits, the usage ID in the
// low 16. Most keys are on the keyboard page, whose IDs are also SDL's scancodes and what the
// browser's KeyboardEvent.code names stand for; media and browser keys are on the consumer page.
constexpr uint32_t KeyPageDesktop = 0x01;
constexpr uint32_t KeyPageKeyboard = 0x07;
constexpr uint32_t KeyPageConsumer = 0x0C;
constexpr uint32_t keyUsage(uint32_t page, uint32_t id) {
    return (page << 16) | id;
}

struct KeyTableEntry {
    uint32_t usage;
    uint8_t virtualKey;
    uint8_t scanCode;
    bool extended;
};

// The row of a key, or null for a key to which Windows gives no virtual key (Power, Eject, the
// brightness keys and the like, which Windows keeps to itself or leaves to their drivers).
const KeyTableEntry* keyTableFind(uint32_t usage);

// The first row (in usage order) with this scan code and prefix; null if none.
const KeyTableEntry* keyTableFindScanCode(uint8_t scanCode, bool extended);

// The virtual key of a keypad key while NumLock is off (the navigation key printed under the
// digit), or 0 for every key that NumLock does not change.
uint8_t keyWithoutNumLock(uint32_t usage);
