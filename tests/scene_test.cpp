// The scene on its own: when objects are started and sized, the viewport and the pixel camera,
// which objects are drawn, and the input chain. Scenes and objects are never freed here, as in
// the program: a started scene stays a listener of the InputSystem for the whole process.
#include "app/Scene.h"
#include "graphics/GraphicSystem.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Other test programs share the build's working directory and its pelmora.log: run in a
// directory of this program's own.
const bool inOwnDirectory = [] {
    std::filesystem::create_directories("scene_test.run");
    std::filesystem::current_path("scene_test.run");
    return true;
}();

std::vector<std::string> trace;

class Probe : public SceneObject {
public:
    explicit Probe(const char* name_, bool consumes_ = false) : name(name_), consumes(consumes_) {}

    bool handleInput(int32_t type, const InputState&) override {
        trace.push_back(name + ":input:" + std::to_string(type));
        return consumes;
    }
    bool start() override {
        trace.push_back(name + ":start");
        return false; // ignored by the scene
    }
    bool resize(const Rect& viewport) override {
        trace.push_back(name + ":resize:" + std::to_string(int(viewport.x1)) + "x" +
                        std::to_string(int(viewport.y1)));
        return true;
    }
    void render() override { trace.push_back(name + ":render"); }

    std::string name;
    bool consumes;
};

// A 1024 x 768 screen, set while the display settings may still change.
Scene* startedScene() {
    GraphicSystem* graphics = GraphicSystem::instance();
    if (graphics->getLifecycleState() == GraphicSystem::StateCreated) {
        graphics->setWidth(1024);
        graphics->setHeight(768);
    }
    Scene* scene = new Scene();
    scene->start();
    return scene;
}

InputState blankState() {
    InputState state{};
    return state;
}

} // namespace

TEST(SceneStart, ObjectsAddedBeforeStartAreStartedThenSizedWhenItStarts) {
    trace.clear();
    Scene* scene = new Scene();
    scene->add(new Probe("a"));
    scene->add(new Probe("b"));
    EXPECT_TRUE(trace.empty());
    EXPECT_FALSE(scene->started);
    GraphicSystem::instance()->setWidth(1024);
    GraphicSystem::instance()->setHeight(768);
    EXPECT_TRUE(scene->start());
    EXPECT_TRUE(scene->started);
    EXPECT_EQ(trace, std::vector<std::string>(
                         {"a:start", "b:start", "a:resize:1024x768", "b:resize:1024x768"}));
}

TEST(SceneStart, ObjectAddedAfterStartIsStartedThenSizedAtOnce) {
    Scene* scene = startedScene();
    trace.clear();
    EXPECT_TRUE(scene->add(new Probe("late")));
    EXPECT_EQ(trace, std::vector<std::string>({"late:start", "late:resize:1024x768"}));
}

TEST(SceneStart, ViewportAndCameraMapPixelsWithYDownwards) {
    Scene* unstarted = new Scene();
    EXPECT_EQ(unstarted->viewport.x1, 0.0f);
    EXPECT_EQ(unstarted->viewport.y1, 0.0f);

    Scene* scene = startedScene();
    EXPECT_EQ(scene->viewport.x0, 0.0f);
    EXPECT_EQ(scene->viewport.y0, 0.0f);
    EXPECT_EQ(scene->viewport.x1, 1024.0f);
    EXPECT_EQ(scene->viewport.y1, 768.0f);
    EXPECT_EQ(scene->camera.minCorner.y, 768.0f);
    EXPECT_EQ(scene->camera.minCorner.z, -1.0f);
    EXPECT_EQ(scene->camera.maxCorner.x, 1024.0f);
    EXPECT_EQ(scene->camera.maxCorner.z, 1.0f);
    const Matrix4& p = scene->camera.projection;
    struct Case {
        float x, y, ndcX, ndcY;
    };
    for (const Case& c : {Case{0, 0, -1, 1}, Case{1024, 768, 1, -1}, Case{256, 192, -0.5f, 0.5f}}) {
        const float ndcX = p.at(0, 0) * c.x + p.at(0, 1) * c.y + p.at(0, 3);
        const float ndcY = p.at(1, 0) * c.x + p.at(1, 1) * c.y + p.at(1, 3);
        EXPECT_NEAR(ndcX, c.ndcX, 1e-5f) << c.x << "," << c.y;
        EXPECT_NEAR(ndcY, c.ndcY, 1e-5f) << c.x << "," << c.y;
    }
}

TEST(SceneRender, OnlyVisibleObjectsAreDrawnInListOrderDuplicatesTwice) {
    Scene* scene = new Scene();
    Probe* shown = new Probe("shown");
    Probe* hidden = new Probe("hidden");
    Probe* twice = new Probe("twice");
    shown->visible = true;
    twice->visible = true;
    scene->add(twice);
    scene->add(shown);
    scene->add(hidden);
    scene->add(twice);
    trace.clear();
    scene->render();
    EXPECT_EQ(trace, std::vector<std::string>({"twice:render", "shown:render", "twice:render"}));
}

TEST(SceneInput, FirstConsumerEndsTheChain) {
    Scene* scene = new Scene();
    scene->add(new Probe("first", true));
    scene->add(new Probe("second", true));
    trace.clear();
    EXPECT_TRUE(scene->handleInput(EventPress, blankState()));
    EXPECT_EQ(trace, std::vector<std::string>({"first:input:1"}));
}

TEST(SceneInput, HiddenAndMaskedObjectsAreStillOfferedEveryEvent) {
    Scene* scene = new Scene();
    Probe* hidden = new Probe("hidden");
    Probe* masked = new Probe("masked");
    masked->eventMask = 0;
    scene->add(hidden);
    scene->add(masked);
    EXPECT_EQ(scene->eventMask, -1);
    EXPECT_EQ(hidden->eventMask, -1);
    EXPECT_FALSE(hidden->visible);
    trace.clear();
    EXPECT_FALSE(scene->handleInput(EventMove, blankState()));
    EXPECT_EQ(trace, std::vector<std::string>({"hidden:input:4", "masked:input:4"}));
}

TEST(SceneInput, BaseObjectConsumesNothingAndStartsFine) {
    struct Plain : SceneObject {};
    Plain* plain = new Plain();
    EXPECT_FALSE(plain->handleInput(EventPress, blankState()));
    EXPECT_TRUE(plain->start());
    EXPECT_FALSE(plain->resize(Rect(0, 0, 1, 1)));
    Scene* scene = new Scene();
    scene->add(plain);
    EXPECT_FALSE(scene->handleInput(EventRelease, blankState()));
}
