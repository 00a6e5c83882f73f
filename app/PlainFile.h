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

// The tag of the reparse point at the name; false when the name cannot be searched for.
inline bool reparseTag(const char* name, DWORD& tag) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(name, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    tag = found.dwReserved0;
    return true;
}

} // namespace plainfile

// True when nothing stands at the name, or a plain file does (through a link, too).
inline bool isPlainFileOrNothing(const char* name) {
    return plainfile::attributesClear(name, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE);
}

// Whether a file with these attributes and, for a reparse point, this tag is a plain file here:
// a link, a junction or a mount point stands for a file elsewhere, while other reparse points
// are the file itself with its data kept elsewhere. OneDrive marks every file of the Documents
// and Desktop folders it syncs so, and the game is unpacked there.
inline bool isPlainFileHere(DWORD attributes, DWORD reparseTag) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return false;
    return !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !IsReparseTagNameSurrogate(reparseTag);
}

// The same as isPlainFileOrNothing, but a link is refused too (a symbolic link; on Windows a
// junction or a mount point as well): a file the program empties at every start must not empty
// a file elsewhere.
inline bool isPlainFileHereOrNothing(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    DWORD tag = 0;
    // A reparse point whose kind cannot be told is taken for a link.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !plainfile::reparseTag(name, tag))
        return false;
    return isPlainFileHere(attributes, tag);
}
