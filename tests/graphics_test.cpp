// The display component without a window: settings and their lifecycle guards, the
// configuration section, the exact-token extension search, the window-class and window-shape
// hooks, and the extension loaders driven by a fake driver.
#include "app/Application.h"
#include "app/ConfigFile.h"
#include "app/Log.h"
#include "graphics/Extensions.h"
#include "graphics/GraphicSystemImpl.h"

#include "tests/support/FreshProcesses.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

testing::Environment* const freshProcesses =
    testing::AddGlobalTestEnvironment(new testsupport::FreshProcesses("run-graphics_test"));

// A display component that is not left in the Application's list, so that each case owns its
// own and may let it die.
std::unique_ptr<GraphicSystemImpl> freshDisplay() {
    auto display = std::make_unique<GraphicSystemImpl>();
    auto& components = Application::instance()->components;
    if (!components.empty() && components.back() == display.get()) {
        components.pop_back();
    }
    return display;
}

std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Swaps the Application's configuration for one parsed from text, for one case.
class ConfigScope {
public:
    explicit ConfigScope(const std::string& text) {
        std::istringstream in(text);
        replacement_ = std::make_unique<ConfigFile>(in);
        saved_ = Application::instance()->config;
        Application::instance()->config = replacement_.get();
    }
    ~ConfigScope() { Application::instance()->config = saved_; }

private:
    std::unique_ptr<ConfigFile> replacement_;
    ConfigFile* saved_;
};

} // namespace

// ---- Settings and states -------------------------------------------------------------------

TEST(DisplaySettings, StartWithTheDocumentedValues) {
    auto display = freshDisplay();
    EXPECT_FALSE(display->isNull());
    EXPECT_EQ(GraphicSystem::StateCreated, display->getLifecycleState());
    EXPECT_EQ(0u, display->getWidth());
    EXPECT_EQ(0u, display->getHeight());
    EXPECT_EQ(0u, display->getBitsPerPixel());
    EXPECT_EQ(0u, display->getRefreshRate());
    EXPECT_FALSE(display->getVsync());
    EXPECT_TRUE(display->getDoubleBuffer());
    EXPECT_TRUE(display->isFullscreen());
    EXPECT_EQ(0u, display->getFrameCount());
}

TEST(DisplaySettings, DesktopModeIsCopiedIntoTheSettings) {
    auto display = freshDisplay();
    display->useDesktopMode();
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(mode.dmPelsWidth, display->getWidth());
    EXPECT_EQ(mode.dmPelsHeight, display->getHeight());
    EXPECT_EQ(mode.dmBitsPerPel, display->getBitsPerPixel());
    EXPECT_EQ(mode.dmDisplayFrequency, display->getRefreshRate());
    EXPECT_NE(0u, display->getWidth());
}

TEST(DisplaySettings, WindowClassHookAdvancesTheStateAndGettersStillWork) {
    auto display = freshDisplay();
    display->useDesktopMode();
    const uint32_t width = display->getWidth();
    WNDCLASSEXA windowClass = {};
    windowClass.style = 0x0008;
    windowClass.hCursor = reinterpret_cast<HCURSOR>(1);
    windowClass.lpszMenuName = "menu";
    display->onWindowClass(windowClass);
    EXPECT_EQ(GraphicSystem::StateDisplayModeSet, display->getLifecycleState());
    EXPECT_EQ(UINT(0x0008 | CS_OWNDC), windowClass.style);
    EXPECT_EQ(nullptr, windowClass.hCursor);
    EXPECT_NE(nullptr, windowClass.hbrBackground);
    EXPECT_EQ(nullptr, windowClass.lpszMenuName);
    EXPECT_EQ(width, display->getWidth());
    EXPECT_TRUE(display->getDoubleBuffer());
    EXPECT_TRUE(display->isFullscreen());
    display->resetFrameCount();
    EXPECT_EQ(0u, display->getFrameCount());
}

