// The ".glf" bitmap font file: a chunk file with the magic "GLFv" and a 12-byte header
// extension whose first field is the font's unit size.
#pragma once

#include "resources/ChunkFile.h"

class FontFile : public ChunkFile {
public:
    static constexpr uint32_t MagicFont = fourCC('G', 'L', 'F', 'v');
    static constexpr uint32_t ChunkImage = fourCC('F', 'B', 'I', 'T');
    static constexpr uint32_t ChunkGlyphs = fourCC('C', 'H', 'R', 'S');

    FontFile();

    bool isValid() const override { return magic_ == MagicFont; }
    // Fails when the stream delivers fewer than the extension's 12 bytes.
    bool readExtraHeader(Stream& stream) override;
    bool writeExtraHeader(Stream& stream) override;
    int32_t extraHeaderSize() const override { return 12; }

    uint32_t getUnitSize() const { return unitSize_; }

private:
    uint32_t unitSize_ = 0;
    uint32_t reserved1_ = 0;
    uint32_t reserved2_ = 0;
};
