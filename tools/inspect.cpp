// pelmora-inspect: prints the headers, chunks and glyph table of ".glt" textures, chunk files
// and ".glf" fonts, and names every fault that would make the engine refuse or misread one.
// Exit status: 0 sound, 1 broken (or unreadable), 2 usage error.
#include "BinaryIO.h"
#include "ChunkFileWriter.h"
#include "GltFormat.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <string>

namespace {

const char* usage = "usage: pelmora-inspect [--brief] file...\n";

// Collects what is printed about one file and whether a fault was found.
class Report {
public:
    explicit Report(bool brief) : brief(brief) {}

    void info(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        std::vprintf(format, args);
        va_end(args);
        std::printf("\n");
    }
    void detail(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (brief)
            return;
        va_list args;
        va_start(args, format);
        std::vprintf(format, args);
        va_end(args);
        std::printf("\n");
    }
    void fault(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        broken = true;
        va_list args;
        va_start(args, format);
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        std::fflush(stdout);
        std::fprintf(stderr, "%s: error: %s\n", file.c_str(), text);
        std::fflush(stderr);
    }
    void warning(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        std::fflush(stdout);
        std::fprintf(stderr, "%s: warning: %s\n", file.c_str(), text);
        std::fflush(stderr);
    }

    std::string file;
    bool brief;
    bool broken = false;
};

void inspectGlt(const Bytes& data, Report& report) {
    uint64_t size = data.size();
    if (size < GltHeaderSize) {
        report.fault("file is %llu bytes, shorter than the %u-byte texture header",
                     (unsigned long long)size, (unsigned)GltHeaderSize);
        return;
    }
    uint32_t version = getU32(data, 4), target = getU32(data, 12), format = getU32(data, 16);
    uint32_t type = getU32(data, 20), wrap = getU32(data, 24), dataSize = getU32(data, 32);
    uint32_t width = getU32(data, 36), height = getU32(data, 40);
    report.info("texture: %ux%u, format %s (0x%04X), type %s (0x%04X), wrap %s (0x%04X), "
                "dataSize %u",
                width, height, gltEnumName(format), format, gltEnumName(type), type,
                gltEnumName(wrap), wrap, dataSize);
    report.detail("  version %u, target %s (0x%04X)", version, gltEnumName(target), target);

    if (version > GltVersion)
        report.fault("version %u is newer than %u", version, (unsigned)GltVersion);
    if (target != GltTexture2D)
        report.fault("target 0x%04X is not GL_TEXTURE_2D (0x0DE1)", target);
    if (wrap != GltRepeat && wrap != GltClamp && wrap != GltClampToEdge)
        report.fault("wrap 0x%04X is not GL_REPEAT, GL_CLAMP or GL_CLAMP_TO_EDGE", wrap);
    if (width == 0 || height == 0)
        report.fault("image is %ux%u: no pixels", width, height);
    else if (!isPowerOfTwo(width) || !isPowerOfTwo(height))
        report.warning("%ux%u is not a power-of-two size; OpenGL 1.1 rejects level 0", width,
                       height);

    uint64_t available = size - GltHeaderSize;
    if (dataSize > available)
        report.fault("dataSize %u but only %llu bytes follow the header", dataSize,
                     (unsigned long long)available);
    else if (dataSize < available)
        report.warning("%llu bytes after the pixel data are not read",
                       (unsigned long long)(available - dataSize));

    uint32_t bytesPerPixel = gltBytesPerPixel(format);
    if (bytesPerPixel == 0) {
        report.fault("pixel format 0x%04X is not one OpenGL uploads as 8-bit pixels", format);
    } else if (type != GltUnsignedByte) {
        report.warning("type 0x%04X: pixel data size not checked", type);
    } else {
        uint64_t stride = gltRowStride(width, bytesPerPixel);
        uint64_t needed = stride * height;
        if (dataSize < needed)
            report.fault("dataSize %u is less than the %llu bytes a %ux%u %s image needs (rows of "
                         "%llu bytes, padded to 4)",
                         dataSize, (unsigned long long)needed, width, height, gltEnumName(format),
                         (unsigned long long)stride);
        else if (dataSize > needed)
            report.warning("dataSize %u is more than the %llu bytes the image needs", dataSize,
                           (unsigned long long)needed);
    }
}

struct ChunkEntry {
    uint32_t type, index, offset, size;
    bool inside;
};

void inspectFontChunks(const Bytes& data, const std::map<uint64_t, ChunkEntry>& found,
                       Report& report) {
    auto image = found.find(uint64_t(ChunkTypeFontImage) << 32);
    auto table = found.find(uint64_t(ChunkTypeGlyphs) << 32);
    uint32_t width = 0, height = 0;
    bool imageSound = false;
    if (image == found.end()) {
        report.fault("no FBIT chunk with index 0: the font has no image");
    } else if (image->second.inside) {
        const ChunkEntry& chunk = image->second;
        if (chunk.size < 12) {
            report.fault("FBIT chunk is %u bytes, shorter than its 12-byte header", chunk.size);
        } else {
            width = getU32(data, chunk.offset);
            height = getU32(data, chunk.offset + 4);
            report.info("image: %ux%u, 8-bit alpha", width, height);
            imageSound = true;
            if (width == 0 || height == 0) {
                report.fault("FBIT image is %ux%u: no pixels", width, height);
                imageSound = false;
            }
            if (width % 4 != 0)
                report.fault("FBIT width %u is not a multiple of 4", width);
            if (width && height && (!isPowerOfTwo(width) || !isPowerOfTwo(height)))
                report.fault("FBIT image %ux%u does not have power-of-two sides", width, height);
            uint64_t needed = 12 + uint64_t(width) * height;
            if (needed > chunk.size) {
                report.fault("FBIT chunk is %u bytes but a %ux%u image needs %llu", chunk.size,
                             width, height, (unsigned long long)needed);
                imageSound = false;
            }
        }
    }

    if (table == found.end()) {
        report.fault("no CHRS chunk with index 0: the font has no glyph table");
        return;
    }
    if (!table->second.inside)
        return;
    const ChunkEntry& chunk = table->second;
    uint32_t count = chunk.size / GlyphRecordSize;
    if (chunk.size % GlyphRecordSize)
        report.warning("CHRS size %u is not a multiple of %u: the last %u bytes are ignored",
                       chunk.size, (unsigned)GlyphRecordSize, chunk.size % GlyphRecordSize);
    if (count == 0)
        report.fault("CHRS holds no glyph records");
    report.info("glyphs: %u records", count);
    report.detail("  code    x    y    w    h  xOff  yOff  adv");
    std::map<uint32_t, int> seen;
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = chunk.offset + size_t(i) * GlyphRecordSize;
        uint32_t code = getU32(data, at), x = getU32(data, at + 4), y = getU32(data, at + 8);
        uint32_t w = getU32(data, at + 12), h = getU32(data, at + 16);
        int32_t xOffset = getI32(data, at + 20), yOffset = getI32(data, at + 24);
        int32_t advance = getI32(data, at + 28);
        report.detail("  0x%02X %4u %4u %4u %4u %5d %5d %4d", code, x, y, w, h, xOffset, yOffset,
                      advance);
        if (code > 255) {
            report.fault("glyph record %u has code %u, beyond the 256-entry glyph table", i, code);
            continue;
        }
        if (++seen[code] == 2)
            report.warning("code 0x%02X has more than one record; the last one counts", code);
        if (imageSound && (uint64_t(x) + w > width || uint64_t(y) + h > height))
            report.fault("glyph 0x%02X at (%u, %u) size %ux%u lies outside the %ux%u image", code,
                         x, y, w, h, width, height);
        if (int64_t(xOffset) + w < 0 || int64_t(yOffset) + h < 0)
            report.fault("glyph 0x%02X has offsets (%d, %d) that put its far corner below zero",
                         code, xOffset, yOffset);
    }
}

