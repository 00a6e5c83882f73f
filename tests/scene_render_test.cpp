// The whole start-up road on a real window and GL context: the display component registered
// first gets the start-up hooks, the scene starts inside init and sizes its camera to the
// screen, scene pixels land on window pixels with y downwards, and a mouse message travels from
// the window procedure through the InputSystem and the scene to an object.
#include "app/Application.h"
#include "app/Log.h"
#include "app/Scene.h"
#include "graphics/GraphicSystem.h"
#include "input/InputSystem.h"
#include "tests/support/GlContext.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A filled rectangle in scene coordinates; records the clicks it is offered.
class Box : public SceneObject {
public:
    Box(Rect area_, float red_, float green_, float blue_)
        : area(area_), red(red_), green(green_), blue(blue_) {}

    bool handleInput(int32_t type, const InputState& state) override {
        if (type == EventPress && state.key == MouseLeft) {
            clicks.push_back({state.mouseX, state.mouseY});
            return true;
        }
        return false;
    }
    bool resize(const Rect& viewport) override {
        sizedTo = viewport;
        return true;
    }
    void render() override {
        glDisable(GL_TEXTURE_2D);
        glColor3f(red, green, blue);
        glBegin(GL_QUADS);
        glVertex2f(area.x0, area.y0);
        glVertex2f(area.x1, area.y0);
        glVertex2f(area.x1, area.y1);
        glVertex2f(area.x0, area.y1);
        glEnd();
    }

    Rect area;
    float red, green, blue;
    Rect sizedTo;
    std::vector<std::vector<int32_t>> clicks;
};

using testsupport::pixelAt;
using testsupport::Rgb;

} // namespace

TEST(SceneOnScreen, StartsInsideInitDrawsInPixelsAndReceivesClicks) {
    GraphicSystem* graphics = GraphicSystem::instance();
    graphics->useDesktopMode();
    graphics->setVsync(true);
    graphics->setDoubleBuffer(true);
    Application* app = Application::instance();
    ASSERT_EQ(app->components.size(), 1u);

    Box* green = new Box(Rect(10, 20, 30, 40), 0, 1, 0);
    Box* hidden = new Box(Rect(0, 0, 4000, 4000), 1, 0, 0);
    green->visible = true;
    app->scene->add(green);
    app->scene->add(hidden);
    ASSERT_TRUE(app->init());

    const int width = static_cast<int>(graphics->getWidth());
    const int height = static_cast<int>(graphics->getHeight());
    ASSERT_GT(width, 40);
    ASSERT_GT(height, 40);
    ASSERT_EQ(graphics->getLifecycleState(), GraphicSystem::StateContextReady);
    EXPECT_TRUE(app->scene->started);
    EXPECT_EQ(green->sizedTo.x1, float(width));
    EXPECT_EQ(green->sizedTo.y1, float(height));
    // Starting the scene brought the InputSystem in as the second component.
    ASSERT_EQ(app->components.size(), 2u);
    EXPECT_EQ(app->components[1], static_cast<ApplicationComponent*>(InputSystem::instance()));

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    app->scene->render();
    glFinish();
    EXPECT_EQ(pixelAt(20, 30, height), (Rgb{0, 255, 0}));
    EXPECT_EQ(pixelAt(20, 10, height), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixelAt(5, 30, height), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixelAt(20, 45, height), (Rgb{0, 0, 0}));

    // A click carries the position of the last mouse move.
    SendMessageA(app->window, WM_MOUSEMOVE, 0, LPARAM(20 | (30 << 16)));
    SendMessageA(app->window, WM_LBUTTONDOWN, MK_LBUTTON, LPARAM(20 | (30 << 16)));
    ASSERT_EQ(green->clicks.size(), 1u);
    EXPECT_EQ(green->clicks[0], std::vector<int32_t>({20, 30}));
    EXPECT_TRUE(hidden->clicks.empty());

    // One pass of the loop, then the four lines of a normal run.
    PostMessageA(app->window, WM_CLOSE, 0, 0);
    app->run();
    EXPECT_EQ(graphics->getFrameCount(), 1u);
    EXPECT_EQ(testsupport::logLines(),
              std::vector<std::string>({"Application initialising...", "Initialisation successful",
                                        "Running main loop...", "Application terminated"}));
}
