// The flower game and the frame-rate counter in-process: petal counts, geometry, plucking,
// the frame-rate arithmetic, and the drawing read back from a real offscreen GL context. No
// textures are registered here, so the flower stands in its flat fallback colours; the font
// comes from the build's data directory.
#include "app/Application.h"
#include "app/Log.h"
#include "app/Timer.h"
#include "game/FlowerScene.h"
#include "game/FrameRateDisplay.h"
#include "game/Messages.h"
#include "graphics/GraphicSystem.h"
#include "input/InputSystem.h"
#include "resources/DiskDirectory.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/TextStyle.h"
#include "tests/support/Rgb.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

const float TwoPi = 6.2831855f;

// Runs the engine's start-up once for the whole process, with the build's data directory.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        FileSystem::instance()->addSource("data/", new DiskDirectory(PELMORA_BINARY_DIR "/data"));
        GraphicSystem::instance()->useDesktopMode();
        GraphicSystem::instance()->setDoubleBuffer(true);
        Application::instance()->init();
    }
};
::testing::Environment* const engine = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

// The first seed whose flower has the given number of petals.
uint32_t seedFor(uint32_t count) {
    for (uint32_t seed = 0;; ++seed) {
        uint32_t state = seed;
        if (FlowerScene::petalCountFor(FlowerScene::nextRandom(state)) == count)
            return seed;
    }
}

InputState pointer(int32_t key, int32_t x, int32_t y) {
    InputState state{};
    state.key = key;
    state.mouseX = x;
    state.mouseY = y;
    return state;
}

bool click(FlowerScene& flower, int32_t x, int32_t y) {
    return flower.handleInput(EventPress, pointer(MouseLeft, x, y));
}

// A click in the middle of petal i's sector, halfway out on the ring.
bool clickPetal(FlowerScene& flower, uint32_t i) {
    float angle = (static_cast<float>(i) + 0.5f) * flower.petalStep;
    float radius = (flower.innerRadius + flower.outerRadius) * 0.5f;
    return click(flower,
                 static_cast<int32_t>(std::lround(flower.centreX + radius * std::cos(angle))),
                 static_cast<int32_t>(std::lround(flower.centreY + radius * std::sin(angle))));
}

using testsupport::lastLogLine;

std::string logText() {
    return testsupport::readFile("pelmora.log");
}

} // namespace

TEST(PetalCount, BoundaryDrawsGiveTwentyAndFortyNine) {
    EXPECT_EQ(FlowerScene::petalCountFor(0), 20u);
    EXPECT_EQ(FlowerScene::petalCountFor(1092), 20u);
    EXPECT_EQ(FlowerScene::petalCountFor(1093), 21u);
    EXPECT_EQ(FlowerScene::petalCountFor(31674), 48u);
    EXPECT_EQ(FlowerScene::petalCountFor(32767), 49u);
}

TEST(PetalCount, EveryDrawGivesTwentyToFortyNineInNearlyEqualShares) {
    uint32_t shares[50] = {};
    for (uint32_t r = 0; r <= 32767; ++r) {
        uint32_t count = FlowerScene::petalCountFor(r);
        ASSERT_GE(count, 20u);
        ASSERT_LE(count, 49u);
        ++shares[count];
    }
    for (uint32_t count = 20; count <= 49; ++count)
        EXPECT_TRUE(shares[count] == 1092 || shares[count] == 1093) << count;
}

TEST(PetalCount, GeneratorFollowsTheClassicRandSequence) {
    uint32_t state = 1;
    for (uint32_t expected : {41u, 18467u, 6334u, 26500u, 19169u})
        EXPECT_EQ(FlowerScene::nextRandom(state), expected);
}

TEST(PetalCount, SeedDecidesTheFlowerAndEveryPetalStartsPresent) {
    FlowerScene flower(1); // first draw 41
    EXPECT_EQ(flower.petalCount, 20u);
    EXPECT_EQ(flower.petalsLeft, 20u);
    EXPECT_EQ(flower.petals, std::vector<uint8_t>(20, 1));
    EXPECT_TRUE(flower.loves);
    EXPECT_EQ(flower.eventMask, EventPress);
    EXPECT_TRUE(flower.visible);
}

