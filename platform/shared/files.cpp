// The C runtime's low-level file calls, the attribute query and the file opened as a handle
// under their Windows names, over POSIX. Windows' _O_ and _S_ numbers differ from POSIX's, so they
// are translated here. The browser layer uses this file too, over Emscripten's POSIX on its
// in-memory file system.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int accessMask = _O_RDONLY | _O_WRONLY | _O_RDWR;
constexpr int knownFlags = accessMask | _O_CREAT | _O_TRUNC | _O_BINARY | _O_TEXT;

// A read or write of count bytes, started again when a signal interrupts it; the runtime answers
// in an int, so a larger count is refused.
template <typename Transfer> int transferred(unsigned int count, Transfer transfer) {
    if (count > unsigned(INT_MAX)) {
        errno = EINVAL;
        return -1;
    }
    ssize_t done;
    do {
        done = transfer();
    } while (done < 0 && errno == EINTR);
    return static_cast<int>(done);
}

DWORD attributesOf(const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return S_ISREG(status.st_mode) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DEVICE;
}

// Opens a regular file only, refusing anything else with EACCES at once: a pipe without a
// partner would hold open() forever (so O_NONBLOCK until the file is known), and a directory
// opens for reading on POSIX. With O_NOFOLLOW a link is refused the same way.
int openRegular(const char* path, int posixFlags, mode_t mode) {
    struct stat status;
    const int found = (posixFlags & O_NOFOLLOW) ? lstat(path, &status) : stat(path, &status);
    if (found == 0 && !S_ISREG(status.st_mode)) {
        errno = EACCES;
        return -1;
    }
    int fd;
    do {
        fd = open(path, posixFlags | O_CLOEXEC | O_NONBLOCK, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ELOOP)
            errno = EACCES;
        return fd;
    }
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        errno = EACCES;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

HANDLE handleOf(int fd) {
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(intptr_t(fd));
}

int descriptorOf(HANDLE handle) {
    return int(reinterpret_cast<intptr_t>(handle));
}

} // namespace

DWORD GetFileAttributesA(LPCSTR path) {
    struct stat status;
    if (path == nullptr || lstat(path, &status) != 0)
        return INVALID_FILE_ATTRIBUTES;
    // As on Windows, a link answers for itself: a reparse point, a directory too when it leads
    // to one. What it leads to otherwise still shows, so that a link to a pipe stays refused.
    DWORD link = 0;
    if (S_ISLNK(status.st_mode)) {
        link = FILE_ATTRIBUTE_REPARSE_POINT;
        if (stat(path, &status) != 0)
            return link;
    }
    const DWORD attributes = attributesOf(status);
    return attributes == FILE_ATTRIBUTE_NORMAL && link ? link : (link | attributes);
}

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD, void*, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE) {
    if (name == nullptr || access != GENERIC_WRITE ||
        (disposition != OPEN_ALWAYS && disposition != OPEN_EXISTING)) {
        errno = EINVAL;
        return INVALID_HANDLE_VALUE;
    }
    int posixFlags = O_WRONLY;
    if (disposition == OPEN_ALWAYS)
        posixFlags |= O_CREAT;
    if (flagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT)
        posixFlags |= O_NOFOLLOW;
    return handleOf(openRegular(name, posixFlags, S_IRUSR | S_IWUSR));
}

BOOL CloseHandle(HANDLE object) {
    return close(descriptorOf(object)) == 0;
}

BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* information,
                                  DWORD size) {
    struct stat status;
    if (kind != FileAttributeTagInfo || information == nullptr ||
        size < sizeof(FILE_ATTRIBUTE_TAG_INFO) || fstat(descriptorOf(file), &status) != 0)
        return FALSE;
    *static_cast<FILE_ATTRIBUTE_TAG_INFO*>(information) = {attributesOf(status), 0};
    return TRUE;
}

int _open(const char* path, int flags, ...) {
    // Unknown bits would otherwise be taken for POSIX flags of the same value.
    if (path == nullptr || (flags & ~knownFlags) != 0 || (flags & accessMask) == accessMask) {
        errno = EINVAL;
        return -1;
    }
    int posixFlags = 0;
    switch (flags & accessMask) {
    case _O_WRONLY:
        posixFlags |= O_WRONLY;
        break;
    case _O_RDWR:
        posixFlags |= O_RDWR;
        break;
    default:
        posixFlags |= O_RDONLY;
        break;
    }
    mode_t mode = 0;
    if (flags & _O_CREAT) {
        posixFlags |= O_CREAT;
        va_list arguments;
        va_start(arguments, flags);
        const int windowsMode = va_arg(arguments, int);
        va_end(arguments);
        // Windows knows only the owner's read and write permission.
        if (windowsMode & _S_IREAD)
            mode |= S_IRUSR;
        if (windowsMode & _S_IWRITE)
            mode |= S_IWUSR;
    }
    if (flags & _O_TRUNC)
        posixFlags |= O_TRUNC;
    return openRegular(path, posixFlags, mode);
}

int _read(int fd, void* buffer, unsigned int count) {
    return transferred(
        count, [&] { return read(fd, buffer, count); });
}

int _write(int fd, const void* buffer, unsigned int count) {
    return transferred(
        count, [&] { return write(fd, buffer, count); });
}

// Windows' origins 0, 1 and 2 are POSIX's SEEK_SET, SEEK_CUR and SEEK_END.
long _lseek(int fd, long offset, int origin) {
    return static_cast<long>(lseek(fd, static_cast<off_t>(offset), origin));
}

int _eof(int fd) {
    struct stat status;
    if (fstat(fd, &status) != 0)
        return -1;
    const off_t position = lseek(fd, 0, SEEK_CUR);
    if (position < 0)
        return -1;
    return position >= status.st_size ? 1 : 0;
}

int _locking(int fd, int mode, long count) {
    if ((mode != _LK_NBLCK && mode != _LK_UNLCK) || count <= 0) {
        errno = EINVAL;
        return -1;
    }
#ifdef __EMSCRIPTEN__
    // One copy of the program per page, and nothing else reaches its in-memory files.
    (void)fd;
    return 0;
#else
    // Open file description locks, unlike POSIX's process-wide ones, belong to the descriptor
    // as Windows' do: closing another descriptor of the file keeps them, and a second
    // descriptor in the same process is refused.
    struct flock region = {};
    region.l_type = mode == _LK_NBLCK ? F_WRLCK : F_UNLCK;
    region.l_whence = SEEK_CUR;
    region.l_start = 0;
    region.l_len = count;
    if (fcntl(fd, F_OFD_SETLK, &region) == 0)
        return 0;
    if (errno == EAGAIN)
        errno = EACCES;
    return -1;
#endif
}

int _close(int fd) {
    return close(fd);
}

int _open_osfhandle(intptr_t handle, int) {
    return handle == intptr_t(INVALID_HANDLE_VALUE) ? -1 : int(handle);
}

int _chsize(int fd, long size) {
    return ftruncate(fd, off_t(size));
}

char* _getcwd(char* buffer, int size) {
    if (buffer == nullptr)
        return getcwd(nullptr, 0); // the runtime allocates as much as the path needs
    if (size <= 0) {
        errno = EINVAL;
        return nullptr;
    }
    return getcwd(buffer, static_cast<size_t>(size));
}

int _chdir(const char* path) {
    if (path == nullptr) {
        errno = EINVAL;
        return -1;
    }
    return chdir(path);
}
