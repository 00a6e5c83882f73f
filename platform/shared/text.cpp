// UTF-8, Windows-1251 and letter case for the keyboard's character translation.
#include "platform/shared/text.h"

#include "platform/platform.h"
// The one piece of the engine's tree that the platform layer uses: a GL-free table of data.
#include "resources/formats/Codepage.h"

namespace {

bool isLower(uint32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 0x0430 && c <= 0x045F) || c == 0x0491;
}

bool isUpper(uint32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0x0400 && c <= 0x042F) || c == 0x0490;
}

} // namespace

uint32_t decodeUtf8(const char* text) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    if (s[0] < 0x80)
        return s[0];
    int extra = s[0] >= 0xF0 ? 3 : s[0] >= 0xE0 ? 2 : s[0] >= 0xC0 ? 1 : -1;
    if (extra < 0)
        return 0;
    uint32_t c = s[0] & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[i] & 0x3F);
    }
    return c;
}

int toCp1251(uint32_t c) {
    const int byte = formats::codepageFromUnicode(formats::CodepageWindows1251, c);
    return byte < 0 ? 0 : byte;
}

bool isCasedLetter(uint32_t c) {
    return isLower(c) || isUpper(c);
}

uint32_t toUpperLetter(uint32_t c) {
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c >= 0x0430 && c <= 0x044F)
        return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F)
        return c - 0x50;
    return c == 0x0491 ? 0x0490 : c;
}

uint32_t toLowerLetter(uint32_t c) {
    if (c >= 'A' && c <= 'Z')
        return c + 0x20;
    if (c >= 0x0410 && c <= 0x042F)
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F)
        return c + 0x50;
    return c == 0x0490 ? 0x0491 : c;
}

uint32_t usShifted(uint32_t c) {
    static const char plain[] = "1234567890-=[]\\;',./`";
    static const char shifted[] = "!@#$%^&*()_+{}|:\"<>?~";
    for (int i = 0; plain[i]; ++i)
        if (uint32_t(plain[i]) == c)
            return uint32_t(shifted[i]);
    return 0;
}

int fixedCharacter(unsigned vk) {
    switch (vk) {
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return 0x09;
    case VK_RETURN:
        return 0x0D;
    case VK_ESCAPE:
        return 0x1B;
    case VK_SPACE:
        return 0x20;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        break;
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return int('0' + vk - VK_NUMPAD0);
    return -1;
}

int ctrlCharacter(unsigned vk) {
    if (vk >= 'A' && vk <= 'Z')
        return int(vk - 'A' + 1);
    switch (vk) {
    case VK_OEM_4:
        return 0x1B;
    case VK_OEM_5:
        return 0x1C;
    case VK_OEM_6:
        return 0x1D;
    case VK_RETURN:
        return 0x0A;
    case VK_BACK:
        return 0x7F;
    case VK_SPACE:
        return 0x20;
    case VK_ESCAPE:
        return 0x1B;
    default:
        return 0;
    }
}
