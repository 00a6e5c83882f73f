// A read-only binary stream over a whole file held in memory. Reads and seeks never go outside
// the buffer: seeks are clamped, reads deliver what is left.
#pragma once

#include "resources/Stream.h"

class MemoryStream : public Stream {
public:
    // Copies the whole source from its start; the source stays open. The new stream is failed
    // when the source is, when the source's size cannot be read, or when it delivers fewer bytes
    // than its size.
    explicit MemoryStream(Stream& source);
    // Copies size bytes of memory.
    MemoryStream(const void* bytes, int32_t size);
    ~MemoryStream() override;

    int32_t seek(int32_t offset, int32_t origin) override;
    int32_t read(void* buffer, int32_t count) override;
    // Not supported: changes nothing and answers -1.
    int32_t write(const void* buffer, int32_t count) override;
    bool eof() override { return position_ == size_; }

    int32_t getSize() const { return size_; }
    int32_t getPosition() const { return position_; }

private:
    uint8_t* data_ = nullptr;
    int32_t size_ = 0;
    int32_t position_ = 0;
};