void inspectChunkFile(const Bytes& data, bool font, Report& report) {
    uint64_t size = data.size();
    uint32_t extension = font ? uint32_t(ChunkFontExtensionSize) : 0u;
    uint32_t headerSize = ChunkHeaderSize + extension;
    if (size < headerSize) {
        report.fault("file is %llu bytes, shorter than the %u-byte %s header",
                     (unsigned long long)size, headerSize, font ? "font file" : "chunk-file");
        return;
    }
    uint32_t version = getU32(data, 4);
    std::string name(reinterpret_cast<const char*>(&data[8]), ChunkNameSize);
    name = name.substr(0, name.find('\0'));
    uint32_t tableOffset = getU32(data, 40), chunkCount = getU32(data, 44);
    report.info("%s: name \"%s\", version \"%s\", %u chunks, table at %u",
                font ? "font file" : "chunk file", name.c_str(), tagText(version).c_str(),
                chunkCount, tableOffset);
    if (version != ChunkVersion)
        report.warning("version \"%s\" is not \"0.1 \"", tagText(version).c_str());
    if (font) {
        uint32_t unitSize = getU32(data, 48);
        report.info("unitSize %u", unitSize);
        if (unitSize == 0)
            report.fault("unitSize is 0: every glyph would be infinitely large");
    }

    uint64_t tableEnd = uint64_t(tableOffset) + uint64_t(chunkCount) * ChunkEntrySize;
    if (tableEnd > size) {
        report.fault("chunk table at %u+%llu runs past the end of the %llu-byte file", tableOffset,
                     (unsigned long long)(tableEnd - tableOffset), (unsigned long long)size);
        return;
    }
    if (chunkCount && tableOffset < headerSize)
        report.fault("chunk table at %u overlaps the %u-byte header", tableOffset, headerSize);

    std::map<uint64_t, ChunkEntry> found;
    for (uint32_t i = 0; i < chunkCount; ++i) {
        size_t at = tableOffset + size_t(i) * ChunkEntrySize;
        ChunkEntry entry{getU32(data, at), getU32(data, at + 4), getU32(data, at + 8),
                         getU32(data, at + 12), true};
        report.detail("  chunk %u: %s index %u, data at %u, %u bytes", i + 1,
                      tagText(entry.type).c_str(), entry.index, entry.offset, entry.size);
        if (uint64_t(entry.offset) + entry.size > size) {
            report.fault("chunk %u (%s) data at %u+%u runs past the end of the %llu-byte file",
                         i + 1, tagText(entry.type).c_str(), entry.offset, entry.size,
                         (unsigned long long)size);
            entry.inside = false;
        }
        uint64_t key = uint64_t(entry.type) << 32 | entry.index;
        if (!found.count(key))
            found[key] = entry;
    }
    if (font)
        inspectFontChunks(data, found, report);
}

