// The web build's page played in headless Chromium with real mouse, touch and key events,
// through the whole-game checks shared with the X11 test (tests/whole_game): the DevTools client
// (page_driver.py, a child process speaking lines) serves the page, starts the browser and
// cleans up after both. The game's picture is 1024 x 768 pixels in every case, read from the
// canvas; the page shows it 1:1 (a window of that size, half that size at a device pixel ratio of
// 2, one resized to it just before the game starts) or fitted to a phone held upright or turned,
// a laptop's high-density screen and a wide page. Beyond the shared checks: the console carries
// pelmora.log line for line, the verdict comes with an offer of another round (mouse, keyboard or
// finger), the ended game leaves a page that says so and starts it again from the mouse or the
// keyboard, Back (the browser's or the mouse's) does not end the game, an upright phone is asked
// to turn, loads at one instant show different flowers, and a page that cannot start says why.
// The release page's own promises (an app manifest with real icons, a service worker that starts
// the game without the server and brings a new release at the next visit) close the file.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/whole_game/WholeGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string decodeBase64(const std::string& text) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        const size_t digit = alphabet.find(c);
        if (digit == std::string::npos)
            continue; // padding
        value = (value << 6) | unsigned(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += char((value >> bits) & 0xFF);
        }
    }
    return bytes;
}

// The page the browser plays: the web build's release folder, or the one PELMORA_WEB_PAGE names
// (the released zip, unpacked elsewhere).
const char* pageDirectory() {
    const char* page = std::getenv("PELMORA_WEB_PAGE");
    return page != nullptr && *page != '\0' ? page : PELMORA_WEB_PAGE;
}

// The game's font as the web build made it, which the whole-game checks read.
const char* const WebFont = PELMORA_WEB_DIR "/native/data/graffiti.glf";

// The web preset's build, which this tree does not make: the page and the font beside it.
const char* const MakeWebBuild = "make it with 'cmake --preset web && cmake --build --preset web'";
const testsupport::BuiltElsewhere neededPage(std::string(pageDirectory()) + "/index.html",
                                             MakeWebBuild);
const testsupport::BuiltElsewhere neededFont(WebFont, MakeWebBuild);

class BrowserGame;
// The page's offer of another round once the verdict stands, taken up as `how` says (below).
void checkTheOffer(BrowserGame& game, int left, int top, int right, int bottom,
                   const std::string& how);

class BrowserGame : public GameDriver {
public:
    // The driver's command that opens the page ("start W H RATIO [W2 H2]", "phone W H RATIO",
    // "broken W H RATIO FAULT": page_driver.py says what each does).
    explicit BrowserGame(const std::string& opening) {
        testsupport::ChildProcess::Options options;
        options.input = options.output = true;
        // The browser's profile and scratch files go with the test's working directory.
        options.environment = {"TMPDIR=" + testsupport::workDirectory()};
        driver_.emplace(
            std::vector<std::string>{"/usr/bin/python3", PELMORA_PAGE_DRIVER, pageDirectory()},
            options);
        started_ = driver_->started() && command(opening) == "ok";
    }

    // The driver ends the browser and its server before it ends itself.
    ~BrowserGame() override {
        if (driver_->started()) {
            command("quit");
            driver_->wait();
        }
    }

    bool started() const { return started_; }

    // A phone has no pointer that hovers: the pointer goes where a finger taps, and clicks are
    // taps.
    void useTaps() { taps_ = true; }

    // How the offer of another round that comes with the verdict is taken up: "" not at all
    // (Escape then ends the game), "keys" Tab and Enter, "tap" a finger on it.
    void takeTheOfferBy(const std::string& how) { offerTakenBy_ = how; }

    void atTheVerdict(int left, int top, int right, int bottom) override {
        checkTheOffer(*this, left, top, right, bottom, offerTakenBy_);
    }

    // One command, one answer line; errors are kept for output().
    std::string command(const std::string& line) {
        driver_->send(line + "\n");
        std::string answer = readLine();
        if (answer.rfind("error", 0) == 0)
            errors_ += line.substr(0, 40) + ": " + answer + "\n";
        return answer;
    }

    std::vector<std::string> lines(const std::string& line) {
        std::vector<std::string> result;
        const std::string answer = command(line);
        if (answer.rfind("lines ", 0) != 0)
            return result;
        for (int n = std::atoi(answer.c_str() + 6); n > 0; --n)
            result.push_back(readLine());
        return result;
    }

    // The page's end notice, or "" while it shows none.
    std::string endNotice() {
        const std::string answer = command("ended");
        return answer.rfind("ended 1 ", 0) == 0 ? answer.substr(8) : "";
    }

    std::vector<std::string> logLines() override { return lines("log"); }

    // How many times the program has started its main loop in this browser, reloads included.
    int mainLoopsStarted() {
        int runs = 0;
        for (const std::string& line : logLines())
            runs += line == "Running main loop...";
        return runs;
    }

