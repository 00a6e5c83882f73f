// The engine's byte string: exact-size growth on the C heap, operations on length rather than
// on terminators, and the line reader under the configuration parser.
#include "app/String.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

[[noreturn]] void outOfMemory() {
    std::fputs("pelmora: out of memory\n", stderr);
    std::exit(EXIT_FAILURE);
}

char* allocate(int32_t capacity) {
    char* data = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    if (!data)
        outOfMemory();
    return data;
}

char* reallocate(char* data, int32_t capacity) {
    if (!data)
        outOfMemory();
    char* grown = static_cast<char*>(std::realloc(data, static_cast<size_t>(capacity)));
    if (!grown)
        outOfMemory();
    return grown;
}

// A length sum that no 32-bit capacity can hold is as fatal as a failed allocation.
int32_t checkedCapacity(int64_t bytes) {
    if (bytes > std::numeric_limits<int32_t>::max())
        outOfMemory();
    return static_cast<int32_t>(bytes);
}

bool isBlank(char byte) {
    return static_cast<unsigned char>(byte) <= 0x20;
}

} // namespace

String::String() : data_(allocate(1)), capacity_(1), length_(0) {
    data_[0] = 0;
}

String::String(const char* text) {
    length_ = checkedCapacity(static_cast<int64_t>(std::strlen(text)));
    capacity_ = checkedCapacity(static_cast<int64_t>(length_) + 1);
    data_ = allocate(capacity_);
    std::memcpy(data_, text, static_cast<size_t>(length_));
}

String::String(const char* bytes, int count) {
    length_ = count;
    capacity_ = checkedCapacity(static_cast<int64_t>(count) + 1);
    data_ = allocate(capacity_);
    if (count > 0)
        std::memcpy(data_, bytes, static_cast<size_t>(count));
}

String::String(const String& other) {
    length_ = other.length_;
    capacity_ = checkedCapacity(static_cast<int64_t>(length_) + 1);
    data_ = allocate(capacity_);
    if (length_ > 0)
        std::memcpy(data_, other.data_, static_cast<size_t>(length_));
}

String::~String() {
    std::free(data_);
}

String String::withReserve(int n) {
    String result;
    result.capacity_ = checkedCapacity(static_cast<int64_t>(n) + 1);
    result.data_ = reallocate(result.data_, result.capacity_);
    return result;
}

String& String::operator=(const String& other) {
    if (this == &other)
        return *this;
    if (!data_)
        outOfMemory();
    if (capacity_ < other.length_ + 1) {
        capacity_ = checkedCapacity(static_cast<int64_t>(other.length_) + 1);
        data_ = reallocate(data_, capacity_);
    }
    if (other.length_ > 0)
        std::memmove(data_, other.data_, static_cast<size_t>(other.length_));
    length_ = other.length_;
    return *this;
}

String& String::operator+=(const String& other) {
    if (!data_)
        outOfMemory();
    // Appending a string to itself: remember the count before the buffer can move.
    const int32_t added = other.length_;
    const int32_t needed = checkedCapacity(static_cast<int64_t>(length_) + added + 1);
    if (capacity_ < needed) {
        const bool self = (&other == this);
        capacity_ = needed;
        data_ = reallocate(data_, capacity_);
        if (self) {
            std::memmove(data_ + length_, data_, static_cast<size_t>(added));
            length_ += added;
            return *this;
        }
    }
    if (added > 0)
        std::memmove(data_ + length_, other.data_, static_cast<size_t>(added));
    length_ += added;
    return *this;
}

String String::operator+(const String& other) const {
    const int32_t total = checkedCapacity(static_cast<int64_t>(length_) + other.length_);
    String result = withReserve(total);
    if (length_ > 0)
        std::memcpy(result.data_, data_, static_cast<size_t>(length_));
    if (other.length_ > 0)
        std::memcpy(result.data_ + length_, other.data_, static_cast<size_t>(other.length_));
    result.length_ = total;
    return result;
}

bool String::operator==(const String& other) const {
    return length_ == other.length_ &&
           (length_ == 0 || std::memcmp(data_, other.data_, static_cast<size_t>(length_)) == 0);
}

bool String::operator<(const String& other) const {
    // Signed bytes, so that names with bytes above 127 sort before plain ASCII.
    const int32_t common = length_ < other.length_ ? length_ : other.length_;
    for (int32_t i = 0; i < common; ++i) {
        const signed char a = static_cast<signed char>(data_[i]);
        const signed char b = static_cast<signed char>(other.data_[i]);
        if (a != b)
            return a < b;
    }
    return length_ < other.length_;
}

const char* String::cStr() {
    data_[length_] = 0;
    return data_;
}

String String::substr(int position, int count) const {
    int available = length_ - position;
    if (count == -1 || count > available)
        count = available;
    if (count <= 0)
        return String();
    return String(data_ + position, count);
}

int String::find(char byte, int from, int to) const {
    if (to == -1)
        to = length_ - 1;
    if (to > length_ - 1)
        to = length_ - 1;
    for (int p = from; p <= to; ++p)
        if (data_[p] == byte)
            return p;
    return -1;
}

void String::toLower() {
    for (int32_t i = 0; i < length_; ++i)
        if (data_[i] >= 'A' && data_[i] <= 'Z')
            data_[i] = static_cast<char>(data_[i] - 'A' + 'a');
}

void String::trim() {
    trimRight();
    trimLeft();
}

void String::trimLeft() {
    int32_t start = 0;
    while (start < length_ && isBlank(data_[start]))
        ++start;
    if (start == 0)
        return;
    length_ -= start;
    if (length_ > 0)
        std::memmove(data_, data_ + start, static_cast<size_t>(length_));
}

void String::trimRight() {
    while (length_ > 0 && isBlank(data_[length_ - 1]))
        --length_;
}

bool String::toInt(int32_t& out) {
    const char* text = cStr();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    // long is 64-bit on some systems: clamp to the 32-bit range as a 32-bit strtol would.
    if (value > std::numeric_limits<int32_t>::max())
        out = std::numeric_limits<int32_t>::max();
    else if (value < std::numeric_limits<int32_t>::min())
        out = std::numeric_limits<int32_t>::min();
    else
        out = static_cast<int32_t>(value);
    return end == text + length_;
}

void readLine(std::istream& in, String& line, int maximum) {
    if (!line.data_)
        outOfMemory();
    if (maximum < 1)
        maximum = 1;
    line.data_ = reallocate(line.data_, maximum);
    line.capacity_ = maximum;
    line.data_[0] = 0;
    in.getline(line.data_, maximum);
    // A line longer than the buffer sets failbit and leaves the rest waiting: keep the cut
    // part, drop the rest of that line, and let the next call read the next line normally.
    if (in.fail() && !in.bad() && !in.eof() && in.gcount() >= maximum - 1) {
        in.clear();
        in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    line.length_ = static_cast<int32_t>(std::strlen(line.data_));
}
