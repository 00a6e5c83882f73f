// The log file writer: every line is flushed when the call returns, so the file keeps every
// completed line even if the program ends abruptly afterwards.
#include "app/Log.h"

#include "app/PlainFile.h"
#include "platform/platform.h"
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int FormatBufferSize = 1024;

// The byte whose lock holds the file: far beyond any line the log will hold, since Windows keeps
// every descriptor but the holder's from reading or writing locked bytes.
const long HoldOffset = 0x7FFFFFF0L;

// Opens the file for writing without following a link at its name, so that nothing put there
// after a check is followed, and refuses a reparse point that stands for another file (a link;
// on Windows a junction or a mount point too). One that is the file itself with its data kept
// elsewhere (a cloud provider's placeholder) is opened again through its provider, which brings
// the data; the first handle, which shares no deletion, keeps the name on the same file meanwhile.
// The runtime's descriptor, or -1.
int openHere(const char* name) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = CreateFileA(name, GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    FILE_ATTRIBUTE_TAG_INFO info = {};
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info) ||
        !isPlainFileHere(info.FileAttributes, info.ReparseTag)) {
        CloseHandle(file);
        return -1;
    }
    if (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        const HANDLE through = CreateFileA(name, GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(file);
        file = through;
        if (file == INVALID_HANDLE_VALUE)
            return -1;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_TEXT);
    if (descriptor < 0)
        CloseHandle(file);
    return descriptor;
}

} // namespace

Log::Log(const String& fileName) {
    String name(fileName);
    // Anything but a plain file here stays closed, as a file that cannot be opened does: the log
    // is recreated at every start, so a link in its place is refused rather than followed.
    file_ = openHere(name.cStr());
    if (file_ < 0)
        return;
    hold();
    if (heldElsewhere_) {
        _close(file_);
        file_ = -1;
        return;
    }
    _chsize(file_, 0);
    _lseek(file_, 0, SEEK_SET);
}

Log::~Log() {
    if (file_ < 0)
        return;
    // Windows frees the locks of a closed descriptor only when it gets round to it.
    if (held_ && _lseek(file_, HoldOffset, SEEK_SET) == HoldOffset)
        _locking(file_, _LK_UNLCK, 1);
    _close(file_);
}

// Locks a byte of the file before emptying it, so that a second copy of the program started in
// the same folder finds it held and leaves the first one's lines alone. The lock lasts as long as
// the process (or this Log).
void Log::hold() {
    if (_lseek(file_, HoldOffset, SEEK_SET) != HoldOffset)
        return;
    errno = 0;
    if (_locking(file_, _LK_NBLCK, 1) == 0) {
        held_ = true;
        return;
    }
    // The byte is held (EACCES; Wine's runtime leaves errno as it was), unless the file system
    // keeps no locks: the log then works without a hold.
    heldElsewhere_ = errno != EINVAL && errno != ENOLCK && errno != EBADF;
}

void Log::write(const String& text) {
    const void* zero = text.length() > 0 ? std::memchr(text.data(), 0, text.length()) : nullptr;
    const int shown =
        zero ? static_cast<int>(static_cast<const char*>(zero) - text.data()) : text.length();
    writeBytes(text.data(), size_t(shown));
}

void Log::writeLine(const char* text) {
    writeBytes(text, std::strlen(text));
}

// One write per line, so that each reaches the file as soon as the call returns; the text-mode
// descriptor turns the newline into the platform's line end.
void Log::writeBytes(const char* text, size_t count) {
    if (file_ < 0)
        return;
    std::string line(text, count);
    line += '\n';
    _write(file_, line.data(), unsigned(line.size()));
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