    // The canvas's own pixels, however the page shows them.
    Picture capture() override { return png("picture"); }
    // The page as the screen shows it, in device pixels.
    Picture screenshot() { return png("capture"); }

    void moveTo(int x, int y) override { pointer(taps_ ? "tap" : "move", x, y); }
    void click(int x, int y) override { pointer(taps_ ? "tap" : "click", x, y); }
    void pressEscape() override { command("key Escape"); }

    int waitForExit(double seconds) override {
        std::string notice;
        if (!waitFor([&] { return !(notice = endNotice()).empty(); }, seconds))
            return -1;
        if (notice == "The game has ended.")
            return 0;
        const size_t status = notice.find("(status ");
        return status == std::string::npos ? -1 : std::atoi(notice.c_str() + status + 8);
    }

    std::string output() override {
        std::string text = errors_;
        for (const std::string& line : logLines())
            text += line + "\n";
        return text;
    }

    std::string fontFile() override { return WebFont; }

private:
    std::string readLine() {
        std::string line;
        driver_->readLine(line);
        return line;
    }

    void pointer(const char* what, int x, int y) {
        command(std::string(what) + " " + std::to_string(x) + " " + std::to_string(y));
    }

    Picture png(const char* what) {
        const std::string answer = command(what);
        if (answer.rfind("png ", 0) != 0)
            return Picture();
        return decodePng(decodeBase64(answer.substr(4)));
    }

    std::optional<testsupport::ChildProcess> driver_;
    bool started_ = false;
    bool taps_ = false;
    std::string offerTakenBy_;
    std::string errors_;
};

// After the shared checks: pelmora.log in the page's file system and the console (from this
// page's load on: the console keeps earlier rounds' lines too) agree line for line, the page says
// that the game has ended, and its button, which has the keyboard's focus (and gets it back from
// Tab), starts the game again when it is clicked or its key ("Enter" or "Space") is pressed.
void checkTheEndedPage(BrowserGame& game, const std::string& key = "") {
    const int runs = game.mainLoopsStarted();
    const std::vector<std::string> console = game.logLines();
    const std::vector<std::string> file = game.lines("file /pelmora.log");
    ASSERT_TRUE(!file.empty() && file.size() <= console.size()) << game.output();
    EXPECT_EQ(file, std::vector<std::string>(console.end() - file.size(), console.end()));
    EXPECT_EQ(file.front(), "Application initialising...");
    EXPECT_EQ(game.endNotice(), "The game has ended.");
    EXPECT_EQ(game.command("eval document.getElementById('canvas').style.display"),
              "value \"none\"")
        << "the last frame still stands on the page";
    EXPECT_EQ(game.command("eval document.activeElement.id"), "value \"again\"");
    // A click beside the button takes the focus from it; Tab gives it back.
    game.command("click-element ended-text");
    EXPECT_EQ(game.command("eval document.activeElement.id"), "value \"\"");
    game.command("key Tab");
    EXPECT_EQ(game.command("eval document.activeElement.id"), "value \"again\"");

    if (key.empty())
        game.command("click-element again");
    else
        game.command("key " + key);
    EXPECT_TRUE(game.waitFor([&] { return game.mainLoopsStarted() == runs + 1; }, 90))
        << game.output();
    EXPECT_EQ(game.endNotice(), "") << "the restarted game's page still says it has ended";
}

// The canvas's box on the page and the page itself, in CSS pixels.
struct PageBox {
    double left = 0, top = 0, width = 0, height = 0;
    double pageWidth = 0, pageHeight = 0, ratio = 0;
    int pictureWidth = 0, pictureHeight = 0;
};

PageBox pageBox(BrowserGame& game) {
    PageBox b;
    const std::string answer = game.command(
        "eval (c => { var b = c.getBoundingClientRect(); return [b.left, b.top, b.width,"
        " b.height, innerWidth, innerHeight, devicePixelRatio, c.width, c.height]; })"
        "(document.getElementById('canvas'))");
    EXPECT_EQ(std::sscanf(answer.c_str(), "value [%lf,%lf,%lf,%lf,%lf,%lf,%lf,%d,%d]", &b.left,
                          &b.top, &b.width, &b.height, &b.pageWidth, &b.pageHeight, &b.ratio,
                          &b.pictureWidth, &b.pictureHeight),
              9)
        << answer;
    return b;
}

// The page's element ID in CSS pixels: [left, top, width, height], all 0 while it is not shown.
std::vector<double> elementBox(BrowserGame& game, const std::string& id) {
    std::vector<double> box(4);
    const std::string answer = game.command(
        "eval (e => { var b = e.getBoundingClientRect(); return [b.left, b.top, b.width,"
        " b.height]; })(document.getElementById('" +
        id + "'))");
    EXPECT_EQ(
        std::sscanf(answer.c_str(), "value [%lf,%lf,%lf,%lf]", &box[0], &box[1], &box[2], &box[3]),
        4)
        << answer;
    return box;
}