TEST(MissingData, TexturesThatFailToLoadAreLoggedAndLeftNull) {
    FlowerScene flower(1);
    EXPECT_EQ(flower.petalTexture, nullptr);
    EXPECT_EQ(flower.cursorTexture, nullptr);
    EXPECT_NE(logText().find("Texture id=textures/w_tavelina/petal load failed"),
              std::string::npos);
}

// The radii scale with the screen's height, the logo with both sides, the message with the bottom.
TEST(Geometry, ScreensOf1024By768And1280By1024) {
    const struct {
        float width, height;
        float centreX, centreY, outer, bulge, inner, logoWidth, logoHeight, messageY;
    } screens[] = {{1024, 768, 512, 384, 268.8f, 76.8f, 38.4f, 256, 128, 718},
                   {1280, 1024, 640, 512, 358.4f, 102.4f, 51.2f, 320, 1024.0f / 6, 974}};
    for (const auto& s : screens) {
        SCOPED_TRACE(s.width);
        FlowerScene flower(1);
        flower.resize(Rect(0, 0, s.width, s.height));
        EXPECT_FLOAT_EQ(flower.centreX, s.centreX);
        EXPECT_FLOAT_EQ(flower.centreY, s.centreY);
        EXPECT_FLOAT_EQ(flower.outerRadius, s.outer);
        EXPECT_FLOAT_EQ(flower.tipBulge, s.bulge);
        EXPECT_FLOAT_EQ(flower.innerRadius, s.inner);
        EXPECT_FLOAT_EQ(flower.petalStep, TwoPi / 20);
        EXPECT_FLOAT_EQ(flower.edgeAngleStep * 10 + 2 * flower.petalGap, flower.petalStep);
        EXPECT_FLOAT_EQ(flower.logoWidth, s.logoWidth);
        EXPECT_FLOAT_EQ(flower.logoHeight, s.logoHeight);
        EXPECT_FLOAT_EQ(flower.messageY, s.messageY);
    }
}

// On a 1000 x 800 screen the ring runs from exactly 40 to exactly 360 pixels from (500, 400).
class Plucking : public ::testing::Test {
protected:
    void SetUp() override { flower.resize(Rect(0, 0, 1000, 800)); }
    FlowerScene flower{seedFor(21)};
};

TEST_F(Plucking, BothRingBoundsAreHits) {
    EXPECT_TRUE(click(flower, 540, 400));
    EXPECT_TRUE(click(flower, 500, 760));
    EXPECT_EQ(flower.petalsLeft, 19u);
}

TEST_F(Plucking, JustOutsideTheRingIsNotConsumed) {
    EXPECT_FALSE(click(flower, 539, 400));
    EXPECT_FALSE(click(flower, 861, 400));
    EXPECT_FALSE(click(flower, 500, 400));
    EXPECT_EQ(flower.petalsLeft, 21u);
}

TEST_F(Plucking, SectorsRightBelowAndLeftOfTheCentre) {
    for (uint32_t count : {20u, 21u, 22u, 23u, 49u}) {
        FlowerScene f(seedFor(count));
        f.resize(Rect(0, 0, 1000, 800));
        ASSERT_TRUE(click(f, 700, 400));
        ASSERT_TRUE(click(f, 500, 600));
        ASSERT_TRUE(click(f, 300, 400));
        std::vector<uint8_t> expected(count, 1);
        expected[0] = expected[count / 4] = expected[count / 2] = 0;
        EXPECT_EQ(f.petals, expected) << count;
    }
}

TEST_F(Plucking, RepeatedClickIsConsumedAndChangesNothing) {
    ASSERT_TRUE(clickPetal(flower, 5));
    EXPECT_FALSE(flower.loves);
    EXPECT_TRUE(clickPetal(flower, 5));
    EXPECT_FALSE(flower.loves);
    EXPECT_EQ(flower.petalsLeft, 20u);
}

