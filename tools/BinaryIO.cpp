// Little-endian field access and file helpers for the asset tools.
#include "BinaryIO.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void putU32(Bytes& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void putI32(Bytes& out, int32_t value) {
    putU32(out, static_cast<uint32_t>(value));
}

void putTag(Bytes& out, const char tag[4]) {
    out.insert(out.end(), tag, tag + 4);
}

void setU32(Bytes& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t getU32(const Bytes& in, size_t offset) {
    return static_cast<uint32_t>(in[offset]) | static_cast<uint32_t>(in[offset + 1]) << 8 |
           static_cast<uint32_t>(in[offset + 2]) << 16 |
           static_cast<uint32_t>(in[offset + 3]) << 24;
}

int32_t getI32(const Bytes& in, size_t offset) {
    return static_cast<int32_t>(getU32(in, offset));
}

std::string tagText(uint32_t tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        unsigned char c = static_cast<unsigned char>(tag >> (8 * i));
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

bool readFile(const std::string& path, Bytes& out, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    out.clear();
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        out.insert(out.end(), block, block + got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool writeFile(const std::string& path, const Bytes& data, std::string& error) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), file) == data.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path;
        std::remove(path.c_str());
    }
    return ok;
}

bool isPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

uint32_t nextPowerOfTwo(uint32_t value) {
    uint32_t result = 1;
    while (result < value && result < 0x80000000u)
        result <<= 1;
    return result;
}

bool parseNumber(const std::string& text, long low, long high, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}
