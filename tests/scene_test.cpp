// The scene on its own: when objects are started and sized, the viewport and the pixel camera,
// which objects are drawn, and the input chain. Scenes and objects are never freed, as in the
// program (a started scene stays a listener of the InputSystem for the whole process); kept()
// holds them so that leak checkers see them as alive.
#include "app/Scene.h"
#include "graphics/GraphicSystem.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

template <typename T> T* kept(T* object) {
    static std::vector<void*>* const all = new std::vector<void*>;
    all->push_back(object);
    return object;
}

using Lines = std::vector<std::string>;
Lines trace;

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

// Starts the scene on a 1024 x 768 screen.
void startOnScreen(Scene* scene) {
    GraphicSystem::instance()->setWidth(1024);
    GraphicSystem::instance()->setHeight(768);
    EXPECT_TRUE(scene->start());
}

const InputState noState{};

} // namespace

TEST(SceneStart, ObjectsAreStartedThenSizedWhenTheSceneStartsOrAtOnceIfLater) {
    Scene* scene = kept(new Scene());
    scene->add(kept(new Probe("a")));
    scene->add(kept(new Probe("b")));
    trace.clear();
    EXPECT_FALSE(scene->started);
    startOnScreen(scene);
    EXPECT_TRUE(scene->started);
    EXPECT_EQ(trace, Lines({"a:start", "b:start", "a:resize:1024x768", "b:resize:1024x768"}));
    trace.clear();
    EXPECT_TRUE(scene->add(kept(new Probe("late"))));
    EXPECT_EQ(trace, Lines({"late:start", "late:resize:1024x768"}));
}

TEST(SceneStart, ViewportAndCameraMapPixelsWithYDownwards) {
    Scene* scene = kept(new Scene());
    EXPECT_EQ(scene->viewport.x1, 0.0f);
    startOnScreen(scene);
    EXPECT_EQ(scene->viewport.x0, 0.0f);
    EXPECT_EQ(scene->viewport.y0, 0.0f);
    EXPECT_EQ(scene->viewport.x1, 1024.0f);
    EXPECT_EQ(scene->viewport.y1, 768.0f);
    const Matrix4& p = scene->camera.projection;
    struct Case {
        float x, y, ndcX, ndcY;
    };
    for (const Case& c : {Case{0, 0, -1, 1}, Case{1024, 768, 1, -1}, Case{256, 192, -0.5f, 0.5f}}) {
        EXPECT_NEAR(p.at(0, 0) * c.x + p.at(0, 1) * c.y + p.at(0, 3), c.ndcX, 1e-5f) << c.x;
        EXPECT_NEAR(p.at(1, 0) * c.x + p.at(1, 1) * c.y + p.at(1, 3), c.ndcY, 1e-5f) << c.y;
    }
    // Depth runs from -1 at the near corner to 1 at the far one.
    EXPECT_EQ(scene->camera.minCorner.z, -1.0f);
    EXPECT_EQ(scene->camera.maxCorner.z, 1.0f);
}

TEST(SceneRender, OnlyVisibleObjectsAreDrawnInListOrderDuplicatesTwice) {
    Scene* scene = kept(new Scene());
    Probe* shown = kept(new Probe("shown"));
    Probe* twice = kept(new Probe("twice"));
    shown->visible = true;
    twice->visible = true;
    for (Probe* p : {twice, shown, kept(new Probe("hidden")), twice})
        scene->add(p);
    trace.clear();
    scene->render();
    EXPECT_EQ(trace, Lines({"twice:render", "shown:render", "twice:render"}));
}

TEST(SceneInput, FirstConsumerEndsTheChain) {
    Scene* scene = kept(new Scene());
    scene->add(kept(new Probe("first", true)));
    scene->add(kept(new Probe("second", true)));
    trace.clear();
    EXPECT_TRUE(scene->handleInput(EventPress, noState));
    EXPECT_EQ(trace, Lines({"first:input:1"}));
}

TEST(SceneInput, HiddenAndMaskedObjectsAreStillOfferedEveryEvent) {
    Scene* scene = kept(new Scene());
    Probe* masked = kept(new Probe("masked"));
    masked->eventMask = 0;
    scene->add(kept(new Probe("hidden")));
    scene->add(masked);
    EXPECT_EQ(scene->eventMask, -1);
    trace.clear();
    EXPECT_FALSE(scene->handleInput(EventMove, noState));
    EXPECT_EQ(trace, Lines({"hidden:input:4", "masked:input:4"}));
}

TEST(SceneInput, BaseObjectWantsEverythingConsumesNothingAndStartsFine) {
    struct Plain : SceneObject {};
    Plain* plain = kept(new Plain());
    EXPECT_EQ(plain->eventMask, -1);
    EXPECT_FALSE(plain->visible);
    EXPECT_FALSE(plain->handleInput(EventPress, noState));
    EXPECT_TRUE(plain->start());
    EXPECT_FALSE(plain->resize(Rect(0, 0, 1, 1)));
}
