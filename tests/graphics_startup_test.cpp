// The display component through the real start-up (Application::init on SDL's offscreen Mesa
// context): states, the GL context and its extensions, frames read back with glReadPixels, and
// the fatal ends of start-up.
#include "app/Application.h"
#include "app/Scene.h"
#include "app/SceneObject.h"
#include "graphics/Extensions.h"
#include "graphics/GraphicSystemImpl.h"

#include "tests/support/GlContext.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

namespace {

using testsupport::readFile;

ApplicationComponent* displayComponent() {
    return dynamic_cast<ApplicationComponent*>(GraphicSystem::instance());
}

// The entry point's settings, then the Application's start-up.
void startLikeTheGame(bool doubleBuffer = true) {
    GraphicSystem* graphics = GraphicSystem::instance();
    graphics->useDesktopMode();
    graphics->setVsync(true);
    graphics->setDoubleBuffer(doubleBuffer);
    Application::instance()->init();
}

using testsupport::pixelAt;
using testsupport::Rgb;

// Draws a red square over screen pixels (100..199, 50..149) in the scene's camera space and
// reads back what the frame holds at that moment: inside, outside, and the spot where the square
// would be with y pointing up.
class SquareProbe : public SceneObject {
public:
    int renders = 0;
    Rgb inside{}, outside{}, mirrored{};

    void render() override {
        ++renders;
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glColor3f(1, 0, 0);
        glBegin(GL_QUADS);
        glVertex2f(100, 50);
        glVertex2f(200, 50);
        glVertex2f(200, 150);
        glVertex2f(100, 150);
        glEnd();
        const int height = static_cast<int>(GraphicSystem::instance()->getHeight());
        glReadBuffer(drawBuffer());
        inside = pixelAt(150, 100, height);
        outside = pixelAt(400, 300, height);
        mirrored = pixelAt(150, height - 1 - 100, height);
    }

    // The buffer that drawing goes to: the back one when double-buffered.
    static GLenum drawBuffer() {
        GLint buffer = GL_BACK;
        glGetIntegerv(GL_DRAW_BUFFER, &buffer);
        return static_cast<GLenum>(buffer);
    }
};

// Covers the whole drawing buffer with white outside any frame, so that a frame that failed to
// clear would show it.
void paintWhite() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
}

} // namespace

// ---- Start-up ----------------------------------------------------------------------------------

TEST(DisplayStartUp, ReachesContextReadyInTheDesktopMode) {
    startLikeTheGame();
    GraphicSystem* graphics = GraphicSystem::instance();
    EXPECT_EQ(GraphicSystem::StateContextReady, graphics->getLifecycleState());
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    EXPECT_EQ(mode.dmPelsWidth, graphics->getWidth());
    EXPECT_EQ(mode.dmPelsHeight, graphics->getHeight());
    EXPECT_TRUE(graphics->getVsync());
    EXPECT_TRUE(graphics->getDoubleBuffer());
    EXPECT_TRUE(graphics->isFullscreen());
    EXPECT_FALSE(graphics->isNull());
    ASSERT_FALSE(Application::instance()->components.empty());
    EXPECT_EQ(displayComponent(), Application::instance()->components.front());
    EXPECT_NE(nullptr, glGetString(GL_VERSION));
}

TEST(DisplayStartUp, ClearValuesAreSetOnTheNewContext) {
    startLikeTheGame();
    GLfloat colour[4] = {9, 9, 9, 9};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    EXPECT_EQ(0, colour[0]);
    EXPECT_EQ(0, colour[1]);
    EXPECT_EQ(0, colour[2]);
    EXPECT_EQ(0, colour[3]);
    GLfloat depth = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(1.0f, depth); // 10000 clamped by the GL
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
}

