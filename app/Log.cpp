// The log file writer: every line is flushed when the call returns, so the file keeps every
// completed line even if the program ends abruptly afterwards.
#include "app/Log.h"

#include "app/PlainFile.h"
#include "platform/platform.h"
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const int FormatBufferSize = 1024;

// The byte whose lock holds the file: far beyond any line the log will hold, since Windows keeps
// every other descriptor, the holder's own stream as well, from reading or writing locked bytes.
const long HoldOffset = 0x7FFFFFF0L;

} // namespace

Log::Log(const String& fileName) {
    String name(fileName);
    // Anything else stays closed, as a file that cannot be opened does; the log is recreated
    // at every start, so a link in its place is refused rather than followed.
    if (!isPlainFileHereOrNothing(name.cStr()))
        return;
    hold(name.cStr());
    if (!heldElsewhere_)
        stream_.open(name.cStr(), std::ios::out | std::ios::trunc);
}

Log::~Log() {
    if (holder_ < 0)
        return;
    // Windows frees the locks of a closed descriptor only when it gets round to it.
    if (_lseek(holder_, HoldOffset, SEEK_SET) == HoldOffset)
        _locking(holder_, _LK_UNLCK, 1);
    release();
}

// Locks the file before emptying it, so that a second copy of the program started in the same
// folder finds it held and leaves the first one's lines alone. The lock lasts as long as the
// process (or this Log). A file that does not open here will not open for the stream either.
void Log::hold(const char* name) {
    holder_ = _open(name, _O_WRONLY | _O_CREAT, _S_IREAD | _S_IWRITE);
    if (holder_ < 0)
        return;
    if (_lseek(holder_, HoldOffset, SEEK_SET) != HoldOffset) {
        release();
        return;
    }
    errno = 0;
    if (_locking(holder_, _LK_NBLCK, 1) == 0)
        return;
    // The byte is held (EACCES; Wine's runtime leaves errno as it was), unless the file system
    // keeps no locks: the log then works as it did before there was a hold.
    heldElsewhere_ = errno != EINVAL && errno != ENOLCK && errno != EBADF;
    release();
}

void Log::release() {
    _close(holder_);
    holder_ = -1;
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
