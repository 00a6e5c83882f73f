// Display modes: the page shows the picture the game's art and layout are made for, 1024 x 768
// pixels, on every screen. That is the one mode there is; the canvas holds the picture at those
// pixels (its backing store takes the window's size when the GL context is made) and the browser
// scales it to the largest box of the same shape that fits the page.
#include "platform/web/internal.h"

namespace {

constexpr DWORD PictureWidth = 1024;
constexpr DWORD PictureHeight = 768;
constexpr DWORD PictureBits = 32;

bool isTheMode(const DEVMODEA& wanted) {
    const DWORD fields = wanted.dmFields;
    // As on Windows, a field counts only when dmFields names it.
    if ((fields & DM_PELSWIDTH) && wanted.dmPelsWidth != PictureWidth)
        return false;
    if ((fields & DM_PELSHEIGHT) && wanted.dmPelsHeight != PictureHeight)
        return false;
    return !(fields & DM_BITSPERPEL) || wanted.dmBitsPerPel == PictureBits;
}

} // namespace

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* mode) {
    if (mode == nullptr || deviceName != nullptr)
        return FALSE;
    if (modeNum != ENUM_CURRENT_SETTINGS && modeNum != 0)
        return FALSE;
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode->dmPelsWidth = PictureWidth;
    mode->dmPelsHeight = PictureHeight;
    mode->dmBitsPerPel = PictureBits;
    mode->dmDisplayFrequency = 0; // the browser does not tell its display's refresh rate
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    if (mode == nullptr || isTheMode(*mode))
        return DISP_CHANGE_SUCCESSFUL;
    return DISP_CHANGE_BADMODE;
}
