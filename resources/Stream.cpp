// Helpers shared by the stream readers.
#include "resources/Stream.h"

bool readFully(Stream& stream, void* buffer, int32_t count) {
    if (count < 0)
        return false;
    return count == 0 || stream.read(buffer, count) == count;
}
