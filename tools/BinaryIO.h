// Byte-level helpers shared by the asset tools: little-endian fields written and read one by
// one, whole-file reading and writing, and the tools' common error reporting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

void putU32(Bytes& out, uint32_t value);
void putI32(Bytes& out, int32_t value);
void putTag(Bytes& out, const char tag[4]);
void setU32(Bytes& out, size_t offset, uint32_t value);

// Reads at offset; the caller has checked that four bytes are there.
uint32_t getU32(const Bytes& in, size_t offset);
int32_t getI32(const Bytes& in, size_t offset);
std::string tagText(uint32_t tag);

bool readFile(const std::string& path, Bytes& out, std::string& error);
bool writeFile(const std::string& path, const Bytes& data, std::string& error);

bool isPowerOfTwo(uint32_t value);
uint32_t nextPowerOfTwo(uint32_t value);

// Parses a whole decimal number into [low, high]; false for anything else.
bool parseNumber(const std::string& text, long low, long high, long& value);
