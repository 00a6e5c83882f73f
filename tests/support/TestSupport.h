// What every Pelmora test program shares: the working directory that isolates each test process,
// writing and reading back the files the engine reads and writes there, and the files of other
// builds that a program needs.
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

// The exit status that ctest reports as a skipped test (SKIP_RETURN_CODE), as tests/skip.sh's.
constexpr int SkipStatus = 77;

// A file that every case of the program needs and another build makes (the web preset's page,
// say), declared at namespace scope with how to make it. The program checks each before its
// first case: when one is missing it runs no case, says why and how to make it, and exits with
// SkipStatus, noting the reason for ctest's closing note (PELMORA_TEST_SKIPS); under CI=true it
// fails instead, so that CI never passes without the case.
struct BuiltElsewhere {
    BuiltElsewhere(std::string path, std::string howToMake);
};

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
