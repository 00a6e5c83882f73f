// Whether a name the program opens through the standard streams is safe to open: a pipe
// without a partner in a file's place would hold the program in open() forever, and a
// directory or device is no file to read or write either.
#pragma once

#include "platform/platform.h"

// True when nothing stands at the name, or a plain file does.
inline bool isPlainFileOrNothing(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}