// Whether the hint that asks for the phone to be turned shows; it stands in the black above or
// below the picture, never on it.
bool turnHintShown(BrowserGame& game) {
    const std::vector<double> hint = elementBox(game, "turn");
    const PageBox b = pageBox(game);
    EXPECT_TRUE(hint[3] == 0 || hint[1] >= b.top + b.height - 1 || hint[1] + hint[3] <= b.top + 1)
        << "the hint stands on the picture";
    EXPECT_LE(hint[1] + hint[3], b.pageHeight);
    return hint[3] > 0;
}

// Once the verdict stands, the page offers another round: "Play again", below the verdict's
// text, clear of it and on the page, while the picture stays and the game runs on; Tab reaches
// it. Taken up ("keys": Tab then Enter; "tap": a finger), it loads a new round, whose page offers
// nothing; not taken up, Escape ends the game as before.
void checkTheOffer(BrowserGame& game, int left, int top, int right, int bottom,
                   const std::string& how) {
    ASSERT_TRUE(game.waitFor([&] { return elementBox(game, "offer")[3] > 0; }, 10))
        << "no offer of another round after the verdict";
    EXPECT_EQ(game.command("eval document.getElementById('offer').textContent"),
              "value \"Play again\"");
    EXPECT_EQ(game.endNotice(), "");
    EXPECT_EQ(game.command("frames 3"), "ok") << "the game stopped at the verdict";
    const PageBox b = pageBox(game);
    const std::vector<double> offer = elementBox(game, "offer");
    // The offer's box in picture pixels, beside the text's, and the page around it.
    const double scale = b.width / 1024;
    const double x0 = (offer[0] - b.left) / scale, x1 = (offer[0] + offer[2] - b.left) / scale;
    const double y0 = (offer[1] - b.top) / scale, y1 = (offer[1] + offer[3] - b.top) / scale;
    EXPECT_TRUE(x1 < left || x0 > right || y1 < top || y0 > bottom)
        << "the offer (" << x0 << ", " << y0 << ") to (" << x1 << ", " << y1
        << ") covers the verdict's text (" << left << ", " << top << ") to (" << right << ", "
        << bottom << ")";
    EXPECT_GT(y0, 384) << "the offer stands above the middle";
    EXPECT_GE(offer[0], 0);
    EXPECT_LE(offer[0] + offer[2], b.pageWidth);
    EXPECT_LE(offer[1] + offer[3], b.pageHeight);

    game.command("key Tab");
    EXPECT_EQ(game.command("eval document.activeElement.id"), "value \"offer\"");
    if (how.empty())
        return;
    const int runs = game.mainLoopsStarted();
    if (how == "tap")
        game.command("tap " + std::to_string(int((x0 + x1) / 2)) + " " +
                     std::to_string(int((y0 + y1) / 2)));
    else
        game.command("key Enter");
    ASSERT_TRUE(game.waitFor([&] { return game.mainLoopsStarted() == runs + 1; }, 90))
        << "no new round from the offer (" << how << ")\n"
        << game.output();
    EXPECT_EQ(game.command("frames 3"), "ok");
    EXPECT_EQ(elementBox(game, "offer")[3], 0) << "the new round still offers one";
}

bool black(Rgb c) {
    return near(c, {0, 0, 0}, 8);
}

