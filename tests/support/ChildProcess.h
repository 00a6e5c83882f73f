// A program a test runs in a process of its own: the test program again, the game, the asset
// tools, the platform's window helper, an X server, the browser's driver.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// How a ChildProcess starts (outside the class, so that its defaults can be a default argument).
struct ChildOptions {
    std::string program;                  // the file run (from PATH); else the first argument
    std::string directory;                // where it starts; else the test's working directory
    std::vector<std::string> environment; // the test's with "NAME=value" set and "NAME" removed
    bool input = false;                   // standard input from send()
    bool output = false;                  // standard output to readLine() and readAll()
    std::string outputFile, errorFile;    // or into files made afresh (relative to directory)
    bool errorsToOutput = false;          // standard error where standard output goes
    std::vector<int> ignoredSignals;      // ignored from the start, as nohup ignores SIGHUP
};

class ChildProcess {
public:
    using Options = ChildOptions;

    explicit ChildProcess(const std::vector<std::string>& arguments, const Options& options = {});
    // Kills the process with SIGKILL if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void send(const std::string& text);
    // The next line of standard output without its end; false at the end of the output or when
    // the timeout (none when negative) passes first.
    bool readLine(std::string& line,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(-1));
    // Standard output to its end.
    std::string readAll();

    void signal(int number);
    bool running();
    // Waits at most the timeout for the end; false while the process still runs.
    bool ends(std::chrono::milliseconds timeout);
    // Waits for the end however long it takes, and answers status().
    int wait();
    // Once ended: the exit status, or 128 + the signal that ended it.
    int status() const { return status_; }

private:
    bool readMore(int milliseconds);

    pid_t pid_ = 0;
    int input_ = -1, output_ = -1;
    int status_ = -1;
    std::string read_;
};

} // namespace testsupport