// The system cursor's display counter, as ShowCursor answers it, left as it was.
int cursorCounter() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// The last petal brings the system's pointer back, once: the verdict has no cursor of its own.
TEST_F(Plucking, VerdictFollowsTheParityOfThePetalCount) {
    for (uint32_t count : {20u, 21u, 48u, 49u}) {
        FlowerScene f(seedFor(count));
        f.resize(Rect(0, 0, 1000, 800));
        const int hidden = cursorCounter();
        for (uint32_t i = 0; i < count; ++i) {
            ASSERT_EQ(cursorCounter(), hidden) << "the pointer came back before petal " << i;
            ASSERT_TRUE(clickPetal(f, i));
            ASSERT_EQ(f.loves, (i + 1) % 2 == 0);
        }
        EXPECT_EQ(f.petalsLeft, 0u);
        EXPECT_EQ(f.loves, count % 2 == 0);
        EXPECT_EQ(cursorCounter(), hidden + 1);
        EXPECT_TRUE(clickPetal(f, 0)) << "a click on the ring is consumed after the verdict";
        EXPECT_EQ(cursorCounter(), hidden + 1);
        ShowCursor(FALSE);
    }
}

TEST_F(Plucking, OtherButtonsReleasesAndMovesNeverPluck) {
    EXPECT_FALSE(flower.handleInput(EventPress, pointer(MouseRight, 700, 400)));
    EXPECT_FALSE(flower.handleInput(EventPress, pointer(MouseMiddle, 700, 400)));
    EXPECT_FALSE(flower.handleInput(EventPress, pointer(WheelUp, 700, 400)));
    EXPECT_FALSE(flower.handleInput(EventRelease, pointer(MouseLeft, 700, 400)));
    EXPECT_FALSE(flower.handleInput(EventMove, pointer(MouseLeft, 700, 400)));
    EXPECT_EQ(flower.petalsLeft, 21u);
}

TEST_F(Plucking, EscapeRequestsQuitAndPassesTheKeyOn) {
    Application::instance()->quitRequested = false;
    EXPECT_FALSE(flower.handleInput(EventPress, pointer(KeyEscape, 700, 400)));
    EXPECT_TRUE(Application::instance()->quitRequested);
    Application::instance()->quitRequested = false;
    EXPECT_EQ(flower.petalsLeft, 21u);
}

TEST_F(Plucking, EachClickOnTheRingIsLogged) {
    ASSERT_TRUE(click(flower, 600, 300));
    EXPECT_EQ(lastLogLine(), "100.00 100.00 0.785");
    ASSERT_FALSE(click(flower, 100, 100));
    EXPECT_EQ(lastLogLine(), "100.00 100.00 0.785");
}

TEST_F(Plucking, AngleThatRoundsToFullCircleStaysOnTheLastPetal) {
    EXPECT_EQ(flower.petalIndexAt(TwoPi), 20u);
    EXPECT_EQ(flower.petalIndexAt(std::nextafter(TwoPi, 0.0f)), 20u);
    EXPECT_EQ(flower.petalIndexAt(0), 0u);

    // A centre a hair below the row of the click: the angle is so small that 2 pi minus it is
    // 2 pi again in single precision.
    flower.resize(Rect(0, 0, 1000, 800.00006f));
    float dy = -(400.0f - flower.centreY);
    ASSERT_EQ(TwoPi - std::atan2(dy, 300.0f), TwoPi);
    ASSERT_TRUE(click(flower, 800, 400));
    EXPECT_EQ(flower.petals.size(), 21u);
    EXPECT_EQ(flower.petals[20], 0);
    EXPECT_EQ(flower.petalsLeft, 20u);
}

