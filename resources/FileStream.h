// A binary stream over a file descriptor of the C runtime's low-level I/O. Used directly for
// writing and for files too large to be read into memory.
#pragma once

#include "app/String.h"
#include "resources/Stream.h"

class FileStream : public Stream {
public:
    // Opens for reading (binary) or for writing (created or truncated, binary). The state tells
    // whether a descriptor was obtained.
    FileStream(const String& path, bool forWriting);
    ~FileStream() override;

    int32_t seek(int32_t offset, int32_t origin) override;
    int32_t read(void* buffer, int32_t count) override;
    int32_t write(const void* buffer, int32_t count) override;
    // True at the end of the file and on error.
    bool eof() override;

    const String& getPath() const { return path_; }

private:
    int handle_;
    String path_;
};
