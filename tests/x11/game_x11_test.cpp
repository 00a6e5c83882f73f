// The whole game on a real X server: starts the built program (or, through PELMORA_GAME_COMMAND,
// the Windows build under Wine), reads the screen back and plays it with real X input events,
// through the whole-game checks shared with the browser (tests/whole_game). PELMORA_RUN_DIR
// names a prepared run directory; PELMORA_SCREENSHOT a PNG to save of the flower before the
// first pluck.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/support/X11Window.h"
#include "tests/whole_game/WholeGame.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

class X11Game : public GameDriver {
public:
    explicit X11Game(const std::string& runDir) : runDir_(runDir) {
        display_ = XOpenDisplay(nullptr);
        if (!display_)
            return;
        const char* command = std::getenv("PELMORA_GAME_COMMAND");
        std::string launch = command ? command : "'" + std::string(PELMORA_GAME) + "'";
        testsupport::ChildProcess::Options options;
        options.directory = runDir;
        options.outputFile = "output.txt";
        options.errorsToOutput = true;
        // In a sanitizer build the leak check at exit would report what the system's own
        // libraries (D-Bus under SDL) keep, and turn a clean exit into status 1; this test
        // judges the game's own exit. An environment that sets the options keeps them.
        if (!std::getenv("ASAN_OPTIONS"))
            options.environment = {"ASAN_OPTIONS=detect_leaks=0"};
        game_.emplace(std::vector<std::string>{"/bin/sh", "-c", "exec " + launch}, options);
    }

    ~X11Game() override {
        game_.reset();
        if (display_)
            XCloseDisplay(display_);
    }

    bool connected() const { return display_ && game_ && game_->started(); }

    std::vector<std::string> logLines() override { return testsupport::logLines(runDir_); }

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
        if (!waitFor([&] { return !game_->running(); }, seconds))
            return -1;
        return game_->status() < 128 ? game_->status() : -1;
    }

    std::string output() override { return testsupport::readFile(runDir_ + "/output.txt"); }

    std::string fontFile() override { return runDir_ + "/data/graffiti.glf"; }

private:
    // No window manager hands out the keyboard focus: give it to the game's window by hand.
    void focusGameWindow() {
        const Window root = DefaultRootWindow(display_);
        if (Window window = testsupport::findWindow(display_, root, "Pelmora Application"))
            XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
        XSync(display_, False);
    }

    std::string runDir_;
    Display* display_ = nullptr;
    std::optional<testsupport::ChildProcess> game_;
};

} // namespace

TEST(WholeGame, PlaysEveryPetalToTheVerdictAndEndsOnEscape) {
    const char* prepared = std::getenv("PELMORA_RUN_DIR");
    const std::string runDir = prepared ? prepared : testsupport::makeRunDirectory("run");
    std::remove((runDir + "/pelmora.log").c_str());
    X11Game game(runDir);
    ASSERT_TRUE(game.connected()) << "no X display or no game process";
    playEveryPetalToTheVerdict(game);
}

// The game's folders there but empty: each file is reported missing in the log, and the game
// plays on with what it has.
TEST(WholeGame, RunsWithoutItsDataAndEndsOnEscape) {
    const std::string runDir = testsupport::makeRunDirectory("run", false);
    for (const char* folder : {"textures", "data"})
        ASSERT_TRUE(std::filesystem::create_directory(runDir + "/" + folder));
    X11Game game(runDir);
    ASSERT_TRUE(game.connected());
    playWithoutData(game);
}