bool inspectFile(const std::string& path, bool brief) {
    Report report(brief);
    report.file = path;
    Bytes data;
    std::string error;
    std::printf("%s\n", path.c_str());
    if (!readFile(path, data, error)) {
        report.fault("%s", error.c_str());
        return false;
    }
    if (data.size() < 4) {
        report.fault("file is %zu bytes: too short to hold a magic", data.size());
        return false;
    }
    uint32_t magic = getU32(data, 0);
    if (magic == GltMagic)
        inspectGlt(data, report);
    else if (magic == ChunkMagicFont)
        inspectChunkFile(data, true, report);
    else if (magic == ChunkMagicPlain)
        inspectChunkFile(data, false, report);
    else
        report.fault("bad magic \"%s\": not GLTF (texture), GLFv (font) or GCFv (chunk file)",
                     tagText(magic).c_str());
    std::printf("%s\n", report.broken ? "BROKEN" : "OK");
    return !report.broken;
}

} // namespace

int main(int argc, char** argv) {
    bool brief = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("%s", usage);
            std::printf("\nPrints and checks .glt textures, .glf fonts and chunk files.\n"
                        "  --brief  leave out the chunk list and the glyph table\n"
                        "Exit status: 0 every file is sound, 1 a file is broken, 2 usage error.\n");
            return 0;
        }
        if (arg == "--brief")
            brief = true;
        else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "pelmora-inspect: unknown option %s\n%s", arg.c_str(), usage);
            return 2;
        } else
            files.push_back(arg);
    }
    if (files.empty()) {
        std::fprintf(stderr, "pelmora-inspect: no file given\n%s", usage);
        return 2;
    }
    bool sound = true;
    for (const std::string& file : files)
        sound = inspectFile(file, brief) && sound;
    return sound ? 0 : 1;
}
