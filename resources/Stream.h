// The binary stream that resource loaders read. Seek origins use the engine's own numbering,
// which differs from the C runtime's; implementations translate it.
#pragma once

#include <cstdint>

class Stream {
public:
    enum StreamState : int32_t { StreamOpen = 1, StreamFailed = 2 };
    enum SeekOrigin : int32_t { SeekStart = 0, SeekEnd = 1, SeekCurrent = 2 };

    virtual ~Stream() = default;
    // Answers the new position, or -1 when the stream cannot seek.
    virtual int32_t seek(int32_t offset, int32_t origin) = 0;
    virtual int32_t read(void* buffer, int32_t count) = 0;
    virtual int32_t write(const void* buffer, int32_t count) = 0;
    virtual bool eof() = 0;
    // Fixed at construction.
    virtual int32_t state() const { return state_; }

protected:
    explicit Stream(int32_t state) : state_(state) {}
    int32_t state_;
};

// Reads exactly count bytes; false when the stream delivered fewer.
bool readFully(Stream& stream, void* buffer, int32_t count);