TEST(DisplaySettings, WindowBecomesAPopUpCoveringTheScreen) {
    auto display = freshDisplay();
    display->setWidth(800);
    display->setHeight(600);
    DWORD exStyle = 0x1, style = 0x2;
    int x = 17, y = 23, width = 5, height = 6;
    display->onWindowParams(exStyle, style, x, y, width, height);
    EXPECT_EQ(DWORD(0x1 | WS_EX_APPWINDOW), exStyle);
    EXPECT_EQ(DWORD(0x2 | WS_POPUP), style);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
    EXPECT_EQ(800, width);
    EXPECT_EQ(600, height);
}

// ---- Fatal usage errors (each in a fresh process) ----------------------------------------------

TEST(DisplayFatalErrors, SetFullscreenAlwaysEndsTheProgram) {
    EXPECT_EXIT(GraphicSystem::instance()->setFullscreen(true),
                testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(GraphicSystem::instance()->setFullscreen(false),
                testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(DisplayFatalErrors, SettersAfterTheDisplayModeEndTheProgram) {
    auto display = freshDisplay();
    display->useDesktopMode();
    WNDCLASSEXA windowClass = {};
    display->onWindowClass(windowClass);
    EXPECT_EXIT(display->setWidth(640), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display->setHeight(480), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display->setBitsPerPixel(16), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display->setRefreshRate(60), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display->setVsync(true), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display->setDoubleBuffer(false), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(display->loadConfig(), testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST(DisplayFatalErrors, DesktopModeAfterStartUpLogsAndEnds) {
    std::filesystem::remove("desktop_mode.log");
    EXPECT_EXIT(
        {
            Application::instance()->log = new Log(String("desktop_mode.log"));
            auto display = freshDisplay();
            display->useDesktopMode();
            WNDCLASSEXA windowClass = {};
            display->onWindowClass(windowClass);
            display->useDesktopMode();
        },
        testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ("GraphicSystem: could not get display params\n", readFile("desktop_mode.log"));
}

TEST(DisplayFatalErrors, ExtensionQueriesNeedTheContext) {
    auto display = freshDisplay();
    EXPECT_EXIT(display->isExtensionSupported("GL_EXT_bgra"), testing::ExitedWithCode(EXIT_FAILURE),
                "");
    EXPECT_EXIT(display->getProcAddress("glActiveTextureARB"),
                testing::ExitedWithCode(EXIT_FAILURE), "");
    display->useDesktopMode();
    WNDCLASSEXA windowClass = {};
    display->onWindowClass(windowClass);
    EXPECT_EXIT(display->isExtensionSupported("GL_EXT_bgra"), testing::ExitedWithCode(EXIT_FAILURE),
                "");
}

TEST(DisplayFatalErrors, ZeroSizeOrDepthRefusedAtTheWindowClass) {
    std::filesystem::remove("zero_size.log");
    for (int zeroed = 0; zeroed < 3; ++zeroed) {
        EXPECT_EXIT(
            {
                Application::instance()->log = new Log(String("zero_size.log"));
                auto display = freshDisplay();
                display->setWidth(zeroed == 0 ? 0 : 640);
                display->setHeight(zeroed == 1 ? 0 : 480);
                display->setBitsPerPixel(zeroed == 2 ? 0 : 32);
                WNDCLASSEXA windowClass = {};
                display->onWindowClass(windowClass);
            },
            testing::ExitedWithCode(EXIT_FAILURE), "")
            << "zeroed setting " << zeroed;
        EXPECT_EQ("", readFile("zero_size.log")) << "zeroed setting " << zeroed;
    }
}

TEST(DisplayFatalErrors, RefusedDisplayModeLogsAndEnds) {
    std::filesystem::remove("refused_mode.log");
    EXPECT_EXIT(
        {
            Application::instance()->log = new Log(String("refused_mode.log"));
            auto display = freshDisplay();
            display->setWidth(123);
            display->setHeight(45);
            display->setBitsPerPixel(32);
            WNDCLASSEXA windowClass = {};
            display->onWindowClass(windowClass);
        },
        testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ("GraphicSystem: could not set display mode\n", readFile("refused_mode.log"));
}

// ---- Configuration -----------------------------------------------------------------------------

TEST(DisplayConfiguration, MissingSectionGivesTheDefaults) {
    ConfigScope config("[Other]\nwidth = 1\n");
    auto display = freshDisplay();
    display->setDoubleBuffer(false);
    display->setVsync(true);
    display->setRefreshRate(85);
    display->loadConfig();
    EXPECT_EQ(1024u, display->getWidth());
    EXPECT_EQ(768u, display->getHeight());
    EXPECT_EQ(32u, display->getBitsPerPixel());
    EXPECT_EQ(0u, display->getRefreshRate());
    EXPECT_FALSE(display->getVsync());
    EXPECT_TRUE(display->getDoubleBuffer());
}

TEST(DisplayConfiguration, OnlyWidthGivenKeepsTheOtherDefaults) {
    ConfigScope config("[GraphicSystem]\nwidth = 800\n");
    auto display = freshDisplay();
    display->loadConfig();
    EXPECT_EQ(800u, display->getWidth());
    EXPECT_EQ(768u, display->getHeight());
    EXPECT_EQ(32u, display->getBitsPerPixel());
    EXPECT_EQ(0u, display->getRefreshRate());
    EXPECT_FALSE(display->getVsync());
    EXPECT_TRUE(display->getDoubleBuffer());
}

TEST(DisplayConfiguration, EveryKeyReachesItsSetter) {
    ConfigScope config("[ graphicsystem ]\nWIDTH=640\nheight = 480\nbpp = 16\n"
                       "refreshRate = 60\nvsync = on\ndoublebuffer = off\n");
    auto display = freshDisplay();
    display->loadConfig();
    EXPECT_EQ(640u, display->getWidth());
    EXPECT_EQ(480u, display->getHeight());
    EXPECT_EQ(16u, display->getBitsPerPixel());
    EXPECT_EQ(60u, display->getRefreshRate());
    EXPECT_TRUE(display->getVsync());
    EXPECT_FALSE(display->getDoubleBuffer());
}

TEST(DisplayConfiguration, RejectedValuesFallBackAndNegativesWrap) {
    ConfigScope config("[GraphicSystem]\nwidth = 12abc\nheight = -1\nbpp = 0x20\n");
    auto display = freshDisplay();
    display->loadConfig();
    EXPECT_EQ(1024u, display->getWidth());
    EXPECT_EQ(0xFFFFFFFFu, display->getHeight());
    EXPECT_EQ(32u, display->getBitsPerPixel());
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

// ---- Extension loaders against a fake driver --------------------------------------------------

namespace {

void fakeEntryPoint() {}
const PROC fakeAddress = reinterpret_cast<PROC>(&fakeEntryPoint);

// Answers the extension queries from tables and records every entry point asked for.
class FakeDriver : public GraphicSystem {
public:
    std::string extensions;
    std::set<std::string> entryPoints;
    std::vector<std::string> fetched;

    bool isNull() const override { return false; }
    uint32_t getWidth() const override { return 0; }
    void setWidth(uint32_t) override {}
    uint32_t getHeight() const override { return 0; }
    void setHeight(uint32_t) override {}
    uint32_t getBitsPerPixel() const override { return 0; }
    void setBitsPerPixel(uint32_t) override {}
    uint32_t getRefreshRate() const override { return 0; }
    void setRefreshRate(uint32_t) override {}
    bool getVsync() const override { return false; }
    void setVsync(bool) override {}
    bool getDoubleBuffer() const override { return true; }
    void setDoubleBuffer(bool) override {}
    bool isFullscreen() const override { return true; }
    void setFullscreen(bool) override {}
    int32_t getLifecycleState() const override { return StateContextReady; }
    void useDesktopMode() override {}
    uint32_t getFrameCount() const override { return 0; }
    void resetFrameCount() override {}
    bool isExtensionSupported(const char* name) override {
        return findExtensionToken(extensions.c_str(), name);
    }
    PROC getProcAddress(const char* name) override {
        fetched.push_back(name);
        return entryPoints.count(name) != 0 ? fakeAddress : nullptr;
    }
};

std::vector<std::string> multitextureNames() {
    std::vector<std::string> names = {"glActiveTextureARB", "glClientActiveTextureARB"};
    for (int count = 1; count <= 4; ++count) {
        for (const char* suffix : {"d", "dv", "f", "fv", "i", "iv", "s", "sv"}) {
            names.push_back("glMultiTexCoord" + std::to_string(count) + suffix + "ARB");
        }
    }
    return names;
}

class ExtensionLoaders : public testing::Test {
protected:
    void SetUp() override {
        previous_ = GraphicSystem::setInstanceForTesting(&driver);
        ext::glActiveTextureARB = nullptr;
        ext::glMultiTexCoord1dARB = nullptr;
        ext::glMultiTexCoord4svARB = nullptr;
        ext::wglSwapIntervalEXT = nullptr;
        ext::wglGetSwapIntervalEXT = nullptr;
    }
    void TearDown() override { GraphicSystem::setInstanceForTesting(previous_); }

    FakeDriver driver;

private:
    GraphicSystem* previous_ = nullptr;
};

} // namespace

TEST_F(ExtensionLoaders, MultitextureFetchesItsEntryPointsInOrder) {
    driver.extensions = "GL_EXT_bgra GL_ARB_multitexture";
    const std::vector<std::string> names = multitextureNames();
    driver.entryPoints.insert(names.begin(), names.end());
    EXPECT_TRUE(loadARBMultitexture());
    EXPECT_TRUE(hasARBMultitexture);
    EXPECT_EQ(names, driver.fetched);
    EXPECT_EQ(reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(fakeAddress), ext::glActiveTextureARB);
    EXPECT_EQ(reinterpret_cast<PFNGLMULTITEXCOORD4SVARBPROC>(fakeAddress),
              ext::glMultiTexCoord4svARB);
}

TEST_F(ExtensionLoaders, MultitextureWithoutItsLastEntryPointStaysOff) {
    driver.extensions = "GL_ARB_multitexture GL_EXT_bgra";
    const std::vector<std::string> names = multitextureNames();
    driver.entryPoints.insert(names.begin(), names.end() - 1);
    EXPECT_FALSE(loadARBMultitexture());
    EXPECT_FALSE(hasARBMultitexture);
    EXPECT_NE(nullptr, ext::glActiveTextureARB);
    EXPECT_EQ(34u, driver.fetched.size());
    EXPECT_EQ(nullptr, ext::glMultiTexCoord4svARB);
}

TEST_F(ExtensionLoaders, MissingEntryPointStopsTheFetchingAndKeepsLaterPointers) {
    driver.extensions = "GL_ARB_multitexture";
    driver.entryPoints = {"glActiveTextureARB", "glMultiTexCoord1dARB"};
    const auto sentinel = reinterpret_cast<PFNGLMULTITEXCOORD1DARBPROC>(&fakeEntryPoint);
    ext::glMultiTexCoord1dARB = sentinel;
    // A flag left over from an earlier, successful run must not survive a failed one.
    hasARBMultitexture = true;
    EXPECT_FALSE(loadARBMultitexture());
    EXPECT_FALSE(hasARBMultitexture);
    EXPECT_EQ((std::vector<std::string>{"glActiveTextureARB", "glClientActiveTextureARB"}),
              driver.fetched);
    EXPECT_EQ(sentinel, ext::glMultiTexCoord1dARB);
}

TEST_F(ExtensionLoaders, UnlistedExtensionFetchesNothing) {
    driver.extensions = "GL_EXT_bgra GL_ARB_multitexture_extra ARB_multitexture";
    const std::vector<std::string> names = multitextureNames();
    driver.entryPoints.insert(names.begin(), names.end());
    hasARBMultitexture = true;
    EXPECT_FALSE(loadARBMultitexture());
    EXPECT_FALSE(hasARBMultitexture);
    EXPECT_TRUE(driver.fetched.empty());
    EXPECT_EQ(nullptr, ext::glActiveTextureARB);
}

TEST_F(ExtensionLoaders, SwapControlNeedsBothEntryPointsButNoExtensionName) {
    driver.extensions = "";
    driver.entryPoints = {"wglSwapIntervalEXT", "wglGetSwapIntervalEXT"};
    EXPECT_TRUE(loadSwapControl());
    EXPECT_TRUE(hasSwapControl);
    EXPECT_NE(nullptr, ext::wglSwapIntervalEXT);
    EXPECT_NE(nullptr, ext::wglGetSwapIntervalEXT);

    driver.entryPoints = {"wglSwapIntervalEXT"};
    driver.fetched.clear();
    EXPECT_FALSE(loadSwapControl());
    EXPECT_FALSE(hasSwapControl);
    EXPECT_EQ((std::vector<std::string>{"wglSwapIntervalEXT", "wglGetSwapIntervalEXT"}),
              driver.fetched);

    driver.entryPoints = {"wglGetSwapIntervalEXT"};
    driver.fetched.clear();
    EXPECT_FALSE(loadSwapControl());
    EXPECT_EQ(std::vector<std::string>{"wglSwapIntervalEXT"}, driver.fetched);
}

TEST_F(ExtensionLoaders, PresenceOnlyExtensionsFollowTheString) {
    driver.extensions = "GL_EXT_bgra GL_ARB_point_sprite GL_ARB_shading_language_100 "
                        "GL_ARB_fragment_shader";
    EXPECT_TRUE(loadEXTBgra());
    EXPECT_TRUE(loadARBPointSprite());
    EXPECT_TRUE(loadARBShadingLanguage100());
    EXPECT_TRUE(loadARBFragmentShader());
    EXPECT_TRUE(hasEXTBgra && hasARBPointSprite && hasARBShadingLanguage100 &&
                hasARBFragmentShader);
    EXPECT_TRUE(driver.fetched.empty());

    driver.extensions = "GL_EXT_bgr GL_ARB_point GL_ARB_shading_language_10 GL_ARB_fragment";
    EXPECT_FALSE(loadEXTBgra());
    EXPECT_FALSE(loadARBPointSprite());
    EXPECT_FALSE(loadARBShadingLanguage100());
    EXPECT_FALSE(loadARBFragmentShader());
    EXPECT_FALSE(hasEXTBgra || hasARBPointSprite || hasARBShadingLanguage100 ||
                 hasARBFragmentShader);
}

TEST_F(ExtensionLoaders, ShaderAndPointLoadersFetchTheirWholeLists) {
    driver.extensions =
        "GL_ARB_point_parameters GL_ARB_shader_objects GL_ARB_vertex_shader GL_ARB_multitexture";
    // Every name the driver is asked for exists, so the lists run to their ends.
    struct Everything : FakeDriver {
        PROC getProcAddress(const char* name) override {
            fetched.push_back(name);
            return fakeAddress;
        }
    } everything;
    everything.extensions = driver.extensions;
    GraphicSystem::setInstanceForTesting(&everything);

    EXPECT_TRUE(loadARBPointParameters());
    EXPECT_EQ((std::vector<std::string>{"glPointParameterfARB", "glPointParameterfvARB"}),
              everything.fetched);
    everything.fetched.clear();
    EXPECT_TRUE(loadARBShaderObjects());
    ASSERT_EQ(39u, everything.fetched.size());
    EXPECT_EQ("glDeleteObjectARB", everything.fetched.front());
    EXPECT_EQ("glUniform1fARB", everything.fetched[11]);
    EXPECT_EQ("glUniformMatrix4fvARB", everything.fetched[29]);
    EXPECT_EQ("glGetShaderSourceARB", everything.fetched.back());
    everything.fetched.clear();
    EXPECT_TRUE(loadARBVertexShader());
    ASSERT_EQ(46u, everything.fetched.size());
    EXPECT_EQ("glVertexAttrib1fARB", everything.fetched.front());
    EXPECT_EQ("glVertexAttrib4NubARB", everything.fetched[12]);
    EXPECT_EQ("glVertexAttribPointerARB", everything.fetched[36]);
    EXPECT_EQ("glGetVertexAttribPointervARB", everything.fetched.back());
    EXPECT_TRUE(hasARBPointParameters && hasARBShaderObjects && hasARBVertexShader);
    EXPECT_EQ(std::set<std::string>(everything.fetched.begin(), everything.fetched.end()).size(),
              everything.fetched.size());
}
