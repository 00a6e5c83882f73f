// The ".glf" bitmap font file: a chunk file with the magic "GLFv" and a 12-byte header
// extension whose first field is the font's unit size (resources/formats/GlfFormat.h).
#pragma once

#include "resources/ChunkFile.h"
#include "resources/formats/GlfFormat.h"

class FontFile : public ChunkFile {
public:
    FontFile();

    bool isValid() const override { return magic_ == formats::GlfMagic; }
    // Fails when the stream delivers fewer than the extension's 12 bytes.
    bool readExtraHeader(Stream& stream) override;
    bool writeExtraHeader(Stream& stream) override;
    int32_t extraHeaderSize() const override { return int32_t(formats::GlfExtensionSize); }

    const formats::GlfExtension& getExtension() const { return extension_; }
    uint32_t getUnitSize() const { return extension_.unitSize; }

private:
    formats::GlfExtension extension_;
};
