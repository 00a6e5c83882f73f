// The display component on the recording platform: settings and their lifecycle guards, the
// configuration section, what its start-up hooks ask of the system (display mode, window class
// and shape, pixel format, context, swap interval), the calls of a frame, the exact-token
// extension search, and the extension loaders against the entry points the "driver" offers.
// Every case is a process of its own, so each starts on a fresh display component.
#include "app/Application.h"
#include "app/ApplicationComponent.h"
#include "graphics/Extensions.h"
#include "graphics/GraphicSystem.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;
using testsupport::readFile;

GraphicSystem* display() {
    return GraphicSystem::instance();
}

// The same object as the Application's first component, which receives the start-up hooks.
ApplicationComponent* component() {
    return dynamic_cast<ApplicationComponent*>(GraphicSystem::instance());
}

WNDCLASSEXA windowClassHook() {
    WNDCLASSEXA windowClass = {};
    component()->onWindowClass(windowClass);
    return windowClass;
}

// Start-up as the game does it: the desktop mode, then the Application's init.
void startUp(bool vsync = true, bool doubleBuffer = true) {
    display()->useDesktopMode();
    display()->setVsync(vsync);
    display()->setDoubleBuffer(doubleBuffer);
    Application::instance()->init();
}

} // namespace

// ---- Settings and states -------------------------------------------------------------------

TEST(DisplaySettings, StartWithTheDocumentedValuesAsTheFirstComponent) {
    EXPECT_FALSE(display()->isNull());
    EXPECT_EQ(GraphicSystem::StateCreated, display()->getLifecycleState());
    EXPECT_EQ(0u, display()->getWidth());
    EXPECT_EQ(0u, display()->getHeight());
    EXPECT_EQ(0u, display()->getBitsPerPixel());
    EXPECT_EQ(0u, display()->getRefreshRate());
    EXPECT_FALSE(display()->getVsync());
    EXPECT_TRUE(display()->getDoubleBuffer());
    EXPECT_TRUE(display()->isFullscreen());
    EXPECT_EQ(0u, display()->getFrameCount());
    ASSERT_FALSE(Application::instance()->components.empty());
    EXPECT_EQ(component(), Application::instance()->components.front());
}

TEST(DisplaySettings, DesktopModeIsCopiedIntoTheSettings) {
    recording::System& system = recording::system();
    system.desktopWidth = 1280;
    system.desktopHeight = 1024;
    system.desktopBitsPerPixel = 16;
    system.desktopFrequency = 75;
    display()->useDesktopMode();
    EXPECT_EQ(1280u, display()->getWidth());
    EXPECT_EQ(1024u, display()->getHeight());
    EXPECT_EQ(16u, display()->getBitsPerPixel());
    EXPECT_EQ(75u, display()->getRefreshRate());
}

TEST(DisplaySettings, WindowClassHookSwitchesTheModeAndAdvancesTheState) {
    display()->useDesktopMode();
    WNDCLASSEXA windowClass = {};
    windowClass.style = 0x0008;
    windowClass.hCursor = reinterpret_cast<HCURSOR>(1);
    windowClass.lpszMenuName = "menu";
    component()->onWindowClass(windowClass);
    EXPECT_EQ(GraphicSystem::StateDisplayModeSet, display()->getLifecycleState());
    EXPECT_EQ(UINT(0x0008 | CS_OWNDC), windowClass.style);
    EXPECT_EQ(nullptr, windowClass.hCursor);
    ASSERT_NE(nullptr, windowClass.hbrBackground);
    EXPECT_EQ(RGB(0, 0, 0), windowClass.hbrBackground->colour);
    EXPECT_EQ(nullptr, windowClass.lpszMenuName);

    // A temporary full-screen change to exactly the settings, the refresh rate included.
    EXPECT_EQ(DWORD(CDS_FULLSCREEN), recording::lastModeChangeFlags());
    const DEVMODEA& mode = recording::lastModeChange();
    EXPECT_EQ(sizeof(DEVMODEA), mode.dmSize);
    EXPECT_EQ(DWORD(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY),
              mode.dmFields);
    EXPECT_EQ(1024u, mode.dmPelsWidth);
    EXPECT_EQ(768u, mode.dmPelsHeight);
    EXPECT_EQ(32u, mode.dmBitsPerPel);
    EXPECT_EQ(60u, mode.dmDisplayFrequency);

    EXPECT_EQ(1024u, display()->getWidth());
    EXPECT_TRUE(display()->getDoubleBuffer());
    display()->resetFrameCount();
    EXPECT_EQ(0u, display()->getFrameCount());
}

