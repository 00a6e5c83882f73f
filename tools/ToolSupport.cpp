// Files, numbers and the command line of the asset tools.
#include "ToolSupport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <sys/stat.h>

bool readFile(const std::string& path, Bytes& out, std::string& error) {
    // Only files: a pipe without a writer would hold the tool forever, and a device such as
    // /dev/zero never ends.
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "cannot read " + path + ": not a regular file";
        return false;
    }
    if (uint64_t(info.st_size) > MaxInputBytes) {
        error = "cannot read " + path + ": larger than the " + std::to_string(MaxInputBytes >> 30) +
                " GiB the tools read";
        return false;
    }
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
    int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) {
        error = "cannot read " + path + ": " + std::strerror(readError);
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
    int writeError = ok ? 0 : errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        writeError = errno;
    }
    if (!ok) {
        error = "cannot write " + path + ": " + std::strerror(writeError);
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

CommandLine::CommandLine(std::string tool, std::string usage, std::string help,
                         std::vector<ToolOption> options)
    : tool_(std::move(tool)), usage_(std::move(usage)), help_(std::move(help)),
      options_(std::move(options)) {}

bool CommandLine::parse(int argc, char** argv, int& exitCode) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            std::printf("usage: %s %s\n\n%s", tool_.c_str(), usage_.c_str(), help_.c_str());
            exitCode = 0;
            return false;
        }
        if (arg == "--version") {
            std::printf("%s %s\n", tool_.c_str(), PELMORA_VERSION);
            exitCode = 0;
            return false;
        }
        size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        const ToolOption* option = nullptr;
        for (const ToolOption& known : options_)
            if (known.name == name)
                option = &known;
        if (option == nullptr) {
            exitCode = usageError("unknown option " + name);
            return false;
        }
        if (!option->takesValue) {
            if (equals != std::string::npos) {
                exitCode = usageError(name + " takes no value");
                return false;
            }
            values_[name] = "";
        } else if (equals != std::string::npos) {
            values_[name] = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            values_[name] = argv[++i];
        } else {
            exitCode = usageError(name + " needs a value");
            return false;
        }
    }
    return true;
}

std::string CommandLine::value(const std::string& option, const std::string& fallback) const {
    auto found = values_.find(option);
    return found == values_.end() ? fallback : found->second;
}

int CommandLine::fail(const std::string& message) const {
    std::fprintf(stderr, "%s: %s\n", tool_.c_str(), message.c_str());
    return 1;
}

int CommandLine::usageError(const std::string& message) const {
    std::fprintf(stderr, "%s: %s\nusage: %s %s\n", tool_.c_str(), message.c_str(), tool_.c_str(),
                 usage_.c_str());
    return 2;
}

void CommandLine::warn(const std::string& message) const {
    std::fprintf(stderr, "%s: warning: %s\n", tool_.c_str(), message.c_str());
}

int runTool(const char* tool, int (*body)(int argc, char** argv), int argc, char** argv) {
    try {
        return body(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", tool);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", tool, error.what());
    }
    return 1;
}
