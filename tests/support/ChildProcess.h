// A program a test runs in a process of its own: the test programs themselves again, the game,
// the asset tools, the platform's window helper, an X server, the browser's driver.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// How a ChildProcess starts (declared outside it so that its defaults can serve as a default
// argument there).
struct ChildProcessOptions {
    // The file run (looked up in PATH when it names no directory); the first argument when
    // empty.
    std::string program;
    // Where it starts; the test's working directory when empty.
    std::string directory;
    // The test's environment with each "NAME=value" set and each "NAME" alone removed.
    std::vector<std::string> environment;
    // Standard input from send(), and standard output to says(), readLine() and readAll();
    // otherwise the test's own.
    bool input = false;
    bool output = false;
    // Or standard output and error into files (made or emptied; relative to directory);
    // errorsToOutput sends standard error wherever standard output goes.
    std::string outputFile;
    std::string errorFile;
    bool errorsToOutput = false;
    // Started with these signals ignored, as nohup starts a program.
    std::vector<int> ignoredSignals;
};

class ChildProcess {
public:
    using Options = ChildProcessOptions;

    explicit ChildProcess(const std::vector<std::string>& arguments, const Options& options = {});
    // Kills the process with SIGKILL if it still runs, and reaps it.
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void send(const std::string& text);
    void closeInput();
    // Reads standard output until everything read so far holds text, for at most the timeout.
    bool says(const std::string& text, std::chrono::milliseconds timeout);
    // Everything read from standard output so far.
    const std::string& said() const { return said_; }
    // The next line of standard output without its end, waiting as long as it takes; false at
    // the end of the output.
    bool readLine(std::string& line);
    // Standard output to its end.
    std::string readAll();

    void signal(int number);
    bool running();
    // Waits for the end, at most the timeout; false while the process still runs.
    bool ends(std::chrono::milliseconds timeout);
    // Waits for the end however long it takes; answers status().
    int wait();
    // Once ended: the exit status, or 128 + the signal that ended it.
    int status() const { return status_; }

private:
    // Reads once more from standard output, waiting until the deadline; false at its end.
    bool readMore(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = 0;
    int input_ = -1, output_ = -1;
    int status_ = -1;
    std::string said_;
    size_t lineStart_ = 0;
};

} // namespace testsupport
