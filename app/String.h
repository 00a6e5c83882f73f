// The engine's byte string: names, paths, log lines and configuration text.
// Holds bytes, not characters (no encoding assumed); zero bytes may occur inside. Growth is to
// the exact size needed; allocation failure ends the program.
#pragma once

#include <cstdint>
#include <istream>

class String {
public:
    String();
    String(const char* text);             // zero-terminated
    String(const char* bytes, int count); // count bytes, zeros included
    String(const String& other);
    ~String();

    // A string of length 0 with room for n bytes (capacity n + 1).
    static String withReserve(int n);

    String& operator=(const String& other);
    String& operator+=(const String& other);
    String operator+(const String& other) const;
    bool operator==(const String& other) const;
    bool operator!=(const String& other) const { return !(*this == other); }
    bool operator<(const String& other) const;

    int length() const { return length_; }
    int capacity() const { return capacity_; }
    const char* data() const { return data_; }
    char operator[](int i) const { return data_[i]; }

    // Writes the terminator at data[length] and answers the buffer.
    const char* cStr();

    String substr(int position, int count = -1) const;
    int find(char byte, int from = 0, int to = -1) const;
    void toLower();
    void trim();
    void trimLeft();
    void trimRight();
    bool toInt(int32_t& out);

private:
    char* data_;
    int32_t capacity_;
    int32_t length_;

    friend void readLine(std::istream& in, String& line, int maximum);
};

// Reads one line (at most maximum - 1 bytes, without the newline) into line, whose buffer
// becomes exactly maximum bytes; the length stops at the first zero byte. A longer line is cut:
// the rest of it is skipped and the stream stays readable for the next line.
void readLine(std::istream& in, String& line, int maximum);