// The rows of the running message's letters (green before the first pluck, pink after an odd
// number), from the top of the capitals to the baseline, in picture pixels.
int messageHeight(const Picture& p) {
    int top = p.height, bottom = -1;
    for (int y = p.height - 120; y < p.height; ++y)
        for (int x = 0; x < p.width / 2; ++x)
            if (near(p.at(x, y), {0, 255, 0}, 10) || near(p.at(x, y), {255, 181, 179}, 10)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom - top + 1;
}

// The game shows its 1024 x 768 picture in the largest box of that shape that fits the page,
// centred, with black beside or above it; the picture has background or art under every corner,
// the whole flower clear of its edges, and its message at least minimumText CSS pixels tall.
void checkTheFittedPicture(BrowserGame& game, double minimumText) {
    const PageBox b = pageBox(game);
    ASSERT_EQ(b.pictureWidth, 1024);
    ASSERT_EQ(b.pictureHeight, 768);
    const double pixel = 1 / b.ratio + 0.02; // one device pixel and the layout's rounding
    EXPECT_NEAR(b.width * 768, b.height * 1024, 1024 * pixel) << "the picture lost its shape";
    EXPECT_TRUE(std::abs(b.width - b.pageWidth) < pixel ||
                std::abs(b.height - b.pageHeight) < pixel)
        << b.width << " x " << b.height << " does not fill a " << b.pageWidth << " x "
        << b.pageHeight << " page";
    EXPECT_GE(b.left, 0);
    EXPECT_GE(b.top, 0);
    EXPECT_NEAR(b.left * 2 + b.width, b.pageWidth, 2 * pixel) << "not centred";
    EXPECT_NEAR(b.top * 2 + b.height, b.pageHeight, 2 * pixel) << "not centred";

    game.moveTo(1000, 700);
    Picture picture;
    ASSERT_TRUE(game.waitForPicture(
        [](const Picture& p) { return p.width == 1024 && !p.isBackground(512, 384); }, 30, picture))
        << "no flower in the picture";
    for (auto [x, y] : {std::pair{3, 3}, {1020, 3}, {3, 764}, {1020, 764}})
        EXPECT_FALSE(black(picture.at(x, y))) << "black in the picture at " << x << ", " << y;
    for (auto [x, y] : {std::pair{3, 384}, {1020, 384}, {512, 3}, {512, 764}})
        EXPECT_TRUE(picture.isBackground(x, y)) << "the flower reaches " << x << ", " << y;
    const double textHeight = messageHeight(picture) * b.height / 768;
    EXPECT_GE(textHeight, minimumText);

    // On the screen: the picture's corners show what the picture has there, the bars black.
    const Picture screen = game.screenshot();
    ASSERT_EQ(screen.width, static_cast<int>(std::lround(b.pageWidth * b.ratio)));
    auto device = [&](double cssX, double cssY) {
        return screen.at(static_cast<int>(cssX * b.ratio), static_cast<int>(cssY * b.ratio));
    };
    const double inset = 3 / b.ratio;
    for (auto [fx, fy] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}}) {
        const double x = b.left + inset + fx * (b.width - 2 * inset);
        const double y = b.top + inset + fy * (b.height - 2 * inset);
        EXPECT_FALSE(black(device(x, y))) << "black on the screen at " << x << ", " << y;
    }
    EXPECT_TRUE(b.left < 2 || black(device(b.left / 2, b.pageHeight / 2)))
        << "no bar beside the picture";
    EXPECT_TRUE(b.top < 2 || black(device(b.pageWidth / 2, b.top / 2))) << "no bar above it";
}

// A click or tap on the ring at picture pixel (x, y) is traced with its offset from the flower's
// centre: the press reached the game at the pixel drawn under it.
void checkAClickLands(BrowserGame& game, int x, int y) {
    const size_t before = game.lines("file /pelmora.log").size();
    game.click(x, y);
    std::vector<std::string> lines;
    ASSERT_TRUE(
        game.waitFor([&] { return (lines = game.lines("file /pelmora.log")).size() > before; }, 10))
        << "no click line for " << x << ", " << y;
    double dx = 0, dy = 0;
    ASSERT_EQ(std::sscanf(lines.back().c_str(), "%lf %lf", &dx, &dy), 2) << lines.back();
    EXPECT_NEAR(dx, x - 512, 0.01) << lines.back();
    EXPECT_NEAR(dy, -(y - 384), 0.01) << lines.back();
}

} // namespace

TEST(WebGame, PlaysEveryPetalToTheVerdictAndEndsOnEscape) {
    BrowserGame game("start 1024 768 1");
    ASSERT_TRUE(game.started()) << game.output();
    playEveryPetalToTheVerdict(game);
    checkTheEndedPage(game);
}

// The verdict's offer taken up from the keyboard: the new round plays on to Escape.
TEST(WebGame, PlaysAtDevicePixelRatioTwo) {
    BrowserGame game("start 512 384 2");
    ASSERT_TRUE(game.started()) << game.output();
    game.takeTheOfferBy("keys");
    playEveryPetalToTheVerdict(game);
    checkTheEndedPage(game, "Enter");
}

TEST(WebGame, PlaysInAWindowResizedBeforeTheStart) {
    BrowserGame game("start 1280 600 1 1024 768");
    ASSERT_TRUE(game.started()) << game.output();
    playEveryPetalToTheVerdict(game);
}

// 390 x 844 CSS pixels, 3 device pixels each: the picture fills the width, the band below asks
// for the phone to be turned, and every tap plucks the petal under the finger; one on the
// verdict's offer starts a new round. The page neither scrolls nor zooms under the taps.
TEST(WebGame, PlaysWithTapsOnAnUprightPhone) {
    BrowserGame game("phone 390 844 3");
    ASSERT_TRUE(game.started()) << game.output();
    game.useTaps();
    game.takeTheOfferBy("tap");
    ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();
    EXPECT_TRUE(turnHintShown(game));
    // The capitals of the game's 40-pixel lines are 21 pixels tall: 390 CSS pixels across the
    // picture make them 8 CSS pixels (the line 15).
    checkTheFittedPicture(game, 7.5);
    playEveryPetalToTheVerdict(game);
    EXPECT_EQ(game.command("eval [visualViewport.scale, scrollX, scrollY]"), "value [1, 0, 0]");
    checkTheEndedPage(game, "Space");
}

