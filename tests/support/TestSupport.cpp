// The test programs' main: every case in a process of its own and a fresh working directory
// around GoogleTest's run, on the tests' X server and only with the other builds' files it
// needs; and the helpers that read back what the engine wrote there.
#include "tests/support/TestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

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

// Runs this program again with the given arguments and answers its exit status; with `output`,
// what it wrote to standard output.
int runAgain(const std::vector<std::string>& arguments, std::string* output = nullptr) {
    testsupport::ChildProcess::Options options;
    options.program = "/proc/self/exe";
    options.output = output != nullptr;
    testsupport::ChildProcess child(arguments, options);
    if (output != nullptr)
        *output = child.readAll();
    return child.started() ? child.wait() : 127;
}

// The full names of the cases the arguments select, from the program's own listing.
std::vector<std::string> selectedCases(std::vector<std::string> arguments) {
    arguments.push_back("--gtest_list_tests");
    std::string listing;
    runAgain(arguments, &listing);
    std::vector<std::string> cases;
    std::string suite;
    size_t start = 0;
    for (size_t end; (end = listing.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = listing.substr(start, end - start);
        line = line.substr(0, line.find('#'));
        line.erase(line.find_last_not_of(' ') + 1);
        if (line.empty())
            continue;
        if (line[0] != ' ')
            suite = line;
        else
            cases.push_back(suite + line.substr(line.find_first_not_of(' ')));
    }
    return cases;
}

// The cases rely on fresh singletons and a working directory of their own, as ctest gives them
// by running one case per process. Run by hand with more than one case selected, the program
// does the same: each case in a child, then one line of results.
int runEachCaseAlone(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& cases) {
    std::vector<std::string> others;
    for (size_t i = 1; i < arguments.size(); ++i)
        if (arguments[i].rfind("--gtest_filter=", 0) != 0)
            others.push_back(arguments[i]);
    std::vector<std::string> failed;
    for (const std::string& name : cases) {
        std::vector<std::string> one = {arguments[0], "--gtest_filter=" + name};
        one.insert(one.end(), others.begin(), others.end());
        if (runAgain(one) != 0)
            failed.push_back(name);
    }
    std::printf("\n%zu passed, %zu failed\n", cases.size() - failed.size(), failed.size());
    for (const std::string& name : failed)
        std::printf("FAILED %s\n", name.c_str());
    return failed.empty() ? 0 : 1;
}

// The X server tests run on the display that the xvfb fixture took for this run
// (tests/xvfb.sh), named in the file that ctest gives in PELMORA_TEST_DISPLAY_FILE; whatever
// DISPLAY the program was started with belongs to somebody else.
void useTestDisplay() {
    const char* file = std::getenv("PELMORA_TEST_DISPLAY_FILE");
    if (file == nullptr)
        return;
    std::string display;
    std::ifstream(file) >> display;
    if (display.empty()) {
        std::fprintf(stderr,
                     "%s names no display: the xvfb fixture (tests/xvfb.sh start) has not "
                     "started the tests' X server, or it has stopped\n",
                     file);
        std::exit(EXIT_FAILURE);
    }
    setenv("DISPLAY", display.c_str(), 1);
}

struct NeededFile {
    std::string path, howToMake;
};

std::vector<NeededFile>& neededFiles() {
    static std::vector<NeededFile> files; // filled during static initialisation
    return files;
}

void checkNeededFiles() {
    for (const NeededFile& needed : neededFiles()) {
        if (fs::exists(needed.path))
            continue;
        const std::string reason = needed.path + " does not exist: " + needed.howToMake;
        const char* ci = std::getenv("CI");
        if (ci != nullptr && std::string(ci) == "true") {
            std::fprintf(stderr, "FAIL: %s (under CI=true a missing build fails)\n",
                         reason.c_str());
            std::exit(EXIT_FAILURE);
        }
        std::printf("SKIPPED: %s\n", reason.c_str());
        if (const char* notes = std::getenv("PELMORA_TEST_SKIPS"))
            std::ofstream(notes, std::ios::app) << reason << '\n';
        std::exit(testsupport::SkipStatus);
    }
}

} // namespace

namespace testsupport {

BuiltElsewhere::BuiltElsewhere(std::string path, std::string howToMake) {
    neededFiles().push_back({std::move(path), std::move(howToMake)});
}

const std::string& workDirectory() {
    return workDirectoryPath;
}

std::string makeRunDirectory(const std::string& name, bool withData) {
    const fs::path directory = fs::path(workDirectoryPath) / name;
    fs::create_directory(directory);
    for (const char* data : {"textures", "data"})
        if (withData) // a run without them is one of the cases
            fs::copy(fs::path(PELMORA_BINARY_DIR) / data, directory / data,
                     fs::copy_options::recursive);
    return directory.string();
}

std::vector<std::string> logLines(const std::string& directory) {
    std::ifstream in(directory + "/pelmora.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string lastLogLine() {
    const std::vector<std::string> lines = logLines();
    return lines.empty() ? std::string() : lines.back();
}

} // namespace testsupport

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    testing::InitGoogleTest(&argc, argv);
    // A forked child of a process with a live GL context (and its driver threads) can hang: death
    // tests re-run the program for their statement instead, which also gives them fresh
    // singletons.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    checkNeededFiles();
    useTestDisplay();
    // ctest names exactly one case; only another selection needs the program's own listing.
    const std::string filter = GTEST_FLAG_GET(filter);
    const bool oneCase = filter.find_first_of("*?:-") == std::string::npos;
    if (GTEST_FLAG_GET(internal_run_death_test).empty() && !oneCase) {
        const std::vector<std::string> cases = selectedCases(arguments);
        if (cases.size() > 1)
            return runEachCaseAlone(arguments, cases);
    }
    enterWorkDirectory(argv[0]);
    return RUN_ALL_TESTS();
}
