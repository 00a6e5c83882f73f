// Display modes: the page's canvas stands in for the screen, so its size in device pixels is the
// one mode there is, read afresh at every call.
#include "platform/web/internal.h"

#include <emscripten.h>

namespace {

// The canvas's box as the page lays it out, in device pixels (rounded as the browser rounds
// the backing store it would give the canvas at that size).
EM_JS(void, canvasDevicePixels, (int* width, int* height), {
    var box = Module.canvas.getBoundingClientRect();
    var ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.round(box.width * ratio);
    HEAP32[height >> 2] = Math.round(box.height * ratio);
});

bool isCurrentMode(const DEVMODEA& wanted) {
    int width = 0, height = 0;
    platformCanvasSize(&width, &height);
    const DWORD fields = wanted.dmFields;
    // As on Windows, a field counts only when dmFields names it.
    if ((fields & DM_PELSWIDTH) && wanted.dmPelsWidth != DWORD(width))
        return false;
    if ((fields & DM_PELSHEIGHT) && wanted.dmPelsHeight != DWORD(height))
        return false;
    return !(fields & DM_BITSPERPEL) || wanted.dmBitsPerPel == 32;
}

} // namespace

void platformCanvasSize(int* width, int* height) {
    canvasDevicePixels(width, height);
}

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* mode) {
    if (mode == nullptr || deviceName != nullptr)
        return FALSE;
    if (modeNum != ENUM_CURRENT_SETTINGS && modeNum != 0)
        return FALSE;
    int width = 0, height = 0;
    platformCanvasSize(&width, &height);
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode->dmPelsWidth = static_cast<DWORD>(width);
    mode->dmPelsHeight = static_cast<DWORD>(height);
    mode->dmBitsPerPel = 32;
    mode->dmDisplayFrequency = 0; // the browser does not tell its display's refresh rate
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    if (mode == nullptr || isCurrentMode(*mode))
        return DISP_CHANGE_SUCCESSFUL;
    return DISP_CHANGE_BADMODE;
}
