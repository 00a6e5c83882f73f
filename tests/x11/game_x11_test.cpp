// The whole game on a real X server: starts the built program (or, through PELMORA_GAME_COMMAND,
// the Windows build under Wine), reads the screen back and plays it with real X input events,
// through the whole-game checks shared with the browser (tests/whole_game). PELMORA_RUN_DIR
// names a prepared run directory; PELMORA_SCREENSHOT a PNG to save of the flower before the
// first pluck.
#include "tests/support/TestSupport.h"
#include "tests/whole_game/WholeGame.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A run directory of the test's own inside its working directory, which goes with the process.
struct RunDir {
    explicit RunDir(bool withData) {
        const fs::path dir = fs::path(testsupport::workDirectory()) / "run";
        fs::create_directory(dir);
        path = dir.string();
        if (withData)
            for (const char* sub : {"textures", "data"})
                fs::copy(fs::path(PELMORA_BINARY_DIR) / sub, dir / sub,
                         fs::copy_options::recursive);
    }
    std::string path;
};

class X11Game : public GameDriver {
public:
    explicit X11Game(const std::string& runDir) : runDir_(runDir) {
        display_ = XOpenDisplay(nullptr);
        if (!display_)
            return;
        const char* command = std::getenv("PELMORA_GAME_COMMAND");
        std::string launch = command ? command : "'" + std::string(PELMORA_GAME) + "'";
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(runDir.c_str()) != 0)
                _exit(127);
            // In a sanitizer build the leak check at exit would report what the system's own
            // libraries (D-Bus under SDL) keep, and turn a clean exit into status 1; this test
            // judges the game's own exit. An environment that sets the options keeps them.
            setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
            execl("/bin/sh", "sh", "-c", ("exec " + launch + " >output.txt 2>&1").c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    ~X11Game() override {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (display_)
            XCloseDisplay(display_);
    }

    bool connected() const { return display_ && pid_ > 0; }

    std::vector<std::string> logLines() override {
        std::ifstream in(runDir_ + "/pelmora.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    Picture capture() override {
        Picture picture;
        Window root = DefaultRootWindow(display_);
        XWindowAttributes attributes;
        XGetWindowAttributes(display_, root, &attributes);
        XImage* image = XGetImage(display_, root, 0, 0, attributes.width, attributes.height,
                                  AllPlanes, ZPixmap);
        if (!image)
            return picture;
        picture.width = attributes.width;
        picture.height = attributes.height;
        picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                unsigned long p = XGetPixel(image, x, y);
                picture.pixels[static_cast<size_t>(y) * picture.width + x] = {
                    static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                    static_cast<int>(p & 0xFF)};
            }
        XDestroyImage(image);
        return picture;
    }

    void moveTo(int x, int y) override {
        XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
        XSync(display_, False);
    }

    void click(int x, int y) override {
        moveTo(x, y);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XSync(display_, False);
    }

    void pressEscape() override {
        focusGameWindow();
        KeyCode escape = XKeysymToKeycode(display_, XK_Escape);
        XTestFakeKeyEvent(display_, escape, True, CurrentTime);
        XTestFakeKeyEvent(display_, escape, False, CurrentTime);
        XSync(display_, False);
    }

    int waitForExit(double seconds) override {
        int status = 0;
        bool done = waitFor(
            [&] {
                if (exited_)
                    return true;
                if (waitpid(pid_, &status, WNOHANG) == pid_) {
                    exited_ = true;
                    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                }
                return exited_;
            },
            seconds);
        return done ? exitStatus_ : -1;
    }

    std::string output() override {
        std::ifstream in(runDir_ + "/output.txt");
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::string fontFile() override { return runDir_ + "/data/graffiti.glf"; }

private:
    // No window manager hands out the keyboard focus: give it to the game's window by hand.
    void focusGameWindow() {
        std::function<Window(Window)> find = [&](Window window) -> Window {
            char* name = nullptr;
            if (XFetchName(display_, window, &name) && name) {
                bool match = std::strcmp(name, "Pelmora Application") == 0;
                XFree(name);
                if (match)
                    return window;
            }
            Window root, parent, *children = nullptr;
            unsigned count = 0;
            Window found = 0;
            if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
                for (unsigned i = 0; i < count && !found; ++i)
                    found = find(children[i]);
                if (children)
                    XFree(children);
            }
            return found;
        };
        if (Window window = find(DefaultRootWindow(display_)))
            XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        XSync(display_, False);
    }

    std::string runDir_;
    Display* display_ = nullptr;
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitStatus_ = -1;
};

} // namespace

TEST(WholeGame, PlaysEveryPetalToTheVerdictAndEndsOnEscape) {
    const char* prepared = std::getenv("PELMORA_RUN_DIR");
    RunDir own(!prepared);
    std::string runDir = prepared ? prepared : own.path;
    ASSERT_FALSE(runDir.empty());
    fs::remove(fs::path(runDir) / "pelmora.log");
    X11Game game(runDir);
    ASSERT_TRUE(game.connected()) << "no X display or no game process";
    playEveryPetalToTheVerdict(game);
}

TEST(WholeGame, RunsWithoutItsDataAndEndsOnEscape) {
    RunDir own(false);
    ASSERT_FALSE(own.path.empty());
    X11Game game(own.path);
    ASSERT_TRUE(game.connected());
    playWithoutData(game);
}
