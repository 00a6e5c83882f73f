// Characters for the keyboard layers that answer ToAsciiEx: the first character of UTF-8 text,
// its Windows-1251 byte, the case of the letters that code page holds, and the characters that
// a key gives whatever the layout.
#pragma once

#include <cstdint>

// The first character of zero-terminated UTF-8 text; 0 when the text is empty or malformed.
uint32_t decodeUtf8(const char* text);

// The Windows-1251 byte of a character, or 0 where the code page has none.
int toCp1251(uint32_t character);

// Latin and Cyrillic letters of Windows-1251, the only characters that Shift and CapsLock
// change by case; each function leaves every other character as it is.
bool isCasedLetter(uint32_t character);
uint32_t toUpperLetter(uint32_t character);
uint32_t toLowerLetter(uint32_t character);

// What Shift makes of a key of the US layout's top rows and punctuation, or 0; for when the
// layout's own shifted character is not known.
uint32_t usShifted(uint32_t character);

// The character of a key that gives the same one under every layout (Backspace, Tab, Return,
// Escape, Space, the keypad's digits and operators), or -1 for a key whose character the layout
// decides.
int fixedCharacter(unsigned virtualKey);

// The character of a key while Ctrl is held without Alt: the ASCII control codes of the letters
// and brackets, as Windows gives them, or 0.
int ctrlCharacter(unsigned virtualKey);