TEST(DisplaySettings, WindowBecomesAPopUpCoveringTheScreen) {
    display()->setWidth(800);
    display()->setHeight(600);
    DWORD exStyle = 0x1, style = 0x2;
    int x = 17, y = 23, width = 5, height = 6;
    component()->onWindowParams(exStyle, style, x, y, width, height);
    EXPECT_EQ(DWORD(0x1 | WS_EX_APPWINDOW), exStyle);
    EXPECT_EQ(DWORD(0x2 | WS_POPUP), style);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
    EXPECT_EQ(800, width);
    EXPECT_EQ(600, height);
}

// ---- The context and the frames
// ------------------------------------------------------------------

TEST(DisplayContext, WindowCreatedHookMakesTheContextThenLoadsTheExtensions) {
    startUp();
    EXPECT_EQ(GraphicSystem::StateContextReady, display()->getLifecycleState());
    // Double-buffered RGBA for OpenGL, the low byte of the colour depth, 16 depth bits.
    const Calls context =
        recording::callsOf({"SetPixelFormat", "wglCreateContext", "wglMakeCurrent", "glClearColor",
                            "glClearDepth", "wglGetProcAddress"});
    ASSERT_GE(context.size(), 6u);
    EXPECT_EQ(Calls({"SetPixelFormat:37,32,16", "wglCreateContext", "wglMakeCurrent",
                     "glClearColor", "glClearDepth", "wglGetProcAddress:wglSwapIntervalEXT"}),
              Calls(context.begin(), context.begin() + 6));
}

TEST(DisplayContext, RefusedPixelFormatLeavesNoContextButFramesRunOn) {
    recording::system().pixelFormatAccepted = FALSE;
    recording::system().extensions = "GL_EXT_bgra";
    startUp();
    EXPECT_EQ(GraphicSystem::StateDisplayModeSet, display()->getLifecycleState());
    EXPECT_TRUE(recording::callsOf({"wglCreateContext", "wglGetProcAddress"}).empty());
    EXPECT_FALSE(hasEXTBgra);
    EXPECT_FALSE(hasSwapControl);
    recording::calls().clear();
    component()->onFrame();
    EXPECT_EQ(Calls({"glClear:16640", "glFinish", "SwapBuffers"}),
              recording::callsOf({"glClear", "glFinish", "SwapBuffers"}));
    EXPECT_EQ(1u, display()->getFrameCount());
}

TEST(DisplayFrames, FrameClearsDrawsTheSceneFinishesSwapsAndCounts) {
    startUp();
    recording::calls().clear();
    component()->onFrame();
    // The scene's camera (projection, then model-view) is loaded between clear and finish.
    EXPECT_EQ(Calls({"glClear:16640", "glMatrixMode:5889", "glMatrixMode:5888", "glFinish",
                     "SwapBuffers"}),
              recording::callsOf({"glClear", "glMatrixMode", "glFinish", "SwapBuffers"}));
    EXPECT_EQ(1u, display()->getFrameCount());
}

TEST(DisplayFrames, SingleBufferedFramesAreFinishedButNeverSwapped) {
    startUp(true, false);
    EXPECT_EQ(Calls({"SetPixelFormat:36,32,16"}), recording::callsOf({"SetPixelFormat"}));
    component()->onFrame();
    component()->onFrame();
    EXPECT_EQ(2u, display()->getFrameCount());
    EXPECT_EQ(2u, recording::callsOf({"glFinish"}).size());
    EXPECT_TRUE(recording::callsOf({"SwapBuffers"}).empty());
}

