// The whole-game checks that every driver runs.
#include "tests/whole_game/WholeGame.h"

#include "game/Messages.h"
#include "resources/formats/GlfFormat.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <thread>

using Clock = std::chrono::steady_clock;

namespace {

using testsupport::LovesGreen;
using testsupport::LovesNotPink;
using testsupport::VerdictYellow;

// Sum of the glyph advances of text at the given size, read from the ".glf" file the game draws
// with, as its font loader reads it.
float fontTextWidth(const std::string& path, const char* text, float size) {
    const formats::Bytes bytes = testsupport::readFile<formats::Bytes>(path);
    formats::MemorySource source(bytes);
    formats::GlfFile font;
    const formats::Verdict verdict = formats::readGlf(source, font);
    if (!verdict) {
        ADD_FAILURE() << path << ": " << verdict.reason();
        return 0;
    }
    float advance[formats::GlfGlyphCount] = {};
    for (uint32_t i = 0; i < formats::glyphRecordCount(*font.glyphs); ++i) {
        const formats::GlyphRecord glyph = formats::readGlyphRecord(*font.glyphs, i);
        if (glyph.code < formats::GlfGlyphCount)
            advance[glyph.code] = static_cast<float>(glyph.advance) / font.extension.unitSize;
    }
    float width = 0;
    for (const char* p = text; *p; ++p)
        width += size * advance[static_cast<unsigned char>(*p)];
    return width;
}

// Where the petals stand: runs of non-background pixels around a circle through the ring.
struct Petal {
    double angle; // middle of the run, clockwise on screen
};

std::vector<Petal> findPetals(const Picture& p, double cx, double cy, double radius) {
    const int samples = 8192;
    std::vector<bool> petal(samples);
    for (int i = 0; i < samples; ++i) {
        double a = 2 * M_PI * i / samples;
        petal[i] = !p.isBackground(static_cast<int>(std::lround(cx + radius * std::cos(a))),
                                   static_cast<int>(std::lround(cy + radius * std::sin(a))));
    }
    int start = 0; // begin the walk on a background sample so that no run wraps around
    while (start < samples && petal[start])
        ++start;
    const double minimumGap = 1.5 / (2 * M_PI * radius) * samples; // samples in 1.5 pixels
    std::vector<std::pair<int, int>> runs;                         // first, last sample
    int gap = 0;
    for (int k = 1; k <= samples; ++k) {
        int i = (start + k) % samples;
        if (!petal[i]) {
            ++gap;
            continue;
        }
        // A shorter gap is a speck of background-like art inside a petal.
        if (runs.empty() || gap >= minimumGap)
            runs.push_back({start + k, start + k});
        runs.back().second = start + k;
        gap = 0;
    }
    std::vector<Petal> petals;
    for (auto [first, last] : runs)
        if ((last - first) / static_cast<double>(samples) * 2 * M_PI * radius > 5)
            petals.push_back({2 * M_PI * ((first + last) / 2.0) / samples});
    return petals;
}

struct MessageColours {
    int green, pink;
};

MessageColours messageColours(const Picture& p) {
    return {p.countColour(0, p.height - 120, p.width / 2, p.height, LovesGreen),
            p.countColour(0, p.height - 120, p.width / 2, p.height, LovesNotPink)};
}

bool showsLoves(const Picture& p) {
    MessageColours c = messageColours(p);
    return c.green > 30 && c.pink < 5;
}

bool showsLovesNot(const Picture& p) {
    MessageColours c = messageColours(p);
    return c.pink > 30 && c.green < 5;
}

const std::regex ClickLine(R"((-?\d+\.\d\d) (-?\d+\.\d\d) (-?\d+\.\d\d\d))");

} // namespace

int Picture::count(int x0, int y0, int x1, int y1,
                   const std::function<bool(int, int)>& test) const {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
            n += test(x, y);
    return n;
}

int Picture::countColour(int x0, int y0, int x1, int y1, Rgb colour) const {
    return count(
        x0, y0, x1, y1, [&](int x, int y) { return near(at(x, y), colour, 10); });
}

void savePng(const Picture& picture, const std::string& path) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (const Rgb& c : picture.pixels)
        rgb.insert(rgb.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
    png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
}

