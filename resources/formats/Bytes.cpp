// Field writers, the verdict's reason text and the memory source.
#include "resources/formats/Bytes.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace formats {

void append32(Bytes& out, uint32_t value) {
    uint8_t field[4];
    writeLE32(field, value);
    out.insert(out.end(), field, field + 4);
}

void appendWords(Bytes& out, std::initializer_list<uint32_t> values) {
    for (uint32_t value : values)
        append32(out, value);
}

void readWords(const uint8_t* bytes, std::initializer_list<uint32_t*> fields) {
    for (uint32_t* field : fields) {
        if (field)
            *field = readLE32(bytes);
        bytes += 4;
    }
}

void appendSigned32(Bytes& out, int32_t value) {
    append32(out, uint32_t(value));
}

void appendBytes(Bytes& out, const void* bytes, size_t count) {
    const uint8_t* first = static_cast<const uint8_t*>(bytes);
    out.insert(out.end(), first, first + count);
}

std::string fourCCText(uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        unsigned char c = static_cast<unsigned char>(code >> (8 * i));
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

Verdict Verdict::refuse(const char* format, ...) {
    Verdict verdict;
    verdict.accepted_ = false;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    verdict.reason_ = text;
    return verdict;
}

bool readExactly(ByteSource& source, uint8_t* buffer, size_t count) {
    return count == 0 || source.read(buffer, count) == count;
}

Verdict readBlock(ByteSource& source, uint8_t* block, size_t size, const char* what) {
    size_t got = source.read(block, size);
    if (got != size)
        return Verdict::refuse("only %zu of the %zu-byte %s are there", got, size, what);
    return Verdict::accept();
}

Verdict readWordBlock(ByteSource& source, const char* what,
                      std::initializer_list<uint32_t*> fields) {
    uint8_t block[16 * 4];
    assert(fields.size() * 4 <= sizeof block);
    Verdict read = readBlock(source, block, fields.size() * 4, what);
    if (read)
        readWords(block, fields);
    return read;
}

size_t MemorySource::read(uint8_t* buffer, size_t count) {
    size_t left = size_ - position_;
    if (count > left)
        count = left;
    if (count > 0)
        std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    return count;
}

bool MemorySource::seek(uint64_t offset) {
    if (offset > size_)
        return false;
    position_ = size_t(offset);
    return true;
}

} // namespace formats
