// What every Pelmora test program shares: the working directory that isolates each test process,
// and writing and reading back the files the engine reads and writes there.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

// The directory this process works in: made for it by the test programs' main and removed when
// the process ends. The engine's "pelmora.log" and "pelmora.conf" live here, so every case
// starts without either (each case runs in a process of its own).
const std::string& workDirectory();

// A run directory for the game in the working directory, holding a copy of the built game's
// textures and data unless asked otherwise; answers its path.
std::string makeRunDirectory(const std::string& name, bool withData = true);

// The whole file as bytes (a string, or a vector of bytes); empty when it cannot be read.
template <class Bytes = std::string> Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes or empties the file and writes the bytes to it.
inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// The lines of "pelmora.log" in a directory (the working directory unless named), without the
// carriage returns of the Windows build's, and the last of them.
std::vector<std::string> logLines(const std::string& directory = ".");
std::string lastLogLine();

// Expects a resource's load (Texture::load, Font::load) to refuse the name: no resource, and
// "<kind> id=<name> load failed" as the last line of the log.
template <class Load, class Name>
void expectRefused(Load load, const char* kind, const Name& name) {
    EXPECT_EQ(load(name), nullptr);
    EXPECT_EQ(lastLogLine(), std::string(kind) + " id=" + Name(name).cStr() + " load failed");
}

} // namespace testsupport