// ---- Fatal usage errors ----------------------------------------------------------------------

TEST(DisplayFatalErrors, SetFullscreenAlwaysEndsTheProgram) {
    EXPECT_EXIT(display()->setFullscreen(true), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->setFullscreen(false), testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(DisplayFatalErrors, SettersAfterTheDisplayModeEndTheProgram) {
    display()->useDesktopMode();
    windowClassHook();
    EXPECT_EXIT(display()->setWidth(640), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->setHeight(480), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->setBitsPerPixel(16), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->setRefreshRate(60), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->setVsync(true), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->setDoubleBuffer(false), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->loadConfig(), testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(DisplayFatalErrors, DesktopModeAfterStartUpLogsAndEnds) {
    EXPECT_EXIT(
        {
            display()->useDesktopMode();
            windowClassHook();
            display()->useDesktopMode();
        },
        testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ("GraphicSystem: could not get display params\n", readFile("pelmora.log"));
}

TEST(DisplayFatalErrors, ExtensionQueriesNeedTheContext) {
    EXPECT_EXIT(display()->isExtensionSupported("GL_EXT_bgra"),
                testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display()->getProcAddress("glActiveTextureARB"),
                testing::ExitedWithCode(EXIT_FAILURE), "");
    display()->useDesktopMode();
    windowClassHook();
    EXPECT_EXIT(display()->isExtensionSupported("GL_EXT_bgra"),
                testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(DisplayFatalErrors, ZeroSizeOrDepthRefusedAtTheWindowClassWithoutALogLine) {
    for (int zeroed = 0; zeroed < 3; ++zeroed) {
        EXPECT_EXIT(
            {
                display()->setWidth(zeroed == 0 ? 0 : 1024);
                display()->setHeight(zeroed == 1 ? 0 : 768);
                display()->setBitsPerPixel(zeroed == 2 ? 0 : 32);
                windowClassHook();
            },
            testing::ExitedWithCode(EXIT_FAILURE), "")
            << "zeroed setting " << zeroed;
        EXPECT_EQ("", readFile("pelmora.log")) << "zeroed setting " << zeroed;
    }
}

TEST(DisplayFatalErrors, RefusedDisplayModeLogsAndEnds) {
    EXPECT_EXIT(
        {
            display()->setWidth(123);
            display()->setHeight(45);
            display()->setBitsPerPixel(32);
            windowClassHook();
        },
        testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ("GraphicSystem: could not set display mode\n", readFile("pelmora.log"));
}

// ---- Configuration -----------------------------------------------------------------------------

namespace {

// Writes "pelmora.conf" before anything makes the Application, which reads it once, and answers
// the settings that loadConfig leaves as "width x height x depth @ rate vsync double-buffer".
std::string settingsLoadedFrom(const char* text, bool vsync = false, bool doubleBuffer = true) {
    std::ofstream("pelmora.conf") << text;
    GraphicSystem* configured = display();
    configured->setVsync(vsync);
    configured->setDoubleBuffer(doubleBuffer);
    configured->setRefreshRate(85);
    configured->loadConfig();
    return std::to_string(configured->getWidth()) + "x" + std::to_string(configured->getHeight()) +
           "x" + std::to_string(configured->getBitsPerPixel()) + "@" +
           std::to_string(configured->getRefreshRate()) + " " +
           std::to_string(configured->getVsync()) + " " +
           std::to_string(configured->getDoubleBuffer());
}

} // namespace

TEST(DisplayConfiguration, MissingSectionGivesTheDefaults) {
    EXPECT_EQ("1024x768x32@0 0 1", settingsLoadedFrom("[Other]\nwidth = 1\n", true, false));
}

TEST(DisplayConfiguration, OnlyWidthGivenKeepsTheOtherDefaults) {
    EXPECT_EQ("800x768x32@0 0 1", settingsLoadedFrom("[GraphicSystem]\nwidth = 800\n", true));
}

TEST(DisplayConfiguration, EveryKeyReachesItsSetter) {
    EXPECT_EQ("640x480x16@60 1 0",
              settingsLoadedFrom("[ graphicsystem ]\nWIDTH=640\nheight = 480\nbpp = 16\n"
                                 "refreshRate = 60\nvsync = on\ndoublebuffer = off\n"));
}

TEST(DisplayConfiguration, RejectedValuesFallBackAndNegativesWrap) {
    EXPECT_EQ("1024x4294967295x32@0 0 1",
              settingsLoadedFrom("[GraphicSystem]\nwidth = 12abc\nheight = -1\nbpp = 0x20\n"));
}

// ---- Extension search ------------------------------------------------------------------------

TEST(ExtensionTokens, WholeTokensMatchAndPartsDoNot) {
    const char* list = "GL_ARB_multitexture GL_EXT_bgra";
    EXPECT_TRUE(findExtensionToken(list, "GL_ARB_multitexture"));
    EXPECT_TRUE(findExtensionToken(list, "GL_EXT_bgra"));
    EXPECT_FALSE(findExtensionToken(list, "GL_ARB_multitextur"));
    EXPECT_FALSE(findExtensionToken(list, "GL_EXT_bgr"));
    EXPECT_FALSE(findExtensionToken(list, "GL_ARB_multitexture2"));
    EXPECT_FALSE(findExtensionToken(list, "GL_EXT_bgraX"));
    EXPECT_FALSE(findExtensionToken(list, "ARB_multitexture"));
    EXPECT_FALSE(findExtensionToken(list, "bgra"));
    EXPECT_FALSE(findExtensionToken(list, "GL_ARB_multitexture GL_EXT_bgra"));
}

TEST(ExtensionTokens, SeparatorsAreControlsSpacesAndHighBytes) {
    EXPECT_TRUE(findExtensionToken("  GL_A\t\n\r GL_B   ", "GL_B"));
    EXPECT_TRUE(findExtensionToken("GL_A\xC3GL_B", "GL_B"));
    EXPECT_TRUE(findExtensionToken("GL_A\xC3GL_B", "GL_A"));
    EXPECT_FALSE(findExtensionToken("GL_A\xC3GL_B", "GL_A\xC3GL_B"));
    EXPECT_TRUE(findExtensionToken("GL_A\x01GL_B", "GL_B"));
    EXPECT_FALSE(findExtensionToken("GL_A!GL_B", "GL_B"));
}

TEST(ExtensionTokens, EmptyOrMissingStringsAnswerFalse) {
    EXPECT_FALSE(findExtensionToken("", "GL_EXT_bgra"));
    EXPECT_FALSE(findExtensionToken("   ", "GL_EXT_bgra"));
    EXPECT_FALSE(findExtensionToken(nullptr, "GL_EXT_bgra"));
    EXPECT_FALSE(findExtensionToken("GL_EXT_bgra", ""));
}

// ---- Extension loaders against the recording driver --------------------------------------------

namespace {

void fakeEntryPoint() {}
const PROC fakeAddress = reinterpret_cast<PROC>(&fakeEntryPoint);

int recordedInterval = -100;
int swapCalls = 0;

BOOL recordSwapInterval(int interval) {
    recordedInterval = interval;
    ++swapCalls;
    return TRUE;
}

int answerSwapInterval() {
    return recordedInterval;
}

std::vector<std::string> multitextureNames() {
    std::vector<std::string> names = {"glActiveTextureARB", "glClientActiveTextureARB"};
    for (int count = 1; count <= 4; ++count)
        for (const char* suffix : {"d", "dv", "f", "fv", "i", "iv", "s", "sv"})
            names.push_back("glMultiTexCoord" + std::to_string(count) + suffix + "ARB");
    return names;
}

const char* const AllExtensions = "GL_EXT_bgra GL_ARB_point_parameters GL_ARB_point_sprite "
                                  "GL_ARB_shading_language_100 GL_ARB_shader_objects "
                                  "GL_ARB_vertex_shader GL_ARB_fragment_shader GL_ARB_multitexture";

class ExtensionLoaders : public testing::Test {
protected:
    // The driver offers these entry points.
    void offer(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            recording::system().entryPoints[name] = fakeAddress;
    }
    void offerSwapControl() {
        recording::system().entryPoints["wglSwapIntervalEXT"] =
            reinterpret_cast<PROC>(&recordSwapInterval);
        recording::system().entryPoints["wglGetSwapIntervalEXT"] =
            reinterpret_cast<PROC>(&answerSwapInterval);
    }
    void withdraw(const std::string& name) { recording::system().entryPoints[name] = nullptr; }

    // The entry points asked for since the last call, in order.
    static std::vector<std::string> fetched() {
        std::vector<std::string> names;
        for (const std::string& call : recording::callsOf({"wglGetProcAddress"}))
            names.push_back(call.substr(call.find(':') + 1));
        recording::calls().clear();
        return names;
    }
};

// Every entry point the loaders ask for is offered: the fetch order is the loaders' order, then
// each list's own.
class EverythingOffered : public ExtensionLoaders {
protected:
    void SetUp() override {
        recording::system().extensions = AllExtensions;
        recording::system().otherEntryPoints = fakeAddress;
        offerSwapControl();
        startUp();
        names_ = fetched();
    }
    std::vector<std::string> names_;
};

} // namespace

TEST_F(EverythingOffered, LoadersFetchTheirWholeListsInOrder) {
    ASSERT_EQ(123u, names_.size());
    EXPECT_EQ(std::set<std::string>(names_.begin(), names_.end()).size(), names_.size());
    EXPECT_EQ((std::vector<std::string>{"wglSwapIntervalEXT", "wglGetSwapIntervalEXT",
                                        "glPointParameterfARB", "glPointParameterfvARB"}),
              std::vector<std::string>(names_.begin(), names_.begin() + 4));
    // Shader objects: 39 from index 4, vertex shader: 46 from 43, multitexture: the last 34.
    EXPECT_EQ("glDeleteObjectARB", names_[4]);
    EXPECT_EQ("glUniform1fARB", names_[4 + 11]);
    EXPECT_EQ("glUniformMatrix4fvARB", names_[4 + 29]);
    EXPECT_EQ("glGetShaderSourceARB", names_[4 + 38]);
    EXPECT_EQ("glVertexAttrib1fARB", names_[43]);
    EXPECT_EQ("glVertexAttrib4NubARB", names_[43 + 12]);
    EXPECT_EQ("glVertexAttribPointerARB", names_[43 + 36]);
    EXPECT_EQ("glGetVertexAttribPointervARB", names_[43 + 45]);
    EXPECT_EQ(multitextureNames(), std::vector<std::string>(names_.begin() + 89, names_.end()));
    EXPECT_TRUE(hasSwapControl && hasEXTBgra && hasARBPointParameters && hasARBPointSprite &&
                hasARBShadingLanguage100 && hasARBShaderObjects && hasARBVertexShader &&
                hasARBFragmentShader && hasARBMultitexture);
    EXPECT_EQ(fakeAddress, reinterpret_cast<PROC>(ext::glActiveTextureARB));
    EXPECT_EQ(fakeAddress, reinterpret_cast<PROC>(ext::glMultiTexCoord4svARB));
}

TEST_F(EverythingOffered, MissingEntryPointStopsTheFetchingAndKeepsEveryPointer) {
    withdraw("glMultiTexCoord1dARB");
    // The flag of the earlier, successful run must not survive a failed one.
    EXPECT_FALSE(loadARBMultitexture());
    EXPECT_FALSE(hasARBMultitexture);
    EXPECT_EQ(std::vector<std::string>(
                  {"glActiveTextureARB", "glClientActiveTextureARB", "glMultiTexCoord1dARB"}),
              fetched());
    EXPECT_EQ(nullptr, ext::glMultiTexCoord1dARB);
    // Pointers after the missing one are not fetched again and keep what they had.
    EXPECT_EQ(fakeAddress, reinterpret_cast<PROC>(ext::glMultiTexCoord1dvARB));
    EXPECT_EQ(fakeAddress, reinterpret_cast<PROC>(ext::glActiveTextureARB));
}

TEST_F(EverythingOffered, PresenceOnlyExtensionsFollowTheString) {
    recording::system().extensions =
        "GL_EXT_bgr GL_ARB_point GL_ARB_shading_language_10 GL_ARB_fragment";
    EXPECT_FALSE(loadEXTBgra());
    EXPECT_FALSE(loadARBPointSprite());
    EXPECT_FALSE(loadARBShadingLanguage100());
    EXPECT_FALSE(loadARBFragmentShader());
    EXPECT_FALSE(hasEXTBgra || hasARBPointSprite || hasARBShadingLanguage100 ||
                 hasARBFragmentShader);
    EXPECT_TRUE(fetched().empty());
}

TEST_F(ExtensionLoaders, MultitextureWithoutItsLastEntryPointStaysOff) {
    recording::system().extensions = "GL_ARB_multitexture GL_EXT_bgra";
    const std::vector<std::string> names = multitextureNames();
    offer(std::vector<std::string>(names.begin(), names.end() - 1));
    startUp();
    EXPECT_FALSE(hasARBMultitexture);
    EXPECT_TRUE(hasEXTBgra);
    EXPECT_NE(nullptr, ext::glActiveTextureARB);
    EXPECT_EQ(nullptr, ext::glMultiTexCoord4svARB);
    const std::vector<std::string> asked = fetched();
    EXPECT_EQ(names, std::vector<std::string>(asked.end() - 34, asked.end()));
}

TEST_F(ExtensionLoaders, UnlistedExtensionFetchesNothing) {
    recording::system().extensions = "GL_EXT_bgra GL_ARB_multitexture_extra ARB_multitexture";
    offer(multitextureNames());
    startUp();
    EXPECT_FALSE(hasARBMultitexture);
    EXPECT_EQ(std::vector<std::string>({"wglSwapIntervalEXT"}), fetched());
    EXPECT_EQ(nullptr, ext::glActiveTextureARB);
}

TEST_F(ExtensionLoaders, SwapControlNeedsBothEntryPointsButNoExtensionName) {
    offerSwapControl();
    startUp();
    EXPECT_TRUE(hasSwapControl);
    EXPECT_EQ(std::vector<std::string>({"wglSwapIntervalEXT", "wglGetSwapIntervalEXT"}), fetched());

    withdraw("wglGetSwapIntervalEXT");
    EXPECT_FALSE(loadSwapControl());
    EXPECT_FALSE(hasSwapControl);
    EXPECT_EQ(std::vector<std::string>({"wglSwapIntervalEXT", "wglGetSwapIntervalEXT"}), fetched());

    offerSwapControl();
    withdraw("wglSwapIntervalEXT");
    EXPECT_FALSE(loadSwapControl());
    EXPECT_EQ(std::vector<std::string>{"wglSwapIntervalEXT"}, fetched());
}

TEST_F(ExtensionLoaders, VsyncAsksForOneRetracePerSwap) {
    offerSwapControl();
    startUp(true);
    EXPECT_EQ(1, swapCalls);
    EXPECT_EQ(1, recordedInterval);
}

TEST_F(ExtensionLoaders, NoVsyncAsksForImmediateSwaps) {
    offerSwapControl();
    startUp(false);
    EXPECT_EQ(1, swapCalls);
    EXPECT_EQ(0, recordedInterval);
}

TEST_F(ExtensionLoaders, WithoutTheEntryPointsVsyncIsQuietlyIgnored) {
    startUp(true);
    EXPECT_FALSE(hasSwapControl);
    EXPECT_EQ(0, swapCalls);
    EXPECT_EQ(GraphicSystem::StateContextReady, display()->getLifecycleState());
}
