// Key events as the X server reported them. SDL makes up key events of its own around focus
// changes (releases of every held key when the focus leaves, presses of held modifiers when it
// comes back) and drops the release of a key it did not see go down; Windows does neither: its
// key messages are the keyboard's input while the window has the focus. SDL reports each X event
// it handles as a system event ahead of the events it makes of it, which tells the two apart.
#include "platform/sdl/internal.h"

#include <SDL_syswm.h>

namespace {

// Linux input codes above the AT keyboard's first 88 keys (below them the code is the set-1 scan
// code), as their set-1 scan code and E0 prefix; X servers number keys by input code + 8.
struct InputCode {
    uint16_t code;
    uint8_t scanCode;
    bool extended;
};
const InputCode inputCodes[] = {
    {69, 0x45, true},   {89, 0x73, false},  {90, 0x78, false},  {91, 0x77, false},
    {92, 0x79, false},  {93, 0x70, false},  {94, 0x7B, false},  {96, 0x1C, true},
    {97, 0x1D, true},   {98, 0x35, true},   {99, 0x37, true},   {100, 0x38, true},
    {102, 0x47, true},  {103, 0x48, true},  {104, 0x49, true},  {105, 0x4B, true},
    {106, 0x4D, true},  {107, 0x4F, true},  {108, 0x50, true},  {109, 0x51, true},
    {110, 0x52, true},  {111, 0x53, true},  {113, 0x20, true},  {114, 0x2E, true},
    {115, 0x30, true},  {117, 0x59, false}, {119, 0x45, false}, {121, 0x7E, false},
    {122, 0xF2, false}, {123, 0xF1, false}, {124, 0x7D, false}, {125, 0x5B, true},
    {126, 0x5C, true},  {127, 0x5D, true},  {128, 0x68, true},  {140, 0x21, true},
    {142, 0x5F, true},  {155, 0x6C, true},  {156, 0x66, true},  {157, 0x6B, true},
    {158, 0x6A, true},  {159, 0x69, true},  {163, 0x19, true},  {164, 0x22, true},
    {165, 0x10, true},  {166, 0x24, true},  {172, 0x32, true},  {173, 0x67, true},
    {183, 0x64, false}, {184, 0x65, false}, {185, 0x66, false}, {186, 0x67, false},
    {187, 0x68, false}, {188, 0x69, false}, {189, 0x6A, false}, {190, 0x6B, false},
    {191, 0x6C, false}, {192, 0x6D, false}, {193, 0x6E, false}, {194, 0x76, false},
    {217, 0x65, true},  {226, 0x6D, true},
};
constexpr unsigned InputCodeOffset = 8;
constexpr unsigned LastAtKey = 88;

SDL_Scancode scancodeOfKeycode(unsigned keycode) {
    if (keycode < InputCodeOffset)
        return SDL_SCANCODE_UNKNOWN;
    const unsigned code = keycode - InputCodeOffset;
    for (const InputCode& known : inputCodes)
        if (known.code == code)
            return sdl::scancodeOf(known.scanCode, known.extended);
    return code <= LastAtKey ? sdl::scancodeOf(uint8_t(code), false) : SDL_SCANCODE_UNKNOWN;
}

// The X key event SDL is handling, until SDL has made its key event of it.
struct ServerKey {
    bool pending = false;
    bool down = false;
    unsigned keycode = 0;
    unsigned long time = 0;
};

ServerKey current;
bool serverReportsEvents = false;

// SDL had no key event for the X event: a release of a key it did not see go down (pressed while
// another window had the focus), or a key it has no scancode for.
void deliverPassedOver() {
    if (!current.pending)
        return;
    current.pending = false;
    const SDL_Scancode sc = scancodeOfKeycode(current.keycode);
    if (sc == SDL_SCANCODE_UNKNOWN)
        return;
    SDL_KeyboardEvent event = {};
    event.type = current.down ? SDL_KEYDOWN : SDL_KEYUP;
    event.state = current.down ? SDL_PRESSED : SDL_RELEASED;
    event.keysym.scancode = sc;
    event.keysym.sym = SDL_GetKeyFromScancode(sc);
    sdl::keyEvent(sdl::mainWindow(), event);
}

} // namespace

void sdl::systemEvent(const SDL_SysWMmsg* msg) {
    if (msg == nullptr || msg->subsystem != SDL_SYSWM_X11)
        return;
    serverReportsEvents = true;
    const XEvent& event = msg->msg.x11.event;
    const bool key = event.type == KeyPress || event.type == KeyRelease;
    // Without detectable auto-repeat the server sends each repeat as a release and a press with
    // the same time stamp, and SDL passes the release over on purpose.
    const bool repeat = key && event.type == KeyPress && current.pending && !current.down &&
                        current.keycode == event.xkey.keycode && current.time == event.xkey.time;
    if (repeat)
        current.pending = false;
    deliverPassedOver();
    if (key)
        current = {true, event.type == KeyPress, event.xkey.keycode, event.xkey.time};
}

bool sdl::keyEventFromServer(const SDL_KeyboardEvent& event) {
    if (!serverReportsEvents)
        return true; // another backend: every key event counts
    const bool down = event.state == SDL_PRESSED;
    if (!current.pending || current.down != down)
        return false;
    current.pending = false;
    return true;
}

void sdl::systemEventsDone() {
    deliverPassedOver();
}
