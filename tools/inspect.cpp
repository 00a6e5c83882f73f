// pelmora-inspect: prints the headers, chunks and glyph table of ".glt" textures, ".glf" fonts
// and chunk files, and ends each file with one verdict line: whether the engine loads it, and if
// not, why. The verdict is the engine's own reader's (resources/formats), so the two never
// disagree; what the engine loads but looks suspicious is a warning, which changes no verdict.
// Exit status: 0 every file loads, 1 a file is refused or unreadable, 2 usage error.
#include "ToolSupport.h"

#include "resources/formats/GlfFormat.h"
#include "resources/formats/GltFormat.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>

namespace {

const char* const Help =
    "Prints .glt textures, .glf fonts and chunk files and says whether the engine loads each.\n"
    "The kind of file follows the extension, else the magic. Only a load can tell whether the\n"
    "driver takes an upload (a side beyond its maximum texture size, for one).\n\n"
    "  --brief  leave out the chunk list and the glyph table\n"
    "  --help, --version\n"
    "Exit status: 0 every file loads, 1 a file is refused or unreadable, 2 usage error.\n";

// Side beyond which many drivers refuse an upload.
constexpr uint32_t CommonMaxSide = 16384;

enum FileKind { KindTexture, KindFont, KindChunkFile, KindUnknown };

// What is printed about one file.
class Report {
public:
    Report(std::string file, bool brief) : file_(std::move(file)), brief_(brief) {}

    void info(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        line("", format, args);
        va_end(args);
    }
    // Left out under --brief.
    void detail(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        if (!brief_)
            line("", format, args);
        va_end(args);
    }
    void warning(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        line((file_ + ": warning: ").c_str(), format, args);
        va_end(args);
    }
    // The last line about the file.
    bool verdict(const formats::Verdict& verdict, const char* kind) {
        if (verdict)
            std::printf("OK: the engine loads this %s\n", kind);
        else
            std::printf("BROKEN: the engine refuses this %s: %s\n", kind, verdict.reason().c_str());
        return bool(verdict);
    }

private:
    static void line(const char* prefix, const char* format, va_list args) {
        std::fputs(prefix, stdout);
        std::vprintf(format, args);
        std::putchar('\n');
    }

