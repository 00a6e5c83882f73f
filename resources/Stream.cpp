// The format readers' adapter over the engine's 32-bit streams.
#include "resources/Stream.h"
#include <cstdint>

size_t StreamSource::read(uint8_t* buffer, size_t count) {
    if (count > size_t(INT32_MAX))
        count = size_t(INT32_MAX);
    int32_t got = stream_.read(buffer, int32_t(count));
    return got > 0 ? size_t(got) : 0;
}

bool StreamSource::seek(uint64_t offset) {
    if (offset > uint64_t(INT32_MAX))
        return false;
    return stream_.seek(int32_t(offset), Stream::SeekStart) == int32_t(offset);
}

int64_t StreamSource::position() {
    return stream_.seek(0, Stream::SeekCurrent);
}

int64_t StreamSource::size() {
    int32_t here = stream_.seek(0, Stream::SeekCurrent);
    int32_t end = stream_.seek(0, Stream::SeekEnd);
    if (here < 0 || end < 0 || stream_.seek(here, Stream::SeekStart) != here)
        return -1;
    return end;
}
