// The ".glf" extension, glyph image and glyph records: the checks the font loader makes, and the
// writers.
#include "resources/formats/GlfFormat.h"

namespace formats {

Verdict readGlfExtension(ByteSource& source, GlfExtension& extension) {
    return readWordBlock(source, "font header extension",
                         {&extension.unitSize, &extension.reserved1, &extension.reserved2});
}

Verdict readGlfImage(const std::vector<Chunk>& chunks, GlfImage& image) {
    const Chunk* chunk = findChunk(chunks, GlfChunkImage, 0);
    if (chunk == nullptr)
        return Verdict::refuse("no FBIT chunk with index 0: the font has no image");
    if (chunk->data.size() < GlfImageHeaderSize)
        return Verdict::refuse("FBIT chunk is %zu bytes, shorter than its %zu-byte header",
                               chunk->data.size(), GlfImageHeaderSize);
    uint32_t width = readLE32(chunk->data.data());
    uint32_t height = readLE32(chunk->data.data() + 4);
    if (width == 0 || height == 0)
        return Verdict::refuse("FBIT image is %ux%u: no pixels", width, height);
    // Rows are unpadded, so any other width would have OpenGL read past each row.
    if (width % GlfRowAlignment != 0)
        return Verdict::refuse("FBIT width %u is not a multiple of %u", width, GlfRowAlignment);
    uint64_t pixels = uint64_t(width) * height;
    if (pixels > chunk->data.size() - GlfImageHeaderSize)
        return Verdict::refuse("FBIT chunk is %zu bytes but a %ux%u image needs %llu",
                               chunk->data.size(), width, height,
                               (unsigned long long)(GlfImageHeaderSize + pixels));
    image.width = width;
    image.height = height;
    image.pixels = chunk->data.data() + GlfImageHeaderSize;
    return Verdict::accept();
}

Verdict checkGlfUnitSize(const GlfExtension& extension) {
    // Every metric is divided by it.
    if (extension.unitSize == 0)
        return Verdict::refuse("unitSize is 0: every glyph would be infinitely large");
    return Verdict::accept();
}

Verdict findGlfGlyphs(const std::vector<Chunk>& chunks, const Chunk*& glyphs) {
    glyphs = findChunk(chunks, GlfChunkGlyphs, 0);
    if (glyphs == nullptr)
        return Verdict::refuse("no CHRS chunk with index 0: the font has no glyph table");
    return Verdict::accept();
}

Verdict readGlf(ByteSource& source, GlfFile& file) {
    Verdict verdict = readChunkHeader(source, file.header);
    if (verdict)
        verdict = readGlfExtension(source, file.extension);
    if (verdict)
        verdict = readChunks(source, file.header, file.chunks);
    if (verdict)
        verdict = readGlfImage(file.chunks, file.image);
    if (verdict)
        verdict = checkGlfUnitSize(file.extension);
    if (verdict)
        verdict = findGlfGlyphs(file.chunks, file.glyphs);
    return verdict;
}

uint32_t glyphRecordCount(const Chunk& glyphs) {
    return uint32_t(glyphs.data.size() / GlfGlyphRecordSize);
}

GlyphRecord readGlyphRecord(const Chunk& glyphs, uint32_t i) {
    const uint8_t* bytes = glyphs.data.data() + size_t(i) * GlfGlyphRecordSize;
    GlyphRecord record;
    record.code = readLE32(bytes);
    record.x = readLE32(bytes + 4);
    record.y = readLE32(bytes + 8);
    record.w = readLE32(bytes + 12);
    record.h = readLE32(bytes + 16);
    record.xOffset = readLE32Signed(bytes + 20);
    record.yOffset = readLE32Signed(bytes + 24);
    record.advance = readLE32Signed(bytes + 28);
    return record;
}

Bytes writeGlfExtension(const GlfExtension& extension) {
    Bytes out;
    appendWords(out, {extension.unitSize, extension.reserved1, extension.reserved2});
    return out;
}

Bytes writeGlfImage(uint32_t width, uint32_t height, const Bytes& pixels) {
    Bytes out;
    appendWords(out, {width, height, 0u});
    appendBytes(out, pixels.data(), pixels.size());
    return out;
}

Bytes writeGlyphRecords(const std::vector<GlyphRecord>& records) {
    Bytes out;
    for (const GlyphRecord& r : records) {
        appendWords(out, {r.code, r.x, r.y, r.w, r.h});
        for (int32_t field : {r.xOffset, r.yOffset, r.advance})
            appendSigned32(out, field);
    }
    return out;
}

} // namespace formats
