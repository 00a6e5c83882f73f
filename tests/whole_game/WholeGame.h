// The whole-game checks, shared by every way of playing the built game: the X11 driver runs the
// native binary (or the Windows build under Wine) on an X server, the browser driver the web
// page in headless Chromium. A driver shows the screen as a picture and gives real pointer and
// key input, the log's lines and the game's end; the checks judge the picture regions, the
// answers, the verdict and the click lines the same way for all of them. The screen is
// 1024 x 768 pixels in every case.
#pragma once

#include "tests/support/Rgb.h"

#include <functional>
#include <string>
#include <vector>

using testsupport::near;
using testsupport::Rgb;

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The background repeats every 128 pixels; the top-right tile is never covered.
    Rgb background(int x, int y) const { return at(896 + x % 128, y % 128); }
    bool isBackground(int x, int y) const { return near(at(x, y), background(x, y), 12); }
    int count(int x0, int y0, int x1, int y1, const std::function<bool(int, int)>& test) const;
    int countColour(int x0, int y0, int x1, int y1, Rgb colour) const;
};

// A PNG of the picture, for a person to look at (PELMORA_SCREENSHOT).
void savePng(const Picture& picture, const std::string& path);
// The picture a PNG holds; empty when the bytes are no PNG.
Picture decodePng(const std::string& png);

// One way of running the game and playing it as a person would.
class GameDriver {
public:
    virtual ~GameDriver() = default;
    virtual std::vector<std::string> logLines() = 0;
    virtual Picture capture() = 0;
    // Positions are screen pixels, as the picture has them.
    virtual void moveTo(int x, int y) = 0;
    virtual void click(int x, int y) = 0;
    virtual void pressEscape() = 0;
    // The game's exit status once it has ended, or -1 when it has not ended within the time.
    virtual int waitForExit(double seconds) = 0;
    // What the game printed or the driver saw, for failure messages.
    virtual std::string output() = 0;
    // The font file the game draws its texts with.
    virtual std::string fontFile() = 0;
    // Once the verdict stands, its text in the box from (left, top) to (right, bottom), before
    // Escape ends the game: what a driver checks or does around the game then (nothing here).
    virtual void atTheVerdict(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {}

    bool waitFor(const std::function<bool()>& condition, double seconds);
    bool waitForLogLine(const std::string& wanted, double seconds);
    // Captures until the picture satisfies the condition.
    bool waitForPicture(const std::function<bool(const Picture&)>& condition, double seconds,
                        Picture& picture);
};

// How many petals the flower in the picture has (the picture 1024 x 768, no cursor on the ring).
int petalsShown(const Picture& picture);

// From the start of the main loop: the picture regions, every petal plucked with the answer
// flipping after each, a repeated click changing nothing, the verdict by the count's parity,
// one click line per click, and Escape ending the game with status 0 after its last log line.
void playEveryPetalToTheVerdict(GameDriver& game);

// A game started without its textures and font: flat petals, the load failures logged, a click
// traced, and Escape ending it.
void playWithoutData(GameDriver& game);
