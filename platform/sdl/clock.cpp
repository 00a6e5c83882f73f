// The millisecond clock: the system's monotonic clock counted from boot, cut to 32 bits so that
// it wraps after about 49.7 days like WINMM's counter.
#include "platform/sdl/internal.h"

#include <time.h>

DWORD timeGetTime(void) {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t milliseconds = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(milliseconds);
}