// Turned after the start, the phone shows the picture fitted to its new height without the hint
// to turn it, and taps still land on the pixel drawn under them; turned back, to its width again,
// with the hint.
TEST(WebGame, FitsThePictureAgainWhenThePhoneTurns) {
    BrowserGame game("phone 390 844 3");
    ASSERT_TRUE(game.started()) << game.output();
    game.useTaps();
    ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();
    game.command("resize 844 390");
    game.command("frames 3");
    EXPECT_FALSE(turnHintShown(game));
    checkTheFittedPicture(game, 10);
    checkAClickLands(game, 700, 383);
    checkAClickLands(game, 433, 611);
    game.command("resize 390 844");
    game.command("frames 3");
    EXPECT_TRUE(turnHintShown(game));
    checkTheFittedPicture(game, 7.5);
    checkAClickLands(game, 301, 170);
}

// A laptop's 1280 x 800 page at 2 device pixels per CSS pixel, and a 1920 x 1080 desktop page:
// the picture fills the height, with bars beside it and no hint to turn anything, and clicks
// land where they are drawn.
TEST(WebGame, FitsThePictureOnALaptopAndAWidePage) {
    for (const char* opening : {"start 1280 800 2", "start 1920 1080 1"}) {
        SCOPED_TRACE(opening);
        BrowserGame game(opening);
        ASSERT_TRUE(game.started()) << game.output();
        ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();
        checkTheFittedPicture(game, 10);
        EXPECT_FALSE(turnHintShown(game));
        checkAClickLands(game, 801, 277);
    }
}

// Leaving the page and coming back neither ends the game nor leaves keys held: after a link away
// and Back the browser either brings the page back from its cache, still playing, or loads it
// afresh; the mouse's Back and Forward buttons over the game (with pages behind and ahead in the
// history) leave the page where it is; after Alt+Tab to another tab and back (the page hears Alt
// go down, never up) Escape still ends the game.
TEST(WebGame, PlaysOnAfterBackAndATabSwitch) {
    BrowserGame game("start 1024 768 1");
    ASSERT_TRUE(game.started()) << game.output();
    ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();
    checkAClickLands(game, 700, 384);
    const std::string back = game.command("away-and-back");
    ASSERT_TRUE(back == "ok restored" || back == "ok loaded") << back;
    EXPECT_EQ(game.command("frames 5"), "ok") << "no frames after Back";
    EXPECT_EQ(game.endNotice(), "");
    game.moveTo(1000, 700);
    checkAClickLands(game, 330, 300);
    // Three lines of the start, and the clicks of the page that is shown.
    EXPECT_EQ(game.lines("file /pelmora.log").size(), back == "ok restored" ? 5u : 4u);

    ASSERT_EQ(game.command("eval history.length"), "value 3") << "no pages behind and ahead";
    const std::string here = game.command("eval location.href");
    for (const char* button : {"back", "forward"}) {
        game.command(std::string("press ") + button + " 500 600");
        // A navigation the button started has left the page by the end of these frames.
        EXPECT_EQ(game.command("frames 10"), "ok") << button;
        EXPECT_EQ(game.command("eval location.href"), here) << button;
    }

    ASSERT_EQ(game.command("alt-tab"), "ok");
    game.pressEscape();
    EXPECT_EQ(game.waitForExit(30), 0) << "Escape after a tab switch with Alt held";
}

// The flower does not follow the clock: with the page's clock pinned to one instant and slowed a
// thousandfold, as if every load made its flower at the same moment, six loads show three petal
// counts or more (chance gives fewer about once in 25,000 runs; a count drawn from the start time
// gives one, or two across a boundary).
TEST(WebGame, ShowsDifferentFlowersForLoadsAtOneInstant) {
    BrowserGame game("start 1024 768 1");
    ASSERT_TRUE(game.started()) << game.output();
    ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();
    ASSERT_EQ(game.command(R"js(devtools Page.addScriptToEvaluateOnNewDocument {"source": ")js"
                           R"js((function() { var instant = 1765000000000;)js"
                           R"js( var now = performance.now.bind(performance);)js"
                           R"js( performance.now = function() { return now() / 1000; };)js"
                           R"js( Object.defineProperty(Performance.prototype, 'timeOrigin',)js"
                           R"js( {get: function() { return instant; }}); Date.now = function())js"
                           R"js( { return instant + performance.now(); }; })()"})js"),
              std::string("value {\"identifier\": \"1\"}"))
        << "the clock was not pinned";
    std::set<int> counts;
    std::string shown;
    for (int load = 1; load <= 6; ++load) {
        ASSERT_EQ(game.command("reload"), "ok") << game.output();
        ASSERT_TRUE(game.waitFor([&] { return game.mainLoopsStarted() == load + 1; }, 90))
            << game.output();
        Picture flower;
        ASSERT_TRUE(game.waitForPicture(
            [](const Picture& p) { return p.width == 1024 && !p.isBackground(512, 384); }, 30,
            flower));
        const int petals = petalsShown(flower);
        EXPECT_TRUE(petals >= 20 && petals <= 49) << petals;
        counts.insert(petals);
        shown += " " + std::to_string(petals);
    }
    EXPECT_GE(counts.size(), 3u) << "petals:" << shown;
}

