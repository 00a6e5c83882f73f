// DiskDirectory: a directory fixed to its absolute path, serving small files from memory.
#include "resources/DiskDirectory.h"
#include "platform/platform.h"
#include "resources/FileStream.h"
#include "resources/MemoryStream.h"
#include <cerrno>
#include <vector>

namespace {

// The working directory, however long: the buffer grows while the runtime says it is too small.
bool currentDirectory(String& path) {
    std::vector<char> buffer(256);
    while (_getcwd(buffer.data(), int(buffer.size())) == nullptr) {
        if (errno != ERANGE || buffer.size() >= (1u << 20))
            return false;
        buffer.resize(buffer.size() * 2);
    }
    path = String(buffer.data());
    return true;
}

// Whether a path read back from the runtime really names a directory. A system that hands out
// paths in a code page without some of their letters puts '?' or a look-alike letter in their
// place, and such a path leads nowhere.
bool isDirectory(const String& path) {
    String copy(path);
    const DWORD attributes = GetFileAttributesA(copy.cStr());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// fail() covers a stream gone bad as well.
bool opened(const std::ios& stream) {
    return !stream.fail();
}

bool opened(const Stream& stream) {
    return stream.state() == Stream::StreamOpen;
}

// Whether the runtime opens path as the binary opens do: only a file, and at once, where a
// standard stream would open a directory or wait in open() for a pipe's other end forever.
bool opensAsFile(String path, int flags) {
    const int file = _open(path.cStr(), flags, _S_IREAD | _S_IWRITE);
    if (file < 0)
        return false;
    _close(file);
    return true;
}

// The stream when it opened; otherwise null, the stream destroyed.
template <class S> S* ifOpened(S* stream) {
    if (opened(*stream))
        return stream;
    delete stream;
    return nullptr;
}

} // namespace

DiskDirectory::DiskDirectory(const String& directory) : found_(isDirectory(directory)) {
    String start;
    if (currentDirectory(start) && isDirectory(start)) {
        String target(directory);
        _chdir(target.cStr());
        // A name that cannot be read back is served as given, relative to the start directory.
        if (!currentDirectory(basePath_) || !isDirectory(basePath_))
            basePath_ = directory;
        _chdir(start.cStr());
    } else {
        // No way back to the start directory: it is never left, and the directory is served by
        // its name relative to it (nothing changes the working directory afterwards). A missing
        // one leaves the start directory itself, as when it can be named.
        basePath_ = found_ ? directory : String(".");
    }
    if (basePath_.length() == 0 || basePath_[basePath_.length() - 1] != PLATFORM_PATH_SEPARATOR) {
        const char separator[2] = {PLATFORM_PATH_SEPARATOR, 0};
        basePath_ += String(separator);
    }
}

bool DiskDirectory::exists(const String& name) {
    String path = basePath_ + name;
    return GetFileAttributesA(path.cStr()) != INVALID_FILE_ATTRIBUTES;
}

std::ifstream* DiskDirectory::openTextRead(const String& name) {
    String path = basePath_ + name;
    if (!opensAsFile(path, _O_RDONLY | _O_TEXT))
        return nullptr;
    return ifOpened(new std::ifstream(path.cStr(), std::ios::in));
}

std::ofstream* DiskDirectory::openTextWrite(const String& name) {
    String path = basePath_ + name;
    if (!opensAsFile(path, _O_WRONLY | _O_CREAT | _O_TEXT))
        return nullptr;
    return ifOpened(new std::ofstream(path.cStr(), std::ios::out | std::ios::trunc));
}

Stream* DiskDirectory::openRead(const String& name) {
    FileStream* file = ifOpened(new FileStream(basePath_ + name, false));
    if (file == nullptr)
        return nullptr;
    int32_t size = file->seek(0, Stream::SeekEnd);
    if (size >= MemoryLimit) {
        file->seek(0, Stream::SeekStart);
        return file;
    }
    auto* memory = new MemoryStream(*file);
    delete file;
    return ifOpened(memory);
}

Stream* DiskDirectory::openWrite(const String& name) {
    return ifOpened(new FileStream(basePath_ + name, true));
}