Picture decodePng(const std::string& png) {
    Picture picture;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return picture;
    picture.width = int(image.width);
    picture.height = int(image.height);
    picture.pixels.resize(rgb.size() / 3);
    for (size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    return picture;
}

int petalsShown(const Picture& picture) {
    const double cy = picture.height * 0.5;
    return static_cast<int>(findPetals(picture, picture.width * 0.5, cy, 0.4 * cy).size());
}

bool GameDriver::waitFor(const std::function<bool()>& condition, double seconds) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

bool GameDriver::waitForLogLine(const std::string& wanted, double seconds) {
    return waitFor(
        [&] {
            for (const auto& line : logLines())
                if (line == wanted)
                    return true;
            return false;
        },
        seconds);
}

bool GameDriver::waitForPicture(const std::function<bool(const Picture&)>& condition,
                                double seconds, Picture& picture) {
    return waitFor(
        [&] {
            picture = capture();
            return !picture.pixels.empty() && condition(picture);
        },
        seconds);
}

void playEveryPetalToTheVerdict(GameDriver& game) {
    ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();

    // Park the pointer where the cursor covers nothing that is checked below, and take the
    // picture only once the game draws it there (the strip above the frame rate): a cursor still
    // standing where an earlier game left the pointer, on the flower's ring, joins two petals.
    // The pointer steps aside and back each time, since a move to where it already is reports
    // nothing, and a window that is only just shown may miss the first one.
    Picture shot;
    ASSERT_TRUE(game.waitFor(
        [&] {
            game.moveTo(999, 700);
            game.moveTo(1000, 700);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            shot = game.capture();
            return shot.width >= 1024 && shot.height >= 768 && !shot.isBackground(512, 384) &&
                   showsLoves(shot) && shot.count(1000, 700, 1024, 731, [&](int x, int y) {
                       return !shot.isBackground(x, y);
                   }) > 200;
        },
        30))
        << "no flower on the screen, or no cursor where the pointer was parked";
    const double cx = shot.width * 0.5, cy = shot.height * 0.5;
    const double inner = 0.1 * cy, outer = 0.7 * cy;
    if (const char* path = std::getenv("PELMORA_SCREENSHOT"))
        savePng(shot, path);

    // Tiled background beside the flower, logo, centre and the cursor where the pointer is.
    int area = (1024 - 870) * (512 - 128);
    EXPECT_GT(shot.count(
                  870, 128, 1024, 512, [&](int x, int y) { return shot.isBackground(x, y); }),
              area * 98 / 100);
    EXPECT_GT(shot.count(
                  0, 0, 256, 128, [&](int x, int y) { return !shot.isBackground(x, y); }),
              256 * 128 / 5);
    EXPECT_GT(shot.count(
                  static_cast<int>(cx) - 25, static_cast<int>(cy) - 25, static_cast<int>(cx) + 25,
                  static_cast<int>(cy) + 25,
                  [&](int x, int y) { return !shot.isBackground(x, y); }),
              50 * 50 * 9 / 10);
    auto cursorAt = [](const Picture& p, int x, int y) {
        return p.count(x, y, x + 63, y + 63,
                       [&](int px, int py) { return !p.isBackground(px, py); });
    };
    EXPECT_EQ(cursorAt(shot, 940, 560), 0);
    game.moveTo(940, 560);
    Picture moved;
    EXPECT_TRUE(game.waitForPicture(
        [&](const Picture& p) { return cursorAt(p, 940, 560) > 63 * 63 / 10; }, 10, moved))
        << "no cursor picture at the pointer";

    std::vector<Petal> petals = findPetals(shot, cx, cy, (inner + outer) * 0.5);
    const int count = static_cast<int>(petals.size());
    ASSERT_GE(count, 20);
    ASSERT_LE(count, 49);
    for (int i = 0; i < count; ++i)
        ASSERT_NEAR(petals[i].angle, (i + 0.5) * 2 * M_PI / count, M_PI / count) << i;

    std::vector<std::pair<int, int>> clicks;
    auto clickPetal = [&](int i) {
        double radius = (inner + outer) * 0.5;
        int x = static_cast<int>(std::lround(cx + radius * std::cos(petals[i].angle)));
        int y = static_cast<int>(std::lround(cy + radius * std::sin(petals[i].angle)));
        game.click(x, y);
        clicks.push_back({x, y});
    };
    Picture now;
    for (int i = 0; i < count - 1; ++i) {
        clickPetal(i);
        bool loves = (i + 1) % 2 == 0;
        ASSERT_TRUE(game.waitForPicture(loves ? showsLoves : showsLovesNot, 10, now))
            << "the answer did not flip after petal " << i;
        ASSERT_FALSE(now.isBackground(static_cast<int>(cx), static_cast<int>(cy)));
        if (i == 0) {
            clickPetal(0); // already plucked: nothing may change
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            now = game.capture();
            EXPECT_TRUE(showsLovesNot(now)) << "a repeated click flipped the answer";
        }
    }
    clickPetal(count - 1);
    ASSERT_TRUE(game.waitForPicture(
        [&](const Picture& p) {
            return p.countColour(0, 0, p.width, p.height, VerdictYellow) > 100;
        },
        10, now))
        << "no verdict after the last petal";

    // The verdict stands alone: no petals, no centre, no running message.
    EXPECT_TRUE(now.isBackground(static_cast<int>(cx), static_cast<int>(cy)));
    // Below the centre, clear of the verdict text, the ring shows only background.
    int ringLeft = 0;
    for (int i = 0; i < 1000; ++i) {
        double a = M_PI * (0.05 + 0.9 * i / 1000);
        double r = (inner + outer) * 0.5;
        ringLeft += !now.isBackground(static_cast<int>(cx + r * std::cos(a)),
                                      static_cast<int>(cy + r * std::sin(a)));
    }
    EXPECT_EQ(ringLeft, 0);
    EXPECT_EQ(messageColours(now).green + messageColours(now).pink, 0);
    int left = now.width, right = -1, top = now.height, bottom = -1;
    for (int y = 0; y < now.height; ++y)
        for (int x = 0; x < now.width; ++x)
            if (near(now.at(x, y), VerdictYellow, 10)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    std::string font = game.fontFile();
    float loved = fontTextWidth(font, LovedVerdict, 80);
    float notLoved = fontTextWidth(font, NotLovedVerdict, 80);
    ASSERT_GT(std::abs(loved - notLoved), 20) << "the two verdicts cannot be told apart";
    float measured = static_cast<float>(right - left);
    bool lovedShown = std::abs(measured - loved) < std::abs(measured - notLoved);
    EXPECT_EQ(lovedShown, count % 2 == 0) << count << " petals; text " << measured
                                          << " wide, verdicts " << loved << " and " << notLoved;
    EXPECT_NEAR((left + right) * 0.5, cx, 40);

    // One trace line per click on the ring, the repeated one included.
    std::vector<std::pair<double, double>> traced;
    for (const auto& line : game.logLines()) {
        std::smatch m;
        if (std::regex_match(line, m, ClickLine))
            traced.push_back({std::stod(m[1]), std::stod(m[2])});
    }
    ASSERT_EQ(traced.size(), clicks.size());
    for (size_t i = 0; i < clicks.size(); ++i) {
        EXPECT_NEAR(traced[i].first, clicks[i].first - cx, 0.01) << i;
        EXPECT_NEAR(traced[i].second, -(clicks[i].second - cy), 0.01) << i;
    }

    game.atTheVerdict(left, top, right, bottom);
    game.pressEscape();
    EXPECT_EQ(game.waitForExit(30), 0) << game.output();
    std::vector<std::string> lines = game.logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Application terminated");
    // Every texture and the font loaded: a game that plays on with a missing one says so here.
    for (const auto& line : lines)
        EXPECT_EQ(line.find(" load failed"), std::string::npos) << line;
}

void playWithoutData(GameDriver& game) {
    ASSERT_TRUE(game.waitForLogLine("Running main loop...", 90)) << game.output();
    game.moveTo(1000, 700);
    Picture shot;
    // Flat white petals stand where the petal texture is missing.
    EXPECT_TRUE(game.waitForPicture(
        [](const Picture& p) {
            double angle = M_PI / 49; // inside the first petal for every count
            int x = static_cast<int>(p.width * 0.5 + 0.4 * p.height * 0.5 * std::cos(angle));
            int y = static_cast<int>(p.height * 0.5 + 0.4 * p.height * 0.5 * std::sin(angle));
            return near(p.at(x, y), {255, 255, 255}, 3);
        },
        30, shot));
    game.click(static_cast<int>(shot.width * 0.5) + 100, static_cast<int>(shot.height * 0.5));
    std::vector<std::string> lines = game.logLines();
    for (const char* name : {"textures/w_tavelina/petal", "textures/w_tavelina/cursor"})
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            std::string("Texture id=") + name + " load failed"),
                  lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Font id=data/graffiti load failed"),
              lines.end());
    game.pressEscape();
    EXPECT_EQ(game.waitForExit(30), 0) << game.output();
    lines = game.logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Application terminated");
    EXPECT_TRUE(std::regex_match(lines[lines.size() - 2], ClickLine)) << lines[lines.size() - 2];
}