TEST(FrameRatePlacement, ByTheWidthOfFourDigitsAndTheSize) {
    Font* font = Font::load("data/graffiti");
    ASSERT_NE(font, nullptr) << "the build's data/graffiti.glf";
    auto place = [&](int32_t h, int32_t v) {
        auto* display =
            new FrameRateDisplay(h, v, new TextStyle(font, Vector3(1, 0.9f, 0.47f), 32));
        display->resize(Rect(0, 0, 1024, 768));
        std::pair<float, float> at{display->textX, display->textY};
        delete display;
        return at;
    };
    float w = TextStyle(font, Vector3(), 32).width("9999");
    ASSERT_GT(w, 0);
    EXPECT_EQ(place(1, 3), std::make_pair(1024 - w, 736.0f));
    EXPECT_EQ(place(4, 4), std::make_pair((1024 - w) * 0.5f, 368.0f));
    EXPECT_EQ(place(2, 5), std::make_pair(0.0f, 0.0f));
}

class FrameRate : public ::testing::Test {
protected:
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            graphics->onFrame();
    }
    ApplicationComponent* graphics = dynamic_cast<ApplicationComponent*>(GraphicSystem::instance());
    FrameRateDisplay display{1, 3, new TextStyle(nullptr, Vector3(1, 1, 1), 32)};
};

TEST_F(FrameRate, RateIsFramesOverWholePeriodsAndCountRestarts) {
    ASSERT_NE(graphics, nullptr);
    EXPECT_EQ(display.framesPerSecond, 0);
    display.resize(Rect(0, 0, 1024, 768));
    frames(58);
    display.onTimer(1);
    EXPECT_EQ(display.framesPerSecond, 58);
    EXPECT_EQ(GraphicSystem::instance()->getFrameCount(), 0u);
    frames(10);
    display.onTimer(3);
    EXPECT_EQ(display.framesPerSecond, 3);
}

TEST_F(FrameRate, TimerCallsOnlyAfterMoreThanOnePeriod) {
    Timer* timer = Timer::instance();
    auto runAfter = [&](uint32_t elapsed, int framesCounted) {
        GraphicSystem::instance()->resetFrameCount();
        frames(framesCounted);
        display.framesPerSecond = -1;
        display.state = TimerListener::ListenerRunning;
        uint32_t before = timer->now();
        display.startTime = before - elapsed;
        timer->update();
        return std::make_pair(display.framesPerSecond, timer->now() == before);
    };
    EXPECT_EQ(runAfter(1500, 58).first, 58);
    EXPECT_EQ(runAfter(3500, 10).first, 3);
    bool sameMillisecond = false;
    for (int attempt = 0; attempt < 100 && !sameMillisecond; ++attempt) {
        auto [shown, same] = runAfter(1000, 5);
        if (same) {
            sameMillisecond = true;
            EXPECT_EQ(shown, -1) << "exactly one period is not yet due";
        }
    }
    EXPECT_TRUE(sameMillisecond);
}

// Draws into the offscreen back buffer under the scene's pixel projection and reads it back.
using testsupport::FlatCentreYellow;
using testsupport::LovesGreen;
using testsupport::LovesNotPink;
using testsupport::near;
using testsupport::Rgb;
using testsupport::VerdictYellow;

const Rgb White{255, 255, 255}, Meadow{31, 82, 41};

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        width = static_cast<int>(GraphicSystem::instance()->getWidth());
        height = static_cast<int>(GraphicSystem::instance()->getHeight());
        ASSERT_GE(width, 640);
        ASSERT_GE(height, 480);
        flower.resize(Rect(0, 0, static_cast<float>(width), static_cast<float>(height)));
        parkMouse(width - 70, 20);
    }

    void parkMouse(int x, int y) {
        InputSystem::instance()->onMessage(Application::instance()->window, WM_MOUSEMOVE, 0,
                                           MAKELPARAM(x, y));
    }

    void draw() {
        glViewport(0, 0, width, height);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width, height, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        flower.render();
        glFinish();
        pixels.assign(static_cast<size_t>(width) * height * 4, 0);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }

    Rgb at(float x, float y) const {
        int px = static_cast<int>(x), py = height - 1 - static_cast<int>(y);
        const uint8_t* p = &pixels[(static_cast<size_t>(py) * width + px) * 4];
        return {p[0], p[1], p[2]};
    }

    Rgb petalMiddle(uint32_t i) const {
        float angle = (static_cast<float>(i) + 0.5f) * flower.petalStep;
        float radius = (flower.innerRadius + flower.outerRadius) * 0.5f;
        return at(flower.centreX + radius * std::cos(angle),
                  flower.centreY + radius * std::sin(angle));
    }

    int countIn(int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& test) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += test(at(static_cast<float>(x), static_cast<float>(y)));
        return n;
    }

    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    FlowerScene flower{seedFor(24)};
};

