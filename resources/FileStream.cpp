// FileStream over the C runtime's low-level I/O, as both platforms provide it.
#include "resources/FileStream.h"
#include "platform/platform.h"
#include <cstdio>

FileStream::FileStream(const String& path, bool forWriting) : Stream(StreamFailed), path_(path) {
    String terminated(path);
    if (forWriting)
        handle_ = _open(terminated.cStr(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY,
                        _S_IREAD | _S_IWRITE);
    else
        handle_ = _open(terminated.cStr(), _O_RDONLY | _O_BINARY);
    if (handle_ >= 0)
        state_ = StreamOpen;
    else
        handle_ = -1;
}

FileStream::~FileStream() {
    if (handle_ >= 0)
        _close(handle_);
}

int32_t FileStream::seek(int32_t offset, int32_t origin) {
    if (handle_ < 0)
        return -1;
    int whence;
    switch (origin) {
    case SeekStart:
        whence = SEEK_SET;
        break;
    case SeekEnd:
        whence = SEEK_END;
        break;
    case SeekCurrent:
        whence = SEEK_CUR;
        break;
    default:
        return -1;
    }
    long position = _lseek(handle_, offset, whence);
    // A position the 32-bit interface cannot express is reported as an error.
    if (position < 0 || position > INT32_MAX)
        return -1;
    return int32_t(position);
}

int32_t FileStream::read(void* buffer, int32_t count) {
    if (handle_ < 0 || count < 0)
        return -1;
    return _read(handle_, buffer, unsigned(count));
}

int32_t FileStream::write(const void* buffer, int32_t count) {
    if (handle_ < 0 || count < 0)
        return -1;
    return _write(handle_, buffer, unsigned(count));
}

bool FileStream::eof() {
    return _eof(handle_) != 0;
}
