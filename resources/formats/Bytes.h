// The byte level shared by every file format: little-endian 32-bit fields, four-character codes,
// a source that the format readers pull bytes from, and the verdict a reader gives. Nothing here
// knows OpenGL or the platform, so the asset tools and the fuzzers use it without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace formats {

using Bytes = std::vector<uint8_t>;

// A four-character code as stored in reading order, read as a little-endian number.
constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

inline uint32_t readLE32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}
inline int32_t readLE32Signed(const uint8_t* bytes) {
    return int32_t(readLE32(bytes));
}
inline void writeLE32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
}

// Consecutive little-endian words into fields, in the order listed; a null field passes over a
// word that the format reserves. The list is the layout, read and written alike.
void readWords(const uint8_t* bytes, std::initializer_list<uint32_t*> fields);

// Appending fields to a file being written.
void append32(Bytes& out, uint32_t value);
void appendWords(Bytes& out, std::initializer_list<uint32_t> values);
void appendSigned32(Bytes& out, int32_t value);
void appendBytes(Bytes& out, const void* bytes, size_t count);

// A four-character code as text, with bytes outside printable ASCII written as \xNN.
std::string fourCCText(uint32_t code);

// Whether a format reader accepts what it read, and if not, why: the reason is written for a
// person ("version 2 is newer than 1") and is what pelmora-inspect prints.
class Verdict {
public:
    static Verdict accept() { return Verdict(); }
    static Verdict refuse(const char* format, ...)
#if defined(__MINGW32__) && !defined(__clang__)
        // MinGW's C++ runtime formats the C99 way (%zu, %lld), not as msvcrt does.
        __attribute__((format(gnu_printf, 1, 2)))
#elif defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;

    bool accepted() const {
        return accepted_;
    }
    explicit operator bool() const {
        return accepted_;
    }
    // Empty when accepted.
    const std::string& reason() const {
        return reason_;
    }

private:
    bool accepted_ = true;
    std::string reason_;
};

// Where a format reader takes its bytes from: the engine's streams and memory buffers both
// provide one, so that each format is read by one piece of code.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to count bytes from the position and answers how many it delivered.
    virtual size_t read(uint8_t* buffer, size_t count) = 0;
    // Moves to an absolute offset; false when the source cannot go there.
    virtual bool seek(uint64_t offset) = 0;
    // Offset of the next byte, and the source's whole size; -1 when they cannot be told.
    virtual int64_t position() = 0;
    virtual int64_t size() = 0;
};

// Reads exactly count bytes; false when the source delivered fewer.
bool readExactly(ByteSource& source, uint8_t* buffer, size_t count);
// The same for a fixed block of a format; the refusal names the block ("file header") and how
// much of it was there.
Verdict readBlock(ByteSource& source, uint8_t* block, size_t size, const char* what);
// A block made of words only (at most 16 of them), read into its fields as readWords does.
Verdict readWordBlock(ByteSource& source, const char* what,
                      std::initializer_list<uint32_t*> fields);

// A source over bytes in memory, which it does not own.
class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const Bytes& bytes) : MemorySource(bytes.data(), bytes.size()) {}

    size_t read(uint8_t* buffer, size_t count) override;
    bool seek(uint64_t offset) override;
    int64_t position() override { return int64_t(position_); }
    int64_t size() override { return int64_t(size_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

} // namespace formats
