// The web build's page played in headless Chromium with real mouse and key events, through the
// whole-game checks shared with the X11 test (tests/whole_game): the DevTools client
// (page_driver.py, a child process speaking lines) serves the page, starts the browser and
// cleans up after both. The canvas is 1024 x 768 device pixels in every case: a window of that
// size, half that size at a device pixel ratio of 2, and one resized to it just before the game
// starts. Beyond the shared checks: the console carries pelmora.log line for line, and the ended
// game leaves a page that says so and starts it again. The release page's own promises (an app
// manifest with real icons, a service worker that starts the game without the server) close the
// file.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/whole_game/WholeGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
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

class BrowserGame : public GameDriver {
public:
    // The viewport in CSS pixels and the device pixel ratio; a resize, when given, happens after
    // the page has laid out and before the game starts.
    BrowserGame(int width, int height, int ratio, int resizeWidth = 0, int resizeHeight = 0) {
        testsupport::ChildProcess::Options options;
        options.input = options.output = true;
        // The browser's profile and scratch files go with the test's working directory.
        options.environment = {"TMPDIR=" + testsupport::workDirectory()};
        driver_.emplace(
            std::vector<std::string>{"/usr/bin/python3", PELMORA_PAGE_DRIVER, pageDirectory()},
            options);
        std::string start = "start " + std::to_string(width) + " " + std::to_string(height) + " " +
                            std::to_string(ratio);
        if (resizeWidth > 0)
            start += " " + std::to_string(resizeWidth) + " " + std::to_string(resizeHeight);
        started_ = driver_->started() && command(start) == "ok";
    }

    // The driver ends the browser and its server before it ends itself.
    ~BrowserGame() override {
        if (driver_->started()) {
            command("quit");
            driver_->wait();
        }
    }

    bool started() const { return started_; }

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

    Picture capture() override {
        const std::string answer = command("capture");
        if (answer.rfind("png ", 0) != 0)
            return Picture();
        return decodePng(decodeBase64(answer.substr(4)));
    }

    void moveTo(int x, int y) override { pointer("move", x, y); }
    void click(int x, int y) override { pointer("click", x, y); }
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

    std::string fontFile() override { return PELMORA_WEB_DIR "/native/data/graffiti.glf"; }

private:
    std::string readLine() {
        std::string line;
        driver_->readLine(line);
        return line;
    }

    void pointer(const char* what, int x, int y) {
        command(std::string(what) + " " + std::to_string(x) + " " + std::to_string(y));
    }

    std::optional<testsupport::ChildProcess> driver_;
    bool started_ = false;
    std::string errors_;
};

// After the shared checks: pelmora.log in the page's file system and the console agree line for
// line, the page says that the game has ended, and its button starts the game again.
void checkTheEndedPage(BrowserGame& game) {
    const std::vector<std::string> console = game.logLines();
    EXPECT_EQ(game.lines("file /pelmora.log"), console);
    EXPECT_EQ(game.endNotice(), "The game has ended.");
    EXPECT_EQ(game.command("eval document.getElementById('canvas').style.display"),
              "value \"none\"")
        << "the last frame still stands on the page";

    // The button's centre in canvas pixels (the ratio is 1 here), clicked as a person would.
    const std::string button = game.command(
        "eval (b => [Math.round(b.left + b.width / 2), Math.round(b.top + b.height / 2)])"
        "(document.getElementById('again').getBoundingClientRect())");
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(button.c_str(), "value [%d, %d]", &x, &y), 2) << button;
    game.click(x, y);
    EXPECT_TRUE(game.waitFor(
        [&] {
            int runs = 0;
            for (const std::string& line : game.logLines())
                runs += line == "Running main loop...";
            return runs == 2;
        },
        90))
        << game.output();
    EXPECT_EQ(game.endNotice(), "") << "the restarted game's page still says it has ended";
}

} // namespace

TEST(WebGame, PlaysEveryPetalToTheVerdictAndEndsOnEscape) {
    BrowserGame game(1024, 768, 1);
    ASSERT_TRUE(game.started()) << game.output();
    playEveryPetalToTheVerdict(game);
    checkTheEndedPage(game);
}

TEST(WebGame, PlaysAtDevicePixelRatioTwo) {
    BrowserGame game(512, 384, 2);
    ASSERT_TRUE(game.started()) << game.output();
    playEveryPetalToTheVerdict(game);
}

TEST(WebGame, PlaysInAWindowResizedBeforeTheStart) {
    BrowserGame game(1280, 600, 1, 1024, 768);
    ASSERT_TRUE(game.started()) << game.output();
    playEveryPetalToTheVerdict(game);
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
    " return [m.name, m.short_name, m.start_url, m.display, m.theme_color, m.background_color,"
    "  icons.join(' ')].join('|'); })()";

// The other icons the page links (favicon, Apple touch icon): "rel=status type" each.
const std::string linkedIcons =
    "Promise.all(['icon', 'apple-touch-icon'].map(rel => fetch(document.querySelector("
    "'link[rel=\"' + rel + '\"]').href).then(r => rel + '=' + r.status + ' ' +"
    " r.headers.get('content-type')))).then(a => a.join(', '))";

int mainLoopsStarted(BrowserGame& game) {
    int runs = 0;
    for (const std::string& line : game.logLines())
        runs += line == "Running main loop...";
    return runs;
}

} // namespace

TEST(WebRelease, InstallsAndStartsAgainWithoutTheServer) {
    BrowserGame game(1024, 768, 1);
    ASSERT_TRUE(game.started()) << game.output();
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();

    EXPECT_EQ(game.command("eval " + manifestSummary),
              "value \"Pelmora|Pelmora|index.html|fullscreen|#000000|#000000|"
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
    ASSERT_EQ(game.command("frames 5"), "ok") << game.output();

    // The server gone, the page and the game come from the cache.
    ASSERT_EQ(game.command("server stop"), "ok");
    ASSERT_EQ(game.command("reload"), "ok") << game.output();
    EXPECT_TRUE(game.waitFor([&] { return mainLoopsStarted(game) == 3; }, 60)) << game.output();
    EXPECT_EQ(game.command("frames 5"), "ok") << game.output();
    EXPECT_EQ(game.command("eval fetch('sw.js', {cache: 'no-store'}).then(() => 'served',"
                           " () => 'unreachable')"),
              "value \"unreachable\"")
        << "the server still answers";
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

    BrowserGame game(1024, 768, 1);
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
