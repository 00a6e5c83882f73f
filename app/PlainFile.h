// Whether a name the program opens is a file to open: a pipe without a partner in a file's place
// would hold the program in open() forever, and a directory or device is no file to read or
// write either; a link stands for a file elsewhere.
#pragma once

#include "platform/platform.h"

// True when nothing stands at the name, or a plain file does (through a link, too).
inline bool isPlainFileOrNothing(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes == INVALID_FILE_ATTRIBUTES ||
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
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
