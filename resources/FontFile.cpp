// FontFile: the ".glf" kind of chunk file and its header extension.
#include "resources/FontFile.h"
#include "resources/Stream.h"

FontFile::FontFile() {
    magic_ = MagicFont;
}

bool FontFile::readExtraHeader(Stream& stream) {
    uint8_t bytes[12];
    if (!readFully(stream, bytes, 12))
        return false;
    unitSize_ = readLE32(bytes);
    reserved1_ = readLE32(bytes + 4);
    reserved2_ = readLE32(bytes + 8);
    return true;
}

bool FontFile::writeExtraHeader(Stream& stream) {
    uint8_t bytes[12];
    writeLE32(bytes, unitSize_);
    writeLE32(bytes + 4, reserved1_);
    writeLE32(bytes + 8, reserved2_);
    return stream.write(bytes, 12) == 12;
}
