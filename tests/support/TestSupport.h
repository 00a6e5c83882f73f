// What every Pelmora test program shares: the working directory that isolates each test process,
// and reading back the files the engine writes there.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// The directory this process works in: made for it by the test programs' main and removed when
// the process ends. The engine's "pelmora.log" and "pelmora.conf" live here, so every case
// starts without either (each case runs in a process of its own).
const std::string& workDirectory();

// The whole file as bytes; empty when it cannot be read.
std::string readFile(const std::string& path);

// The lines of "pelmora.log" in the working directory, and the last of them.
std::vector<std::string> logLines();
std::string lastLogLine();

} // namespace testsupport
