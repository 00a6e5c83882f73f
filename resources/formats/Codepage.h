// The single-byte code pages that the game's text and fonts use: each byte of a text selects a
// glyph directly, so the font baker, the keyboard layer (which turns typed characters into
// bytes) and anything that shows text to a person translate through these tables. Bytes below
// 0x80 are ASCII in every code page here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace formats {

enum Codepage { CodepageWindows1251, CodepageLatin1 };

// "cp1251" or "windows-1251", "latin1" or "iso-8859-1"; false for any other name.
bool findCodepage(const std::string& name, Codepage& codepage);

// The Unicode code point of a byte: 0 for the byte 0 and for a byte the code page leaves
// without a character (0x98 in Windows-1251).
uint32_t codepageToUnicode(Codepage codepage, uint8_t byte);
// The byte of a code point, or -1 where the code page has none.
int codepageFromUnicode(Codepage codepage, uint32_t codePoint);

// The bytes of the code page's own letters beyond ASCII, which a font baked for it must draw:
// for Windows-1251 the Cyrillic alphabet 0xC0-0xFF with 0xA8 and 0xB8 (Ё, ё); for Latin-1 the
// accented letters 0xC0-0xFF except the signs 0xD7 and 0xF7.
std::vector<uint8_t> codepageAlphabet(Codepage codepage);

} // namespace formats
