// How the Linux programs end and what they survive, seen from outside as a player would cause
// it: the screen mode coming back on every end, the X server going away or having no OpenGL, an
// unwritable log or a link in its place, a second copy started in the same folder, termination
// signals ignored by whoever started the game, the working directory deleted under the running
// game, pipes in place of its files, and a start away from its files. Each case starts the real
// game (or the platform layer's window helper) as a child process.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/support/X11Window.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

namespace {

using testsupport::ChildProcess;

// The game or the platform's window helper on a display of the test's choice, in a directory of
// the test's choice.
ChildProcess::Options on(const std::string& display, const std::string& directory = "") {
    ChildProcess::Options options;
    options.environment = {"DISPLAY=" + display, "SDL_VIDEODRIVER"};
    options.directory = directory;
    return options;
}

// An Xvfb of the test's own, on the first free display, stopped by the test. -noreset keeps the
// screen modes that the test adds when the last other client leaves; further arguments change
// the server ("-extension GLX": one without OpenGL).
class PrivateServer {
public:
    explicit PrivateServer(const std::vector<std::string>& more = {}) {
        ChildProcess::Options options;
        options.output = true; // where -displayfd 1 writes the display's number
        options.errorFile = "/dev/null";
        std::vector<std::string> arguments = {"Xvfb",        "-displayfd", "1",   "-screen", "0",
                                              "1024x768x24", "-nolisten",  "tcp", "-noreset"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        server_.emplace(arguments, options);
        std::string number;
        if (server_->readLine(number, seconds(30))) {
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
        if (server_) {
            server_->signal(SIGTERM);
            server_->wait();
        }
    }

    const std::string& name() const { return name_; }
    Display* display() const { return display_; }

private:
    std::optional<ChildProcess> server_;
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
        ChildProcess::Options options = on(server.name());
        options.input = options.output = true;
        ChildProcess helper({PLATFORM_VIDEO_HELPER, "800", "600", end.end}, options);
        std::string said;
        ASSERT_TRUE(helper.readLine(said, seconds(30)));
        ASSERT_EQ(said, "window shown");
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

// Puts a pipe that nobody writes to in place of a file.
void pipeInPlaceOf(const std::string& path) {
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
}

// Waits until the log in the run directory holds a line, with a generous bound.
bool logged(const std::string& run, const std::string& line, seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (testsupport::readFile(run + "/pelmora.log").find(line + "\n") != std::string::npos)
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
void closeGame(ChildProcess& game) {
    game.signal(SIGTERM);
    ASSERT_TRUE(game.ends(seconds(30))) << "still running 30 s after SIGTERM";
    EXPECT_EQ(game.status(), 0);
}

// Watches the server (the test's, or the one named) for the game's window being shown, as a log
// that cannot be written says nothing about how far the game got.
class WindowWatch {
public:
    explicit WindowWatch(const char* server = nullptr) : display_(XOpenDisplay(server)) {
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
        for (const auto deadline = Clock::now() + timeout; display_ && Clock::now() < deadline;) {
            if (!XPending(display_)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapNotify &&
                testsupport::windowTitle(display_, event.xmap.window) == title) {
                window_ = event.xmap.window;
                return true;
            }
        }
        return false;
    }

    // Closes the window last shown, as a window manager's close button does.
    void close() {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window_;
        event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        XSendEvent(display_, window_, False, NoEventMask, &event);
        XFlush(display_);
    }

private:
    Display* display_;
    Window window_ = 0;
};

// The program shows a box titled `title` and waits for the player; closing the box, as a window
// manager's close button does, ends the program with status 1. `errors` is where its standard
// error goes, shown when no box comes.
void expectBoxThenFailure(WindowWatch& watch, ChildProcess& program, const char* title,
                          const std::string& errors) {
    ASSERT_TRUE(watch.shown(title, seconds(60))) << "no box: " << testsupport::readFile(errors);
    EXPECT_TRUE(program.running()) << "ended before the player read the box";
    watch.close();
    ASSERT_TRUE(program.ends(seconds(30))) << "still running after the box was closed";
    EXPECT_EQ(program.status(), 1);
}

// While it lives, a child started gets a file-size limit of 0 bytes: with the signal for passing
// it ignored, its files open and every write to them fails, as on a full disk.
class FullDisk {
public:
    FullDisk() {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit none = {0, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_;
};

// The log is recreated at every start: a link in its place, to a file of the player's say, is
// refused like the rest, so that the file it leads to is neither emptied nor written.
TEST(GameSurvives, LogThatCannotBeWritten) {
    const std::string players = fs::absolute("players-file").string(), kept = "the player's\n";
    for (const std::string log : {"directory", "full disk", "pipe", "link"}) {
        SCOPED_TRACE(log);
        const std::string run = testsupport::makeRunDirectory("log-" + log);
        const std::string file = run + "/pelmora.log";
        if (log == "directory")
            fs::create_directory(file);
        else if (log == "pipe")
            pipeInPlaceOf(file);
        else if (log == "link") {
            std::ofstream(players) << kept;
            fs::create_symlink(players, file);
        }
        WindowWatch watch;
        ChildProcess::Options options = on(testDisplay(), run);
        std::optional<FullDisk> full;
        if (log == "full disk") {
            full.emplace();
            options.ignoredSignals = {SIGXFSZ};
        }
        ChildProcess game({PELMORA_GAME}, options);
        full.reset();
        ASSERT_TRUE(watch.shown("Pelmora Application", seconds(60)));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(game.running());
        closeGame(game);
        EXPECT_TRUE(log != "full disk" || fs::file_size(file) == 0) << "the log was written";
        EXPECT_TRUE(log != "link" || testsupport::readFile(players) == kept) << "written through";
    }
}

// A second copy started in the folder of a running one says so in a box on the screen and on
// standard error, and ends; the first one's log stays whole and goes on.
TEST(GameSurvives, SecondCopyInTheSameFolder) {
    const std::string run = testsupport::makeRunDirectory("second-copy");
    ChildProcess first({PELMORA_GAME}, on(testDisplay(), run));
    ASSERT_TRUE(logged(run, "Running main loop...", seconds(60)));
    const std::string lines = testsupport::readFile(run + "/pelmora.log");
    ASSERT_EQ(lines,
              "Application initialising...\nInitialisation successful\nRunning main loop...\n");
    const std::string told = "Pelmora is already running from this folder.";
    {
        WindowWatch watch;
        ChildProcess::Options options = on(testDisplay(), run);
        options.errorFile = "second.err";
        ChildProcess second({PELMORA_GAME}, options);
        ASSERT_NO_FATAL_FAILURE(
            expectBoxThenFailure(watch, second, "Pelmora", run + "/second.err"));
        const std::string said = testsupport::readFile(run + "/second.err");
        EXPECT_EQ(said.rfind("Pelmora: " + told + "\n", 0), 0u) << said;
    }
    {
        ChildProcess::Options options = on(testDisplay(), run);
        options.environment = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
        options.errorFile = "second.err";
        ChildProcess second({PELMORA_GAME}, options);
        ASSERT_TRUE(second.ends(seconds(30))) << "still running without a display";
        EXPECT_EQ(second.status(), 1);
        const std::string said = testsupport::readFile(run + "/second.err");
        EXPECT_EQ(said.rfind("Pelmora: " + told + "\n", 0), 0u) << said;
    }
    EXPECT_EQ(testsupport::readFile(run + "/pelmora.log"), lines);
    ASSERT_TRUE(first.running());
    closeGame(first);
    EXPECT_EQ(testsupport::readFile(run + "/pelmora.log"), lines + "Application terminated\n");
}

// Started as nohup starts it, or a shell its background jobs, the game keeps running when its
// terminal hangs up, Ctrl+C is typed there or a termination request comes: the signals that
// whoever started it ignored stay ignored. The window's close button still ends it.
TEST(GameSurvives, SignalsIgnoredWhenStarted) {
    const std::string run = testsupport::makeRunDirectory("nohup");
    WindowWatch watch;
    ChildProcess::Options options = on(testDisplay(), run);
    options.ignoredSignals = {SIGHUP, SIGINT, SIGTERM};
    ChildProcess game({PELMORA_GAME}, options);
    ASSERT_TRUE(watch.shown("Pelmora Application", seconds(60)));
    ASSERT_TRUE(logged(run, "Running main loop...", seconds(60)));
    for (int signal : options.ignoredSignals) {
        game.signal(signal);
        EXPECT_FALSE(game.ends(seconds(2))) << "ended by signal " << signal;
    }
    watch.close();
    ASSERT_TRUE(game.ends(seconds(30))) << "still running 30 s after the window was closed";
    EXPECT_EQ(game.status(), 0);
    EXPECT_TRUE(logged(run, "Application terminated", seconds(0)));
}

TEST(GameSurvives, WorkingDirectoryDeletedWhileRunning) {
    const std::string run = testsupport::makeRunDirectory("deleted");
    ChildProcess game({PELMORA_GAME}, on(testDisplay(), run));
    ASSERT_TRUE(logged(run, "Running main loop...", seconds(60)));
    std::ifstream log(run + "/pelmora.log"); // lines written after the deletion still reach it
    fs::remove_all(run);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(game.running());
    closeGame(game);
    EXPECT_EQ(lastLine(log), "Application terminated");
}

TEST(GameSurvives, PipesInPlaceOfItsFiles) {
    const std::string run = testsupport::makeRunDirectory("pipes");
    pipeInPlaceOf(run + "/pelmora.conf");
    pipeInPlaceOf(run + "/textures/w_tavelina/petal.glt");
    pipeInPlaceOf(run + "/data/graffiti.glf");
    ChildProcess game({PELMORA_GAME}, on(testDisplay(), run));
    ASSERT_TRUE(logged(run, "Running main loop...", seconds(60)));
    closeGame(game);
    const std::string lines = testsupport::readFile(run + "/pelmora.log");
    EXPECT_NE(lines.find("Texture id=textures/w_tavelina/petal load failed\n"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("Font id=data/graffiti load failed\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\nApplication terminated\n"), std::string::npos) << lines;
}

// A desktop without OpenGL (a graphics driver missing or broken): the game says why it cannot
// start in a box on the screen, not only on a terminal the player may not have, and ends when
// the box is closed.
TEST(ServerWithoutOpenGL, GameSaysWhyInABox) {
    PrivateServer server({"-extension", "GLX"});
    ASSERT_NE(server.display(), nullptr) << "no private X server";
    WindowWatch watch(server.name().c_str());
    const std::string run = testsupport::makeRunDirectory("no-gl");
    ChildProcess::Options options = on(server.name(), run);
    options.errorFile = "errors";
    ChildProcess game({PELMORA_GAME}, options);
    ASSERT_NO_FATAL_FAILURE(expectBoxThenFailure(watch, game, "Pelmora", run + "/errors"));
    const std::string said = testsupport::readFile(run + "/errors");
    EXPECT_EQ(said.rfind("pelmora: cannot create the window: ", 0), 0u) << said;
}

// Started away from one of its folders where no box can be shown: what is missing, and where
// it was looked for, still reach the terminal and the log, and the game ends at once.
TEST(StartedAwayFromItsFiles, SaysWhatIsMissingOnStandardErrorWithoutADisplay) {
    const std::string run = testsupport::makeRunDirectory("away", false);
    fs::create_directory(run + "/textures");
    ChildProcess::Options options;
    options.environment = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    options.directory = run;
    options.errorFile = "errors";
    ChildProcess game({PELMORA_GAME}, options);
    ASSERT_TRUE(game.ends(seconds(30)));
    EXPECT_EQ(game.status(), 1);
    const std::string said = testsupport::readFile(run + "/errors");
    EXPECT_EQ(said.rfind("Pelmora cannot find data: ", 0), 0u) << said;
    EXPECT_NE(said.find("\n" + run + "/\n"), std::string::npos) << said;
    EXPECT_EQ(testsupport::logLines(run),
              std::vector<std::string>{"Cannot find data in " + run + "/"});
}

// With no session bus to find, the message bus library would start a helper program at video
// start to look for one; the window comes up without it, and the environment stays as it was.
// A bus address of the player's own is left alone.
TEST(VideoStart, NoSessionBusSearchAndTheEnvironmentKept) {
    const std::string gone = "unix:path=" + testsupport::workDirectory() + "/no-bus";
    for (const std::string& address : {std::string(), gone}) {
        SCOPED_TRACE(address);
        ChildProcess::Options options = on(testDisplay());
        options.environment.push_back("XDG_RUNTIME_DIR");
        options.environment.push_back("DBUS_SESSION_BUS_ADDRESS" +
                                      (address.empty() ? "" : "=" + address));
        options.output = true;
        ChildProcess helper({PLATFORM_VIDEO_HELPER}, options);
        std::string shown, children, bus;
        ASSERT_TRUE(helper.readLine(shown, seconds(30)));
        ASSERT_TRUE(helper.readLine(children, seconds(30)));
        ASSERT_TRUE(helper.readLine(bus, seconds(30)));
        EXPECT_EQ(shown, "window shown");
        EXPECT_EQ(children, "children ended: 0");
        EXPECT_EQ(bus, "session bus: " + (address.empty() ? "unset" : address));
        ASSERT_TRUE(helper.ends(seconds(30)));
        EXPECT_EQ(helper.status(), 0);
    }
}

TEST(ServerGone, GameEndsWhenItsXServerGoesAway) {
    PrivateServer server;
    ASSERT_NE(server.display(), nullptr) << "no private X server";
    const std::string run = testsupport::makeRunDirectory("server-gone");
    ChildProcess game({PELMORA_GAME}, on(server.name(), run));
    ASSERT_TRUE(logged(run, "Running main loop...", seconds(60)));
    server.stop();
    ASSERT_TRUE(game.ends(seconds(30))) << "still running without its X server";
    EXPECT_LT(game.status(), 128) << "ended by a signal";
}

// Whether an X server answers on the display.
bool serves(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (display)
        XCloseDisplay(display);
    return display != nullptr;
}

// Whether the process runs: it has not ended, nor ended and waits for its parent to reap it.
bool running(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string number, name, state;
    return bool(stat >> number >> name >> state) && state != "Z";
}

// The tests' own server (tests/xvfb.sh) in a state directory of the test's, stopped at the end.
class TestServerScript {
public:
    ~TestServerScript() { run("stop"); }
    int run(const char* action) {
        return ChildProcess({PELMORA_SOURCE_DIR "/tests/xvfb.sh", action, state_}).wait();
    }
    std::string display() const { return firstWord("xvfb.display"); }
    std::string pid() const { return firstWord("xvfb.pid"); }

private:
    std::string firstWord(const std::string& file) const {
        std::string word;
        std::ifstream(state_ + "/" + file) >> word;
        return word;
    }

    std::string state_ = testsupport::workDirectory();
};

// Test runs share the machine with other X servers, whose displays the tests' server must not
// take, and which its stop must leave running. The other server took the first free display,
// the one the script would otherwise have taken.
TEST(TestServer, TakesAFreeDisplayAndStopsOnlyItsOwn) {
    PrivateServer other;
    ASSERT_NE(other.display(), nullptr) << "no private X server";
    TestServerScript script;
    ASSERT_EQ(script.run("start"), 0);
    const std::string ours = script.display(), server = script.pid();
    EXPECT_NE(ours, other.name());
    EXPECT_NE(ours, testDisplay());
    EXPECT_TRUE(serves(ours)) << ours;
    EXPECT_EQ(script.run("stop"), 0);
    EXPECT_EQ(script.display(), "") << "the display is still named after the stop";
    EXPECT_FALSE(running(server)) << "the tests' server runs on after its stop";
    EXPECT_TRUE(serves(other.name())) << "the other server ended with the tests' own";
}

} // namespace
