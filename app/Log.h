// The engine's plain text trace: one call, one line, flushed at once. No levels, time stamps or
// prefixes; the bytes reach the file as given, apart from the platform's text-mode line ends.
#pragma once

#include "app/String.h"
#include <cstddef>

class Log {
public:
    // Truncates or creates the file and holds it for the run. A file that cannot be opened, or
    // a pipe, device or link in its place, leaves the log closed and every later write is
    // dropped without a word; so does a file that another copy of the program holds, which is
    // left as it is.
    explicit Log(const String& fileName);
    ~Log();

    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Writes the text up to its first zero byte, then a newline, then flushes.
    void write(const String& text);
    // Writes a zero-terminated text, a newline, and flushes.
    void writeLine(const char* text);

    // Whether another copy of the program, started in the same folder, holds the file.
    bool heldElsewhere() const { return heldElsewhere_; }

private:
    void hold();
    void writeBytes(const char* text, size_t count);

    int file_ = -1; // the runtime's descriptor of the open file, or -1
    bool held_ = false;
    bool heldElsewhere_ = false;
};

#if defined(__GNUC__) || defined(__clang__)
#define PELMORA_PRINTF_FORMAT(formatIndex, firstArgument)                                          \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define PELMORA_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// Formats like printf into a 1024-byte buffer and writes it as one line. A result longer than
// 1023 bytes is cut there rather than overrunning the buffer.
void writeFormatted(Log& log, const char* format, ...) PELMORA_PRINTF_FORMAT(2, 3);
