// A file source over one directory on disk, fixed to its absolute path when it is created so
// that later changes of the working directory do not move it.
#pragma once

#include "resources/FileSource.h"
#include <cstdint>

class DiskDirectory : public FileSource {
public:
    // directory is relative to the working directory at this moment. A directory that does not
    // exist leaves the source serving the working directory itself. Creating one never leaves
    // the working directory changed.
    explicit DiskDirectory(const String& directory);

    // Absolute, always ending in the platform's separator; relative to the working directory
    // when the system cannot spell the absolute path in the program's code page.
    const String& getBasePath() const { return basePath_; }
    // Whether the directory was there, as a directory, when the source was made; a source whose
    // directory was not serves the working directory in its place.
    bool found() const { return found_; }

    bool exists(const String& name) override;
    std::ifstream* openTextRead(const String& name) override;
    std::ofstream* openTextWrite(const String& name) override;
    // Files below 32 MiB are read whole into memory and closed at once; larger ones stay on disk.
    Stream* openRead(const String& name) override;
    Stream* openWrite(const String& name) override;

    static constexpr int32_t MemoryLimit = 33554432;

private:
    String basePath_;
    bool found_ = false;
};
