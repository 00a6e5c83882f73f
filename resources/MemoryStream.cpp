// MemoryStream: a whole file in one buffer, every access clamped to it.
#include "resources/MemoryStream.h"
#include <cstring>

MemoryStream::MemoryStream(Stream& source) : Stream(StreamFailed) {
    if (source.state() != StreamOpen)
        return;
    int32_t size = source.seek(0, SeekEnd);
    if (size < 0 || source.seek(0, SeekStart) != 0)
        return;
    uint8_t* data = new uint8_t[size > 0 ? size : 1];
    // A short read leaves a failed stream rather than one holding bytes that were never read.
    int32_t done = 0;
    while (done < size) {
        int32_t got = source.read(data + done, size - done);
        if (got <= 0)
            break;
        done += got;
    }
    if (done != size) {
        delete[] data;
        return;
    }
    data_ = data;
    size_ = size;
    state_ = StreamOpen;
}

MemoryStream::MemoryStream(const void* bytes, int32_t size) : Stream(StreamOpen) {
    if (size < 0)
        size = 0;
    data_ = new uint8_t[size > 0 ? size : 1];
    if (size > 0)
        std::memcpy(data_, bytes, size_t(size));
    size_ = size;
}

MemoryStream::~MemoryStream() {
    delete[] data_;
}

int32_t MemoryStream::seek(int32_t offset, int32_t origin) {
    int64_t position;
    switch (origin) {
    case SeekStart:
        position = offset;
        break;
    case SeekEnd:
        position = int64_t(size_) + offset;
        break;
    case SeekCurrent:
        position = int64_t(position_) + offset;
        break;
    default:
        return position_;
    }
    if (position < 0)
        position = 0;
    else if (position > size_)
        position = size_;
    position_ = int32_t(position);
    return position_;
}

int32_t MemoryStream::read(void* buffer, int32_t count) {
    if (count <= 0)
        return 0;
    int32_t left = size_ - position_;
    if (count > left)
        count = left;
    if (count == 0)
        return 0;
    std::memcpy(buffer, data_ + position_, size_t(count));
    position_ += count;
    return count;
}

int32_t MemoryStream::write(const void*, int32_t) {
    return -1;
}