TEST(DisplayStartUp, ExtensionsOfTheDriverAreLoaded) {
    startLikeTheGame();
    GraphicSystem* graphics = GraphicSystem::instance();
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    ASSERT_NE(nullptr, extensions);
    EXPECT_TRUE(graphics->isExtensionSupported("GL_ARB_multitexture"));
    EXPECT_FALSE(graphics->isExtensionSupported("GL_ARB_multitextur"));
    EXPECT_FALSE(graphics->isExtensionSupported("GL_ARB_multitexture_"));
    EXPECT_TRUE(hasARBMultitexture);
    EXPECT_TRUE(hasEXTBgra);
    EXPECT_TRUE(hasSwapControl);
    EXPECT_EQ(findExtensionToken(extensions, "GL_ARB_vertex_shader"), hasARBVertexShader);
    EXPECT_EQ(findExtensionToken(extensions, "GL_ARB_point_sprite"), hasARBPointSprite);
    ASSERT_NE(nullptr, ext::glActiveTextureARB);
    EXPECT_NE(nullptr, graphics->getProcAddress("glActiveTextureARB"));

    // The fetched pointer really drives the GL.
    ext::glActiveTextureARB(GL_TEXTURE1_ARB);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(GL_TEXTURE1_ARB, active);
    ext::glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST(DisplayStartUp, LogHoldsNoDisplayComplaint) {
    startLikeTheGame();
    const std::string log = readFile("pelmora.log");
    EXPECT_NE(std::string::npos, log.find("Initialisation successful"));
    EXPECT_EQ(std::string::npos, log.find("GraphicSystem:"));
}

// ---- Frames ------------------------------------------------------------------------------------

TEST(DisplayFrames, ClearThenSceneDrawsInScreenPixels) {
    startLikeTheGame();
    SquareProbe probe;
    probe.visible = true;
    Scene* scene = Application::instance()->scene;
    scene->add(&probe);
    paintWhite();
    const uint32_t before = GraphicSystem::instance()->getFrameCount();
    displayComponent()->onFrame();
    scene->objects.remove(&probe);

    EXPECT_EQ(1, probe.renders);
    EXPECT_EQ(before + 1, GraphicSystem::instance()->getFrameCount());
    EXPECT_EQ(probe.inside, (Rgb{255, 0, 0}));
    // Cleared to black before the scene drew: the white underneath is gone.
    EXPECT_EQ(probe.outside, (Rgb{0, 0, 0}));
    EXPECT_EQ(0, probe.mirrored.r);
}

TEST(DisplayFrames, FramesAreCountedAndTheCountResets) {
    startLikeTheGame();
    GraphicSystem* graphics = GraphicSystem::instance();
    const uint32_t before = graphics->getFrameCount();
    displayComponent()->onFrame();
    displayComponent()->onFrame();
    EXPECT_EQ(before + 2, graphics->getFrameCount());
    graphics->resetFrameCount();
    EXPECT_EQ(0u, graphics->getFrameCount());
    displayComponent()->onFrame();
    EXPECT_EQ(1u, graphics->getFrameCount());
}

// ---- Isolated start-ups ------------------------------------------------------------------------

TEST(DisplayStartUpFatal, SettersEndTheProgramOnceTheWindowExists) {
    startLikeTheGame();
    EXPECT_EXIT(GraphicSystem::instance()->setWidth(640), testing::ExitedWithCode(EXIT_FAILURE),
                "");
    EXPECT_EXIT(GraphicSystem::instance()->loadConfig(), testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(DisplayStartUpFatal, ZeroWidthEndsBeforeTheWindowClassWithoutALogLine) {
    EXPECT_EXIT(
        {
            GraphicSystem::instance()->useDesktopMode();
            GraphicSystem::instance()->setWidth(0);
            Application::instance()->init();
        },
        testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ("Application initialising...\n", readFile("pelmora.log"));
}

TEST(DisplayStartUpFatal, RefusedModeLogsAndEndsBeforeAnyWindow) {
    EXPECT_EXIT(
        {
            GraphicSystem::instance()->useDesktopMode();
            GraphicSystem::instance()->setWidth(123);
            GraphicSystem::instance()->setHeight(45);
            Application::instance()->init();
        },
        testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ("Application initialising...\nGraphicSystem: could not set display mode\n",
              readFile("pelmora.log"));
}

// Single-buffered start-up: the frame's drawing lands in the front buffer and stays there, and
// every frame is counted. (The offscreen driver's surfaces are single-buffered whatever the
// pixel format asks, so the GL's own double-buffer flag tells nothing here.)
TEST(DisplaySingleBuffer, FramesAreFinishedInTheFrontBufferAndCounted) {
    startLikeTheGame(false);
    SquareProbe probe;
    probe.visible = true;
    Application::instance()->scene->add(&probe);
    GraphicSystem* graphics = GraphicSystem::instance();
    displayComponent()->onFrame();
    displayComponent()->onFrame();
    displayComponent()->onFrame();
    Application::instance()->scene->objects.remove(&probe);
    EXPECT_FALSE(graphics->getDoubleBuffer());
    EXPECT_EQ(3u, graphics->getFrameCount());
    EXPECT_EQ(3, probe.renders);
    const int height = static_cast<int>(graphics->getHeight());
    glReadBuffer(GL_FRONT);
    EXPECT_EQ(pixelAt(150, 100, height), (Rgb{255, 0, 0}));
    EXPECT_EQ(0, pixelAt(400, 300, height).r);
}
