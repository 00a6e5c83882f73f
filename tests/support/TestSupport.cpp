// The test programs' main: working-directory isolation around GoogleTest's run, and the helpers
// that read back what the engine wrote there.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Death tests re-run the program for one statement; the child finds its parent's directory here.
const char* const WorkDirectoryVariable = "PELMORA_TEST_WORK_DIR";

std::string workDirectoryPath;
pid_t owner = 0;

void removeWorkDirectory() {
    // A child forked by a death test shares this handler but not the directory's lifetime.
    if (getpid() != owner)
        return;
    std::error_code ignored;
    fs::current_path(fs::path(workDirectoryPath).parent_path(), ignored);
    fs::remove_all(workDirectoryPath, ignored);
}

// Makes a fresh directory under the build tree (never in /tmp, so that nothing a crashed test
// leaves behind outlives the build) and moves into it; a death-test child joins its parent's.
void enterWorkDirectory(const char* program) {
    if (const char* inherited = std::getenv(WorkDirectoryVariable)) {
        workDirectoryPath = inherited;
    } else {
        const fs::path base = fs::path(PELMORA_BINARY_DIR) / "tests" / "work";
        fs::create_directories(base);
        std::string pattern = (base / (fs::path(program).filename().string() + ".XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror(pattern.c_str());
            std::exit(EXIT_FAILURE);
        }
        workDirectoryPath = pattern;
        owner = getpid();
        setenv(WorkDirectoryVariable, workDirectoryPath.c_str(), 1);
        std::atexit(removeWorkDirectory);
    }
    fs::current_path(workDirectoryPath);
}

} // namespace

namespace testsupport {

const std::string& workDirectory() {
    return workDirectoryPath;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> logLines() {
    std::ifstream in("pelmora.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string lastLogLine() {
    const std::vector<std::string> lines = logLines();
    return lines.empty() ? std::string() : lines.back();
}

} // namespace testsupport

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A forked child of a process with a live GL context (and its driver threads) can hang: death
    // tests re-run the program for their statement instead, which also gives them fresh
    // singletons.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (!GTEST_FLAG_GET(list_tests))
        enterWorkDirectory(argv[0]);
    return RUN_ALL_TESTS();
}
