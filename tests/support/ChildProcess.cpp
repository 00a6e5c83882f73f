// Child processes started with posix_spawn, which is safe beside the driver threads of a live GL
// context where a fork would copy their locks.
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testsupport {

using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        environment.push_back(*entry);
    for (const std::string& change : changes) {
        const std::string prefix = change.substr(0, change.find('=')) + "=";
        for (size_t i = environment.size(); i-- > 0;)
            if (environment[i].rfind(prefix, 0) == 0)
                environment.erase(environment.begin() + long(i));
        if (change.find('=') != std::string::npos)
            environment.push_back(change);
    }
    return environment;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& text : strings)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Options& options) {
    std::vector<std::string> argv = arguments, envp = environmentWith(options.environment);
    int input[2] = {-1, -1}, output[2] = {-1, -1};
    if ((options.input && pipe2(input, O_CLOEXEC) != 0) ||
        (options.output && pipe2(output, O_CLOEXEC) != 0))
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!options.directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.directory.c_str());
    if (options.input)
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    const int created = O_WRONLY | O_CREAT | O_TRUNC;
    if (options.output)
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    else if (!options.outputFile.empty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.outputFile.c_str(),
                                         created, 0600);
    if (options.errorsToOutput)
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    else if (!options.errorFile.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, options.errorFile.c_str(),
                                         created, 0600);
    // An ignored signal stays ignored across exec: ignore it here for the moment of the start.
    std::vector<void (*)(int)> kept;
    for (int number : options.ignoredSignals)
        kept.push_back(std::signal(number, SIG_IGN));
    const std::string& program = options.program.empty() ? argv[0] : options.program;
    if (posix_spawnp(&pid_, program.c_str(), &actions, nullptr, pointers(argv).data(),
                     pointers(envp).data()) != 0)
        pid_ = 0;
    for (size_t i = 0; i < kept.size(); ++i)
        std::signal(options.ignoredSignals[i], kept[i]);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {input[0], output[1]})
        if (fd >= 0)
            close(fd);
    input_ = input[1];
    output_ = output[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    closeInput();
    if (output_ >= 0)
        close(output_);
}

void ChildProcess::send(const std::string& text) {
    ASSERT_EQ(write(input_, text.data(), text.size()), ssize_t(text.size()));
}

void ChildProcess::closeInput() {
    if (input_ >= 0)
        close(input_);
    input_ = -1;
}

bool ChildProcess::readMore(Clock::time_point deadline) {
    if (output_ < 0)
        return false;
    int wait = -1;
    if (deadline != Clock::time_point::max()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        wait = int(left.count());
    }
    pollfd entry = {output_, POLLIN, 0};
    char buffer[4096];
    ssize_t got = 0;
    if (poll(&entry, 1, wait) <= 0 || (got = read(output_, buffer, sizeof buffer)) <= 0)
        return false;
    said_.append(buffer, size_t(got));
    return true;
}

bool ChildProcess::says(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (said_.find(text) == std::string::npos)
        if (!readMore(deadline))
            return false;
    return true;
}

bool ChildProcess::readLine(std::string& line) {
    size_t end;
    while ((end = said_.find('\n', lineStart_)) == std::string::npos)
        if (!readMore(Clock::time_point::max()))
            return false;
    line = said_.substr(lineStart_, end - lineStart_);
    lineStart_ = end + 1;
    return true;
}

std::string ChildProcess::readAll() {
    while (readMore(Clock::time_point::max())) {
    }
    return said_;
}

void ChildProcess::signal(int number) {
    if (pid_ > 0)
        kill(pid_, number);
}

bool ChildProcess::running() {
    int waitStatus = 0;
    const pid_t ended = pid_ > 0 ? waitpid(pid_, &waitStatus, WNOHANG) : -1;
    if (ended == 0)
        return true;
    if (ended == pid_)
        status_ = statusOf(waitStatus);
    pid_ = 0;
    return false;
}

bool ChildProcess::ends(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (running()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int ChildProcess::wait() {
    int waitStatus = 0;
    if (pid_ > 0 && waitpid(pid_, &waitStatus, 0) == pid_)
        status_ = statusOf(waitStatus);
    pid_ = 0;
    return status_;
}

} // namespace testsupport
