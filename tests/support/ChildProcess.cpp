// Child processes started with posix_spawn, which is safe beside the driver threads of a live GL
// context where a fork would copy their locks.
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

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
    std::vector<std::string> argv = arguments, envp;
    for (char** entry = environ; *entry != nullptr; ++entry)
        envp.push_back(*entry);
    for (const std::string& change : options.environment) {
        const std::string name = change.substr(0, change.find('=')) + "=";
        envp.erase(std::remove_if(envp.begin(), envp.end(),
                                  [&](const std::string& v) { return v.rfind(name, 0) == 0; }),
                   envp.end());
        if (change.find('=') != std::string::npos)
            envp.push_back(change);
    }
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
    if (options.output)
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    for (const auto& [fd, file] : {std::pair(STDOUT_FILENO, &options.outputFile),
                                   std::pair(STDERR_FILENO, &options.errorFile)})
        if (!file->empty())
            posix_spawn_file_actions_addopen(&actions, fd, file->c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (options.errorsToOutput)
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    // An ignored signal stays ignored across exec: ignore it here for the moment of the start.
    std::vector<void (*)(int)> kept;
    for (int number : options.ignoredSignals)
        kept.push_back(std::signal(number, SIG_IGN));
    const std::string program = options.program.empty() ? argv[0] : options.program;
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
    for (int fd : {input_, output_})
        if (fd >= 0)
            close(fd);
}

void ChildProcess::send(const std::string& text) {
    ASSERT_EQ(write(input_, text.data(), text.size()), ssize_t(text.size()));
}

bool ChildProcess::readMore(int milliseconds) {
    pollfd entry = {output_, POLLIN, 0};
    char buffer[4096];
    ssize_t got = 0;
    if (output_ < 0 || poll(&entry, 1, milliseconds) <= 0 ||
        (got = read(output_, buffer, sizeof buffer)) <= 0)
        return false;
    read_.append(buffer, size_t(got));
    return true;
}

bool ChildProcess::readLine(std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    size_t end;
    while ((end = read_.find('\n')) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (!readMore(timeout.count() < 0 ? -1 : std::max(0, int(left.count()))))
            return false;
    }
    line = read_.substr(0, end);
    read_.erase(0, end + 1);
    return true;
}

std::string ChildProcess::readAll() {
    while (readMore(-1)) {
    }
    return read_;
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
    while (running() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !running();
}

int ChildProcess::wait() {
    int waitStatus = 0;
    if (pid_ > 0 && waitpid(pid_, &waitStatus, 0) == pid_)
        status_ = statusOf(waitStatus);
    pid_ = 0;
    return status_;
}

} // namespace testsupport
