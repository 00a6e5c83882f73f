// The millisecond clock: a random 32-bit origin drawn when the page loads, carried on by the
// page's monotonic clock, cut to 32 bits so that it wraps like WINMM's counter. Like the counter
// since an unknown boot on Windows, it starts from a value that nothing about the load (its time
// included) tells, and nothing the page does (a changed system clock included) can make it run
// backwards.
#include "platform/web/internal.h"

#include <cstdint>
#include <emscripten.h>

DWORD timeGetTime(void) {
    static const double origin = webClockOrigin();
    return static_cast<DWORD>(static_cast<uint64_t>(origin + emscripten_get_now()));
}
