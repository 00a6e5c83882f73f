// The log file writer: every line is flushed when the call returns, so the file keeps every
// completed line even if the program ends abruptly afterwards.
#include "app/Log.h"

#include "app/PlainFile.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const int FormatBufferSize = 1024;

} // namespace

Log::Log(const String& fileName) {
    String name(fileName);
    // Anything else stays closed, as a file that cannot be opened does; the log is recreated
    // at every start, so a link in its place is refused rather than followed.
    if (isPlainFileHereOrNothing(name.cStr()))
        stream_.open(name.cStr(), std::ios::out | std::ios::trunc);
}

void Log::write(const String& text) {
    const void* zero = text.length() > 0 ? std::memchr(text.data(), 0, text.length()) : nullptr;
    const int shown =
        zero ? static_cast<int>(static_cast<const char*>(zero) - text.data()) : text.length();
    stream_.write(text.data(), shown);
    stream_ << '\n';
    stream_.flush();
}

void Log::writeLine(const char* text) {
    stream_ << text << '\n';
    stream_.flush();
}

void writeFormatted(Log& log, const char* format, ...) {
    char buffer[FormatBufferSize];
    va_list arguments;
    va_start(arguments, format);
    // vsnprintf cuts an over-long result at 1023 bytes and always terminates it.
    const int written = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (written < 0)
        buffer[0] = 0;
    log.writeLine(buffer);
}