// A page that cannot start says what went wrong and what to do, and the game does not start; a
// game whose graphics the browser takes back says so too. The data packed with gzip that is cut
// short fails to unpack; a browser without DecompressionStream fetches the plain package, whose
// length is checked.
TEST(WebGame, SaysWhyItCannotPlay) {
    struct Fault {
        const char* name;
        std::vector<std::string> said;
        bool programRuns;
    };
    const Fault faults[] = {
        {"missing", {"pelmora.data.gz", "HTTP 404", "Reload the page"}, false},
        {"truncated",
         {"pelmora.data.gz", "arrived incomplete or damaged", "Reload the page"},
         false},
        {"plain truncated", {"pelmora.data)", "arrived incomplete", "Reload the page"}, false},
        {"file", {"opened from a file", "web server", "bash scripts/play-web.sh"}, false},
        {"exception", {"The game has stopped", "WebGL is switched off", "Reload the page"}, true},
        {"lost", {"picture was lost", "Reload the page"}, true},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        const std::string name = fault.name;
        const bool plain = name.rfind("plain ", 0) == 0;
        BrowserGame game(std::string(plain ? "plain " : "") + "broken 1024 768 1 " +
                         name.substr(plain ? 6 : 0));
        ASSERT_TRUE(game.started()) << game.output();
        std::string notice;
        ASSERT_TRUE(game.waitFor([&] { return !(notice = game.endNotice()).empty(); }, 30))
            << game.output();
        for (const std::string& words : fault.said)
            EXPECT_NE(notice.find(words), std::string::npos) << notice;
        std::smatch sizes;
        if (std::regex_search(notice, sizes, std::regex(R"((\d+) of (\d+) bytes)")))
            EXPECT_EQ(std::stol(sizes[1]), std::stol(sizes[2]) / 2) << notice;
        else
            EXPECT_NE(name, "plain truncated") << notice;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(game.logLines().empty(), !fault.programRuns) << game.output();
        EXPECT_EQ(game.command("eval document.getElementById('canvas').style.display"),
                  "value \"none\"");
    }
}

// On a slow link the status line counts the download: in per cent of the files' lengths from a
// plain server, in KB received from a host that compresses what it sends (it states only the
// packed lengths). The game starts once everything has arrived.
TEST(WebGame, CountsTheDownloadOnASlowLink) {
    const std::pair<const char*, const char*> openings[] = {
        {"slow start 1024 768 1", R"(^value "Downloading data\\u2026 [1-9]\d*%"$)"},
        {"slow site 1024 768 1", R"(^value "Downloading data\\u2026 [1-9]\d* KB"$)"},
    };
    for (const auto& [opening, shown] : openings) {
        SCOPED_TRACE(opening);
        BrowserGame game(opening);
        ASSERT_TRUE(game.started()) << game.output();
        std::string status;
        EXPECT_TRUE(game.waitFor(
            [&] {
                status = game.command("eval document.getElementById('status').textContent");
                return std::regex_match(status, std::regex(shown));
            },
            20))
            << status;
        EXPECT_EQ(game.command("frames 3"), "ok") << game.output();
    }
}

// ---- The release page: installable, and started again without the server ---------------------