    std::string file_;
    bool brief_;
};

std::string enumText(uint32_t value) {
    const char* name = formats::glEnumName(value);
    char text[64];
    std::snprintf(text, sizeof text, "%s (0x%04X)", name ? name : "unknown", value);
    return text;
}

bool inspectTexture(const Bytes& data, Report& report) {
    formats::MemorySource source(data);
    formats::GltFileHeader header;
    formats::GltImage image;
    formats::Verdict verdict = formats::readGlt(source, header, image);
    if (data.size() >= formats::GltFileHeaderSize)
        report.info("texture: version %u, target %s, format %s, type %s, wrap %s", header.version,
                    enumText(header.target).c_str(), enumText(header.format).c_str(),
                    enumText(header.type).c_str(), enumText(header.wrap).c_str());
    bool imageRead = data.size() >= formats::GltHeaderSize && header.target == formats::GlTexture2D;
    if (imageRead)
        report.info("image: %ux%u, dataSize %u", image.width, image.height, image.dataSize);
    if (verdict) {
        if (!isPowerOfTwo(image.width) || !isPowerOfTwo(image.height))
            report.warning("%ux%u is not a power-of-two size; OpenGL 1.1 refuses it", image.width,
                           image.height);
        if (image.width > CommonMaxSide || image.height > CommonMaxSide)
            report.warning("a side above %u pixels, which many drivers refuse", CommonMaxSide);
        const uint32_t wraps[] = {formats::GlRepeat, formats::GlClamp, formats::GlClampToEdge,
                                  formats::GlClampToBorder, formats::GlMirroredRepeat};
        if (std::find(std::begin(wraps), std::end(wraps), header.wrap) == std::end(wraps))
            report.warning("OpenGL ignores wrap %s; the texture keeps GL_REPEAT",
                           enumText(header.wrap).c_str());
        int64_t needed =
            formats::gltPixelBytes(header.format, header.type, image.width, image.height);
        if (int64_t(image.dataSize) > needed)
            report.warning("dataSize %u is more than the %lld bytes the image needs",
                           image.dataSize, (long long)needed);
        uint64_t after = data.size() - formats::GltHeaderSize - image.dataSize;
        if (after > 0)
            report.warning("%llu bytes after the pixel data are not read",
                           (unsigned long long)after);
    }
    return report.verdict(verdict, "texture");
}

void listChunks(const std::vector<formats::Chunk>& chunks, Report& report) {
    for (size_t i = 0; i < chunks.size(); ++i)
        report.detail("  chunk %zu: %s index %u, %u bytes", i + 1,
                      formats::fourCCText(chunks[i].type).c_str(), chunks[i].index, chunks[i].size);
}

void printChunkHeader(const formats::ChunkHeader& header, const char* kind, Report& report) {
    std::string name = header.name.substr(0, header.name.find('\0'));
    report.info("%s: name \"%s\", version \"%s\", %u chunks, table at %u", kind, name.c_str(),
                formats::fourCCText(header.version).c_str(), header.chunkCount, header.tableOffset);
    if (header.version != formats::ChunkVersion)
        report.warning("version \"%s\" is not \"0.1 \"; the engine does not check it",
                       formats::fourCCText(header.version).c_str());
}

void inspectGlyphs(const formats::GlfFile& font, Report& report) {
    const formats::Chunk& table = *font.glyphs;
    uint32_t count = formats::glyphRecordCount(table);
    report.info("glyphs: %u records", count);
    if (table.size % formats::GlfGlyphRecordSize)
        report.warning("CHRS size %u is not a multiple of %zu: the last %zu bytes are ignored",
                       table.size, formats::GlfGlyphRecordSize,
                       table.size % formats::GlfGlyphRecordSize);
    if (count == 0)
        report.warning("CHRS holds no glyph records: the font draws nothing");
    report.detail("  code    x    y    w    h  xOff  yOff  adv");
    std::set<uint32_t> seen;
    for (uint32_t i = 0; i < count; ++i) {
        formats::GlyphRecord r = formats::readGlyphRecord(table, i);
        report.detail("  0x%02X %4u %4u %4u %4u %5d %5d %4d", r.code, r.x, r.y, r.w, r.h, r.xOffset,
                      r.yOffset, r.advance);
        if (r.code >= formats::GlfGlyphCount) {
            report.warning("record %u has code %u, beyond the %u-entry glyph table; it is "
                           "skipped",
                           i, r.code, formats::GlfGlyphCount);
            continue;
        }
        if (!seen.insert(r.code).second)
            report.warning("code 0x%02X has more than one record; the last one counts", r.code);
        if (uint64_t(r.x) + r.w > font.image.width || uint64_t(r.y) + r.h > font.image.height)
            report.warning("glyph 0x%02X at (%u, %u) size %ux%u reaches outside the %ux%u image",
                           r.code, r.x, r.y, r.w, r.h, font.image.width, font.image.height);
        if (int64_t(r.xOffset) + r.w < 0 || int64_t(r.yOffset) + r.h < 0)
            report.warning("glyph 0x%02X has offsets (%d, %d) that put its far corner above or "
                           "left of the pen",
                           r.code, r.xOffset, r.yOffset);
    }
}

bool inspectFont(const Bytes& data, Report& report) {
    formats::MemorySource source(data);
    formats::GlfFile font;
    formats::Verdict verdict = formats::readGlf(source, font);
    if (data.size() >= formats::ChunkHeaderSize) {
        printChunkHeader(font.header, "font file", report);
        if (font.header.magic != formats::GlfMagic)
            report.warning("magic \"%s\" is not GLFv; the engine does not check it",
                           formats::fourCCText(font.header.magic).c_str());
    }
    if (data.size() >= formats::ChunkHeaderSize + formats::GlfExtensionSize)
        report.info("unitSize %u", font.extension.unitSize);
    listChunks(font.chunks, report);
    if (font.image.pixels != nullptr) {
        report.info("image: %ux%u, 8-bit alpha", font.image.width, font.image.height);
        if (!isPowerOfTwo(font.image.width) || !isPowerOfTwo(font.image.height))
            report.warning("image %ux%u does not have power-of-two sides; OpenGL 1.1 refuses it",
                           font.image.width, font.image.height);
    }
    if (font.glyphs != nullptr)
        inspectGlyphs(font, report);
    return report.verdict(verdict, "font");
}

bool inspectChunkFile(const Bytes& data, Report& report) {
    formats::MemorySource source(data);
    formats::ChunkHeader header;
    std::vector<formats::Chunk> chunks;
    formats::Verdict verdict = formats::readChunkHeader(source, header);
    if (verdict) {
        printChunkHeader(header, "chunk file", report);
        verdict = formats::readChunks(source, header, chunks);
    }
    listChunks(chunks, report);
    return report.verdict(verdict, "chunk file");
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

FileKind kindOf(const std::string& path, const Bytes& data) {
    if (endsWith(path, ".glt"))
        return KindTexture;
    if (endsWith(path, ".glf"))
        return KindFont;
    uint32_t magic = data.size() >= 4 ? formats::readLE32(data.data()) : 0;
    if (magic == formats::GltMagic)
        return KindTexture;
    if (magic == formats::GlfMagic)
        return KindFont;
    if (magic == formats::ChunkMagicPlain)
        return KindChunkFile;
    return KindUnknown;
}

bool inspectFile(const std::string& path, bool brief) {
    Report report(path, brief);
    std::printf("%s\n", path.c_str());
    Bytes data;
    std::string error;
    if (!readFile(path, data, error))
        return report.verdict(formats::Verdict::refuse("%s", error.c_str()), "file");
    switch (kindOf(path, data)) {
    case KindTexture:
        return inspectTexture(data, report);
    case KindFont:
        return inspectFont(data, report);
    case KindChunkFile:
        return inspectChunkFile(data, report);
    default:
        if (data.size() < 4)
            return report.verdict(formats::Verdict::refuse("%zu bytes: too short to tell what "
                                                           "kind of file it is",
                                                           data.size()),
                                  "file");
        return report.verdict(
            formats::Verdict::refuse("not named .glt or .glf, and the magic \"%s\" is none of "
                                     "GLTF (texture), GLFv (font), GCFv (chunk file)",
                                     formats::fourCCText(formats::readLE32(data.data())).c_str()),
            "file");
    }
}

int inspect(int argc, char** argv) {
    CommandLine line("pelmora-inspect", "[--brief] file...", Help, {{"--brief", false}});
    int exitCode = 0;
    if (!line.parse(argc, argv, exitCode))
        return exitCode;
    if (line.operands().empty())
        return line.usageError("no file given");
    bool loads = true;
    for (const std::string& file : line.operands())
        loads = inspectFile(file, line.has("--brief")) && loads;
    return loads ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("pelmora-inspect", inspect, argc, argv);
}
