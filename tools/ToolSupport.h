// What the asset tools share beyond the file formats: whole-file reading and writing with the
// system's reason for a failure, the command line ("--option value", "--option=value", "--"
// ending the options, --help and --version), and the rule that a tool never aborts: every
// failure ends with one message and status 1, a usage error with status 2.
#pragma once

#include "resources/formats/Bytes.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using formats::Bytes;

// The largest input the tools read: more than any texture or font the engine takes in.
constexpr uint64_t MaxInputBytes = uint64_t(1) << 30;

// "cannot open PATH: No such file or directory" and the like; anything but a regular file of at
// most MaxInputBytes is refused.
bool readFile(const std::string& path, Bytes& out, std::string& error);
// Writes the whole file or, on failure, removes what was written.
bool writeFile(const std::string& path, const Bytes& data, std::string& error);

bool isPowerOfTwo(uint32_t value);
uint32_t nextPowerOfTwo(uint32_t value);
// Parses a whole decimal number into [low, high]; false for anything else.
bool parseNumber(const std::string& text, long low, long high, long& value);

struct ToolOption {
    std::string name; // with its dashes: "--wrap"
    bool takesValue;
};

class CommandLine {
public:
    // usage: the one-line synopsis after "usage: "; help: the text --help prints after it.
    CommandLine(std::string tool, std::string usage, std::string help,
                std::vector<ToolOption> options);

    // False when the run ends here; exitCode then says how (0 after --help or --version, 2 after
    // a usage error, which has been reported).
    bool parse(int argc, char** argv, int& exitCode);

    bool has(const std::string& option) const { return values_.count(option) != 0; }
    std::string value(const std::string& option, const std::string& fallback = "") const;
    const std::vector<std::string>& operands() const { return operands_; }

    // Each prints "<tool>: <message>" on standard error and answers the exit status.
    int fail(const std::string& message) const;
    int usageError(const std::string& message) const;
    void warn(const std::string& message) const;

private:
    std::string tool_;
    std::string usage_;
    std::string help_;
    std::vector<ToolOption> options_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> operands_;
};

// Runs a tool's body and turns anything it throws (memory exhaustion above all) into a message
// and status 1, so that no input makes a tool abort.
int runTool(const char* tool, int (*body)(int argc, char** argv), int argc, char** argv);
