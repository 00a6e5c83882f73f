// The interface of anything that can turn a resource name into an open file: a directory on
// disk, or the file system that dispatches names to such directories by prefix.
#pragma once

#include "app/String.h"
#include <fstream>

class Stream;

class FileSource {
public:
    virtual ~FileSource() = default;
    virtual bool exists(const String& name) = 0;
    // Text-mode standard streams; null when the file cannot be opened.
    virtual std::ifstream* openTextRead(const String& name) = 0;
    virtual std::ofstream* openTextWrite(const String& name) = 0;
    // Binary streams, owned by the caller; null when the file cannot be opened.
    virtual Stream* openRead(const String& name) = 0;
    virtual Stream* openWrite(const String& name) = 0;
};
