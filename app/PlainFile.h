// Whether a name the program opens through the standard streams is safe to open: a pipe
// without a partner in a file's place would hold the program in open() forever, and a
// directory or device is no file to read or write either.
#pragma once

#include "platform/platform.h"

namespace plainfile {

inline bool attributesClear(const char* name, DWORD refused) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & refused);
}

} // namespace plainfile

// True when nothing stands at the name, or a plain file does (through a link, too).
inline bool isPlainFileOrNothing(const char* name) {
    return plainfile::attributesClear(name, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE);
}

// The same, but a link is refused too (a symbolic link; on Windows any reparse point, a junction
// as well): a file the program empties at every start must not empty a file elsewhere.
inline bool isPlainFileHereOrNothing(const char* name) {
    return plainfile::attributesClear(name, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                                                FILE_ATTRIBUTE_REPARSE_POINT);
}