namespace {

// The manifest as the page links it, read back in the page: its name, display and colours, and
// each icon's stated size with the size the browser decodes ("192x192=192x192").
const std::string manifestSummary =
    "(async function() {"
    " const link = document.querySelector('link[rel=manifest]');"
    " const m = await (await fetch(link.href)).json();"
    " const icons = await Promise.all(m.icons.map(icon => new Promise(done => {"
    "  const image = new Image();"
    "  image.onload = () => done(icon.sizes + '=' + image.naturalWidth + 'x' + "
    "image.naturalHeight);"
    "  image.onerror = () => done(icon.sizes + '=missing');"
    "  image.src = new URL(icon.src, link.href); })));"
    " return [m.name, m.short_name, m.start_url, m.display, m.orientation, m.theme_color,"
    "  m.background_color, icons.join(' ')].join('|'); })()";

// The next release, made in `folder` from this one as a build makes one in which only the page
// changed: index.html with another title, and the worker written again by the build's own script
// over the files its list names. Answers the new worker's cache name ("" when it failed).
std::string nextRelease(const std::string& folder) {
    namespace fs = std::filesystem;
    fs::copy(pageDirectory(), folder, fs::copy_options::recursive);
    const std::string page = folder + "/index.html";
    std::string html = testsupport::readFile(page);
    const size_t title = html.find("<title>Pelmora</title>");
    if (title == std::string::npos)
        return "";
    testsupport::writeFile(page, html.replace(title, 22, "<title>Pelmora (next)</title>"));

    const std::string worker = testsupport::readFile(folder + "/sw.js");
    std::string files;
    const std::regex entry(R"re("([^"]+)": (\d+|\[))re"); // a packed file's: [packed, plain]
    for (std::sregex_iterator i(worker.begin(), worker.end(), entry), end; i != end; ++i)
        files += (files.empty() ? "" : ",") + (*i)[1].str();
    testsupport::ChildProcess cmake(
        {PELMORA_CMAKE, "-DPAGE_DIR=" + folder, "-DFILES=" + files, "-DVERSION=" PELMORA_VERSION,
         "-DTEMPLATE=" PELMORA_WEB_PACKAGING "/sw.js.in", "-DOUTPUT=" + folder + "/sw.js", "-P",
         PELMORA_WEB_PACKAGING "/ServiceWorker.cmake"});
    std::smatch name;
    const bool written = cmake.wait() == 0;
    const std::string rewritten = testsupport::readFile(folder + "/sw.js");
    if (!written || !std::regex_search(rewritten, name, std::regex(R"("(pelmora-[^" ]+) )")))
        return "";
    return name[1];
}

// The other icons the page links (favicon, Apple touch icon): "rel=status type" each.
const std::string linkedIcons =
    "Promise.all(['icon', 'apple-touch-icon'].map(rel => fetch(document.querySelector("
    "'link[rel=\"' + rel + '\"]').href).then(r => rel + '=' + r.status + ' ' +"
    " r.headers.get('content-type')))).then(a => a.join(', '))";

// The program's and the data's files the page fetched, and those its worker's cache holds.
const std::string fetchedFiles =
    "performance.getEntriesByType('resource').map(e => e.name.split('/').pop())"
    ".filter(n => /^pelmora\\.(js|wasm|data)/.test(n)).sort().join(' ')";
const std::string cachedFiles =
    "caches.keys().then(k => caches.open(k[0])).then(c => c.keys()).then(r => r.map(q =>"
    " q.url.split('/').pop()).filter(n => /^pelmora\\.(js|wasm|data)/.test(n)).sort().join(' '))";
const std::string packedFiles = "pelmora.data.gz pelmora.js.gz pelmora.wasm.gz";
const std::string plainFiles = "pelmora.data pelmora.js pelmora.wasm";

// The server gone, the page and the game come from the worker's cache.
void checkStartsWithoutTheServer(BrowserGame& game) {
    ASSERT_EQ(game.command("server stop"), "ok");
    const int started = game.mainLoopsStarted();
    ASSERT_EQ(game.command("reload"), "ok") << game.output();
    EXPECT_TRUE(game.waitFor([&] { return game.mainLoopsStarted() == started + 1; }, 60))
        << game.output();
    EXPECT_EQ(game.command("frames 5"), "ok") << game.output();
    EXPECT_EQ(game.command("eval fetch('sw.js', {cache: 'no-store'}).then(() => 'served',"
                           " () => 'unreachable')"),
              "value \"unreachable\"")
        << "the server still answers";
}

} // namespace

// Served as a web host serves games (a folder of a site that compresses what it sends and has
// the browser unpack the .gz files, another release of the game in the folder beside it), the
// page installs, keeps its offline copy apart from the other release's, is the next release (one
// that changed only index.html) at the next visit, starting once, and starts again without the
// server.
TEST(WebRelease, InstallsAndStartsAgainWithoutTheServer) {
    BrowserGame game("site 1024 768 1");
    ASSERT_TRUE(game.started()) << game.output();
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();
    EXPECT_EQ(game.command("eval " + fetchedFiles), "value \"" + packedFiles + "\"");

    EXPECT_EQ(game.command("eval " + manifestSummary),
              "value \"Pelmora|Pelmora|index.html|fullscreen|landscape|#000000|#000000|"
              "192x192=192x192 512x512=512x512\"");
    EXPECT_EQ(game.command("eval " + linkedIcons),
              "value \"icon=200 image/vnd.microsoft.icon, apple-touch-icon=200 image/png\"");
    // Chrome's own verdict on the manifest, its icons and the page: nothing stands in the way.
    EXPECT_EQ(game.command("devtools Page.getInstallabilityErrors"),
              "value {\"installabilityErrors\": []}");

    // The worker comes once the game runs; from the next load on it answers for the page.
    EXPECT_EQ(game.command("eval navigator.serviceWorker.ready.then(r => r.active.scriptURL"
                           " == new URL('sw.js', location.href).href)"),
              "value true");
    ASSERT_EQ(game.command("reload"), "ok");
    EXPECT_EQ(game.command("eval navigator.serviceWorker.controller != null"), "value true");
    const std::string caches = game.command("eval caches.keys()");
    EXPECT_EQ(caches.rfind("value [\"pelmora-" PELMORA_VERSION "-", 0), 0u) << caches;
    EXPECT_EQ(std::count(caches.begin(), caches.end(), ','), 0) << "one cache only: " << caches;
    EXPECT_EQ(game.command("eval " + cachedFiles), "value \"" + packedFiles + "\"");
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();

    // The release beside it installs its own worker and cache, and leaves this one's alone.
    ASSERT_EQ(game.command("go ../pelmora 1.0/"), "ok") << game.output();
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();
    EXPECT_EQ(game.command("eval navigator.serviceWorker.ready.then(r => new Promise(done => {"
                           " const end = () => r.active.state == 'activated' && done(true);"
                           " r.active.addEventListener('statechange', end); end(); }))"
                           ".then(() => caches.keys()).then(names => names.length)"),
              "value 2");
    ASSERT_EQ(game.command("go ../pelmora 1.1/"), "ok") << game.output();
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();

    // A new release in this folder: at the next visit, before the game starts, its worker fills
    // a cache of its own and takes over, and the page is the new one, the game started once.
    // This folder's old cache goes while the one beside it stays.
    const std::string next = nextRelease(testsupport::workDirectory() + "/next");
    ASSERT_NE(next, "");
    EXPECT_EQ(caches.find(next), std::string::npos) << "the new release's cache has the old name";
    ASSERT_EQ(game.command("publish " + testsupport::workDirectory() + "/next"), "ok");
    const int visits = game.mainLoopsStarted();
    ASSERT_EQ(game.command("reload"), "ok") << game.output();
    EXPECT_TRUE(game.waitFor([&] { return game.mainLoopsStarted() > visits; }, 60))
        << game.output();
    EXPECT_EQ(game.command("eval document.title"), "value \"Pelmora (next)\"")
        << "the next visit is not the next release";
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();
    EXPECT_EQ(game.mainLoopsStarted(), visits + 1) << "a game started before the new release";
    EXPECT_EQ(game.command("eval caches.keys().then(names => names.map(n => n.split(' ')[0])"
                           ".sort().join(' '))"),
              "value \"pelmora-1.0.0-beside " + next + "\"");
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();

    checkStartsWithoutTheServer(game);
}

// A browser without DecompressionStream fetches the plain files and plays the whole game; its
// worker keeps those, not the packed ones, and the game starts again without the server.
TEST(WebRelease, PlaysThePlainFilesAndKeepsThemOffline) {
    BrowserGame game("plain start 1024 768 1");
    ASSERT_TRUE(game.started()) << game.output();
    playEveryPetalToTheVerdict(game);
    EXPECT_EQ(game.command("eval " + fetchedFiles), "value \"" + plainFiles + "\"");

    EXPECT_EQ(game.command("eval navigator.serviceWorker.ready.then(r => r.active.scriptURL"
                           " == new URL('sw.js?plain', location.href).href)"),
              "value true");
    ASSERT_EQ(game.command("reload"), "ok");
    EXPECT_EQ(game.command("eval navigator.serviceWorker.controller != null"), "value true");
    EXPECT_EQ(game.command("eval " + cachedFiles), "value \"" + plainFiles + "\"");
    checkStartsWithoutTheServer(game);
}

// A file that does not arrive whole is never kept: with the 512 px icon cut to half its size on
// the server (a half-copied upload), the worker's installation fails and leaves no cache, while
// the game itself still plays.
TEST(WebRelease, KeepsNothingWhenAFileArrivesCutShort) {
    namespace fs = std::filesystem;
    const fs::path page = fs::path(testsupport::workDirectory()) / "page";
    fs::copy(pageDirectory(), page, fs::copy_options::recursive);
    const fs::path icon = page / "icons" / "pelmora-512.png";
    fs::resize_file(icon, fs::file_size(icon) / 2);
    setenv("PELMORA_WEB_PAGE", page.c_str(), 1);

    BrowserGame game("start 1024 768 1");
    ASSERT_TRUE(game.started()) << game.output();
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();
    // The page's own registration, taken up again here, ends with the worker's fate.
    EXPECT_EQ(game.command("eval navigator.serviceWorker.register('sw.js').then(r => new "
                           "Promise(done => { const w = r.installing || r.waiting || r.active;"
                           " const end = () => ['activated', 'redundant'].includes(w.state) &&"
                           " done(w.state); w.addEventListener('statechange', end); end(); }))"
                           ".then(state => caches.keys().then(names => state + ' ' +"
                           " names.length))"),
              "value \"redundant 0\"");
    EXPECT_EQ(game.command("frames 5"), "ok") << game.output();
}
