// The binary stream that resource loaders read. Seek origins use the engine's own numbering,
// which differs from the C runtime's; implementations translate it.
#pragma once

#include "resources/formats/Bytes.h"
#include <cstdint>

class Stream {
public:
    enum StreamState : int32_t { StreamOpen = 1, StreamFailed = 2 };
    enum SeekOrigin : int32_t { SeekStart = 0, SeekEnd = 1, SeekCurrent = 2 };

    virtual ~Stream() = default;
    // A stream owns what it reads from; a copy would release it twice.
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
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

// The file-format readers' view of a stream: every read and seek goes straight to the stream,
// so the stream's position stays the readers' position.
class StreamSource : public formats::ByteSource {
public:
    explicit StreamSource(Stream& stream) : stream_(stream) {}
    size_t read(uint8_t* buffer, size_t count) override;
    bool seek(uint64_t offset) override;
    int64_t position() override;
    // Seeks to the end and back; -1 when the stream cannot.
    int64_t size() override;

private:
    Stream& stream_;
};
