// How the Linux programs end and what they survive, seen from outside as a player would cause
// it: the screen mode coming back on every end, the X server going away, an unwritable log, the
// working directory deleted under the running game, and pipes in place of its files. Each case
// starts the real game (or the platform layer's window helper) as a child process.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

namespace {

// Waits until fd has something to read, at most until the deadline.
bool readable(int fd, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
        return false;
    pollfd entry = {fd, POLLIN, 0};
    return poll(&entry, 1, int(left.count())) > 0;
}

// A program started with its standard input and output on pipes (standard error is left to the
// test's own), in a working directory and with DISPLAY of the test's choice.
class Child {
public:
    Child(const std::vector<std::string>& arguments, const std::string& display,
          const fs::path& directory = fs::current_path()) {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string variable = *entry;
            if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("SDL_VIDEODRIVER=", 0) != 0)
                environment.push_back(variable);
        }
        environment.push_back("DISPLAY=" + display);
        std::vector<char*> argv, envp;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        for (std::string& variable : environment)
            envp.push_back(variable.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);

        int input[2], output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        input_ = input[1];
        output_ = output[0];
    }

    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(input_);
        close(output_);
    }

    bool started() const { return pid_ > 0; }

    // Reads standard output until a line holds text, for at most the timeout.
    bool says(const std::string& text, seconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (said_.find(text) == std::string::npos) {
            char buffer[256];
            ssize_t got = 0;
            if (!readable(output_, deadline) || (got = read(output_, buffer, sizeof buffer)) <= 0)
                return false;
            said_.append(buffer, size_t(got));
        }
        return true;
    }

    void send(const std::string& line) {
        ASSERT_EQ(write(input_, line.data(), line.size()), ssize_t(line.size()));
    }

    void signal(int number) { kill(pid_, number); }

    bool running() { return pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == 0; }

    // Waits for the end with a generous bound; answers false when the child still runs.
    bool ends(seconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (running()) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        pid_ = 0;
        return true;
    }

    // After ends(): the exit status, or 128 + the signal that ended it.
    int status() const {
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
    }

private:
    pid_t pid_ = 0;
    int input_ = -1, output_ = -1;
    int status_ = 0;
    std::string said_;
};