#define EXPECT_RGB(actual, expected) EXPECT_PRED3(near, actual, expected, 3)

TEST_F(Drawing, FlatPetalsCentreAndBackgroundWithoutTextures) {
    draw();
    EXPECT_RGB(petalMiddle(0), White);
    EXPECT_RGB(petalMiddle(13), White);
    EXPECT_RGB(at(flower.centreX, flower.centreY), FlatCentreYellow);
    float gap = flower.petalStep * 7; // the gap between petals 6 and 7, halfway out
    float radius = (flower.innerRadius + flower.outerRadius) * 0.5f;
    EXPECT_RGB(at(flower.centreX + radius * std::cos(gap), flower.centreY + radius * std::sin(gap)),
               Meadow);
    EXPECT_RGB(at(static_cast<float>(std::min(width, 1024) - 5), flower.centreY), Meadow);
}

TEST_F(Drawing, PluckedPetalLeavesBackground) {
    ASSERT_TRUE(clickPetal(flower, 3));
    draw();
    EXPECT_RGB(petalMiddle(3), Meadow);
    EXPECT_RGB(petalMiddle(2), White);
    EXPECT_RGB(petalMiddle(4), White);
}

TEST_F(Drawing, CursorStandsAtTheMouse) {
    int x = width - 200, y = 200;
    parkMouse(x, y);
    draw();
    Rgb cursor = at(static_cast<float>(x + 30), static_cast<float>(y + 30));
    EXPECT_GT(cursor.r, Meadow.r + 100) << "the flat cursor is orange over the meadow";
    EXPECT_RGB(at(static_cast<float>(x + 70), static_cast<float>(y + 30)), Meadow);
    EXPECT_RGB(at(static_cast<float>(x - 5), static_cast<float>(y + 30)), Meadow);
}

TEST_F(Drawing, RunningMessageFlipsColourWithEachPluck) {
    ASSERT_NE(flower.lovesText->getFont(), nullptr) << "the build's data/graffiti.glf";
    int y0 = static_cast<int>(flower.messageY) - 60;
    auto green = [](Rgb c) { return near(c, LovesGreen, 3); };
    auto pink = [](Rgb c) { return near(c, LovesNotPink, 3); };
    draw();
    EXPECT_GT(countIn(0, y0, width / 2, height, green), 20);
    EXPECT_EQ(countIn(0, y0, width / 2, height, pink), 0);
    ASSERT_TRUE(clickPetal(flower, 0));
    draw();
    EXPECT_EQ(countIn(0, y0, width / 2, height, green), 0);
    EXPECT_GT(countIn(0, y0, width / 2, height, pink), 20);
}

TEST_F(Drawing, VerdictReplacesTheFlowerInTheMiddle) {
    ASSERT_NE(flower.verdictText->getFont(), nullptr) << "the build's data/graffiti.glf";
    for (uint32_t i = 0; i < flower.petalCount; ++i)
        ASSERT_TRUE(clickPetal(flower, i));
    parkMouse(width - 200, 200);
    draw();
    EXPECT_RGB(petalMiddle(0), Meadow);
    EXPECT_RGB(at(flower.centreX, flower.centreY), Meadow);
    EXPECT_RGB(at(static_cast<float>(width - 170), 230), Meadow) << "no cursor in the verdict";
    // Loved with 24 petals: the yellow text spans about its measured width around the centre.
    int left = width, right = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (near(at(static_cast<float>(x), static_cast<float>(y)), VerdictYellow, 3)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    float w = flower.verdictText->width(LovedVerdict);
    ASSERT_GT(right, left);
    EXPECT_NEAR(right - left, w, w * 0.15f);
    EXPECT_NEAR((left + right) * 0.5f, flower.centreX, w * 0.1f);
}
