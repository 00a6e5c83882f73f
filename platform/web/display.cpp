// Display modes: the page shows the picture the game's art and layout are made for, 1024 x 768
// pixels, on every screen. That is the one mode there is; the canvas holds the picture at those
// pixels (its backing store takes the window's size when the GL context is made) and the browser
// scales it to the largest box of the same shape that fits the page.
#include "platform/web/internal.h"

#include <emscripten.h>

namespace {

constexpr DWORD PictureWidth = 1024;
constexpr DWORD PictureHeight = 768;
constexpr DWORD PictureBits = 32;

// The canvas's box: the largest of the picture's shape inside the page, centred, its edges on
// whole device pixels; the page's black shows beside or above it. Emscripten clears the canvas's
// inline size whenever it sizes the backing store, so the box is checked, not only remembered.
EM_JS(void, fitCanvas, (), {
    var canvas = Module["canvas"];
    var style = canvas.style;
    var ratio = window.devicePixelRatio || 1;
    var pageWidth = window.innerWidth;
    var pageHeight = window.innerHeight;
    var key = [ pageWidth, pageHeight, ratio, canvas.width, canvas.height ].join(" ");
    if (fitCanvas.key == key && style.width)
        return;
    fitCanvas.key = key;
    var scale = Math.min(pageWidth / canvas.width, pageHeight / canvas.height);
    function devicePixels(length) {
        return Math.floor(length * ratio) / ratio;
    }
    var width = devicePixels(canvas.width * scale);
    var height = devicePixels(canvas.height * scale);
    style.position = "fixed";
    style.margin = "0";
    style.left = devicePixels((pageWidth - width) / 2) + "px";
    style.top = devicePixels((pageHeight - height) / 2) + "px";
    style.width = width + "px";
    style.height = height + "px";
});

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

void platformFitPicture() {
    fitCanvas();
}

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