// An Xvfb of the test's own, on the first free display, stopped by the test. -noreset keeps the
// screen modes that the test adds when the last other client leaves.
class PrivateServer {
public:
    PrivateServer() {
        int numberPipe[2];
        if (pipe(numberPipe) != 0)
            return;
        const std::string fd = std::to_string(numberPipe[1]);
        const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen",  "0",
                              "1024x768x24", "-nolisten",  "tcp",      "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(numberPipe[1]);
        std::string number;
        char c = 0;
        const auto deadline = Clock::now() + seconds(30);
        while (readable(numberPipe[0], deadline) && read(numberPipe[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(numberPipe[0]);
        if (!number.empty()) {
            name_ = ":" + number;
            display_ = XOpenDisplay(name_.c_str());
        }
    }

    ~PrivateServer() { stop(); }

    // Ends the server as its own termination would, and waits for it. The test's connection
    // goes first: Xlib ends a program whose server goes away under it.
    void stop() {
        if (display_) {
            XCloseDisplay(display_);
            display_ = nullptr;
        }
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

    const std::string& name() const { return name_; }
    Display* display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string name_;
    Display* display_ = nullptr;
};

// The size of the mode the screen shows now.
std::pair<unsigned, unsigned> screenMode(Display* display) {
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[0]);
    const std::pair<unsigned, unsigned> size(crtc->width, crtc->height);
    XRRFreeCrtcInfo(crtc);
    XRRFreeScreenResources(resources);
    return size;
}

// Offers a second mode beside the server's one, as a real monitor offers several.
void offerMode(Display* display, unsigned width, unsigned height) {
    XRRScreenResources* resources = XRRGetScreenResources(display, DefaultRootWindow(display));
    std::string name = std::to_string(width) + "x" + std::to_string(height);
    XRRModeInfo mode = {};
    mode.width = width;
    mode.height = height;
    mode.dotClock = 40000000;
    mode.hSyncStart = width + 40;
    mode.hSyncEnd = width + 168;
    mode.hTotal = width + 256;
    mode.vSyncStart = height + 1;
    mode.vSyncEnd = height + 5;
    mode.vTotal = height + 28;
    mode.name = name.data();
    mode.nameLength = unsigned(name.size());
    const RRMode id = XRRCreateMode(display, DefaultRootWindow(display), &mode);
    XRRAddOutputMode(display, resources->outputs[0], id);
    XRRFreeScreenResources(resources);
    XSync(display, False);
}

TEST(DisplayModeAtExit, DesktopModeComesBackOnEveryEnd) {
    PrivateServer server;
    ASSERT_NE(server.display(), nullptr) << "no private X server";
    offerMode(server.display(), 800, 600);
    const struct {
        const char* end;
        int signal;
        int status;
    } ends[] = {{"return", 0, 0},
                {"exit", 0, 3},
                {"close", SIGTERM, 0},
                {"close", SIGINT, 0},
                {"close", SIGHUP, 0}};
    for (const auto& end : ends) {
        SCOPED_TRACE(std::string(end.end) + " " + std::to_string(end.signal));
        Child helper({PLATFORM_VIDEO_HELPER, "800", "600", end.end}, server.name());
        ASSERT_TRUE(helper.says("window shown", seconds(30)));
        EXPECT_EQ(screenMode(server.display()), std::make_pair(800u, 600u));
        if (end.signal)
            helper.signal(end.signal);
        else
            helper.send("\n");
        ASSERT_TRUE(helper.ends(seconds(30)));
        EXPECT_EQ(helper.status(), end.status);
        EXPECT_EQ(screenMode(server.display()), std::make_pair(1024u, 768u));
    }
}

// A run directory of the game's own beside the test, holding a copy of its data; removed with
// everything in it (links as links) when the case ends.
class RunDirectory {
public:
    explicit RunDirectory(const std::string& name) : path_(fs::current_path() / ("run-" + name)) {
        fs::remove_all(path_);
        fs::create_directories(path_);
        for (const char* data : {"textures", "data"}) {
            fs::copy(fs::path(PELMORA_BINARY_DIR) / data, path_ / data,
                     fs::copy_options::recursive);
        }
    }
    ~RunDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    fs::path log() const { return path_ / "pelmora.log"; }

    // Puts a pipe that nobody writes to in place of a file.
    void pipeInPlaceOf(const std::string& name) const {
        fs::remove(path_ / name);
        ASSERT_EQ(mkfifo((path_ / name).c_str(), 0600), 0) << name;
    }

private:
    fs::path path_;
};

std::string contents(std::istream& stream) {
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// Waits until the log holds a line, with a generous bound.
bool logged(const fs::path& log, const std::string& line, seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        std::ifstream file(log);
        if (contents(file).find(line + "\n") != std::string::npos)
            return true;
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string lastLine(std::istream& log) {
    std::string line, last;
    while (std::getline(log, line))
        last = line;
    return last;
}

std::string testDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display ? display : "";
}

// Ends the game as the desktop does and expects a clean end.
void closeGame(Child& game) {
    game.signal(SIGTERM);
    ASSERT_TRUE(game.ends(seconds(30))) << "still running 30 s after SIGTERM";
    EXPECT_EQ(game.status(), 0);
}

// Watches the server for the game's window being shown, as a log that cannot be written says
// nothing about how far the game got.
class WindowWatch {
public:
    WindowWatch() : display_(XOpenDisplay(nullptr)) {
        if (display_) {
            XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
            XSync(display_, False);
        }
    }
    ~WindowWatch() {
        if (display_)
            XCloseDisplay(display_);
    }

    bool shown(const char* title, seconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (display_ && (XPending(display_) || readable(ConnectionNumber(display_), deadline))) {
            XEvent event;
            XNextEvent(display_, &event);
            char* name = nullptr;
            if (event.type == MapNotify && XFetchName(display_, event.xmap.window, &name)) {
                const bool found = std::string(name) == title;
                XFree(name);
                if (found)
                    return true;
            }
        }
        return false;
    }

private:
    Display* display_;
};

// While it lives, a child started gets a file-size limit of 0 bytes with the signal for passing
// it ignored: its files open, and every write to them fails, as on a full disk.
class FullDisk {
public:
    FullDisk() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit none = {0, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &none);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_;
    void (*previous_)(int);
};

TEST(GameSurvives, LogThatCannotBeWritten) {
    for (const std::string log : {"directory", "full disk", "pipe"}) {
        SCOPED_TRACE(log);
        RunDirectory run("unwritable-log");
        if (log == "directory")
            fs::create_directory(run.log());
        else if (log == "pipe")
            run.pipeInPlaceOf("pelmora.log");
        WindowWatch watch;
        std::optional<FullDisk> full;
        if (log == "full disk")
            full.emplace();
        Child game({PELMORA_GAME}, testDisplay(), run.path());
        full.reset();
        ASSERT_TRUE(watch.shown("Pelmora Application", seconds(60)));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(game.running());
        closeGame(game);
        EXPECT_TRUE(log != "full disk" || fs::file_size(run.log()) == 0u)
            << "the log was written after all";
    }
}

TEST(GameSurvives, WorkingDirectoryDeletedWhileRunning) {
    RunDirectory run("deleted");
    Child game({PELMORA_GAME}, testDisplay(), run.path());
    ASSERT_TRUE(logged(run.log(), "Running main loop...", seconds(60)));
    std::ifstream log(run.log()); // the lines written after the deletion still reach the file
    fs::remove_all(run.path());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(game.running());
    closeGame(game);
    EXPECT_EQ(lastLine(log), "Application terminated");
}

TEST(GameSurvives, PipesInPlaceOfItsFiles) {
    RunDirectory run("pipes");
    run.pipeInPlaceOf("pelmora.conf");
    run.pipeInPlaceOf("textures/w_tavelina/petal.glt");
    run.pipeInPlaceOf("data/graffiti.glf");
    Child game({PELMORA_GAME}, testDisplay(), run.path());
    ASSERT_TRUE(logged(run.log(), "Running main loop...", seconds(60)));
    closeGame(game);
    std::ifstream log(run.log());
    const std::string lines = contents(log);
    EXPECT_NE(lines.find("Texture id=textures/w_tavelina/petal load failed\n"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("Font id=data/graffiti load failed\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\nApplication terminated\n"), std::string::npos) << lines;
}

TEST(ServerGone, GameEndsWhenItsXServerGoesAway) {
    PrivateServer server;
    ASSERT_NE(server.display(), nullptr) << "no private X server";
    RunDirectory run("server-gone");
    Child game({PELMORA_GAME}, server.name(), run.path());
    ASSERT_TRUE(logged(run.log(), "Running main loop...", seconds(60)));
    server.stop();
    ASSERT_TRUE(game.ends(seconds(30))) << "still running without its X server";
    EXPECT_LT(game.status(), 128) << "ended by a signal";
}

} // namespace
