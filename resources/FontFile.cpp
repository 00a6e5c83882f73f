// FontFile: the ".glf" kind of chunk file and its header extension.
#include "resources/FontFile.h"
#include "resources/Stream.h"

FontFile::FontFile() {
    magic_ = formats::GlfMagic;
}

bool FontFile::readExtraHeader(Stream& stream) {
    StreamSource source(stream);
    return bool(formats::readGlfExtension(source, extension_));
}

bool FontFile::writeExtraHeader(Stream& stream) {
    formats::Bytes bytes = formats::writeGlfExtension(extension_);
    return stream.write(bytes.data(), int32_t(bytes.size())) == int32_t(bytes.size());
}
