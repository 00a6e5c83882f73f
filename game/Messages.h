// The game's four messages as Windows-1251 byte strings: each byte selects its glyph in the font
// directly, so the text is kept in the code page the font is baked for. One definition for the
// scene that draws them and the tests that look for them.
#pragma once

// Любит!
inline constexpr char LovesMessage[] = "\xCB\xFE\xE1\xE8\xF2!";
// Не любит...
inline constexpr char LovesNotMessage[] = "\xCD\xE5 \xEB\xFE\xE1\xE8\xF2...";
// Поздравляю! Вы любимы!
inline constexpr char LovedVerdict[] =
    "\xCF\xEE\xE7\xE4\xF0\xE0\xE2\xEB\xFF\xFE! \xC2\xFB \xEB\xFE\xE1\xE8\xEC\xFB!";
// Увы, Ваши чувства не взаимны...
inline constexpr char NotLovedVerdict[] =
    "\xD3\xE2\xFB, \xC2\xE0\xF8\xE8 \xF7\xF3\xE2\xF1\xF2\xE2\xE0 \xED\xE5 \xE2\xE7\xE0\xE8\xEC\xED"
    "\xFB...";
