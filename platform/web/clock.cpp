// The millisecond clock: the wall clock's milliseconds as they stood when the page's navigation
// began, carried on by the page's monotonic clock, cut to 32 bits so that it wraps like WINMM's
// counter. Like the counter since boot on Windows, it starts from a different value at every load,
// and nothing the page does (a changed system clock included) can make it run backwards.
#include "platform/web/internal.h"

#include <cstdint>
#include <emscripten.h>

DWORD timeGetTime(void) {
    static const double origin = webTimeOrigin();
    return static_cast<DWORD>(static_cast<uint64_t>(origin + emscripten_get_now()));
}
