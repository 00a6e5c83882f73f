// The millisecond clock: the page's monotonic clock (performance.now, counted from the start of
// the navigation), cut to 32 bits so that it wraps like WINMM's counter.
#include "platform/web/internal.h"

#include <cstdint>
#include <emscripten.h>

DWORD timeGetTime(void) {
    return static_cast<DWORD>(static_cast<uint64_t>(emscripten_get_now()));
}
