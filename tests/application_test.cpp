// The Application on a fresh object per case: start-up hook order, the window procedure's
// create, close and other messages, the main loop's quit rules, late components, the log lines,
// construction from "pelmora.conf", and teardown order.
#include "app/Application.h"
#include "app/ApplicationComponent.h"
#include "app/ConfigFile.h"
#include "app/Scene.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Other test programs share the build's working directory and its pelmora.log.
const bool inOwnDirectory = [] {
    std::filesystem::create_directories("application_test.run");
    std::filesystem::current_path("application_test.run");
    return true;
}();

using Lines = std::vector<std::string>;
Lines trace;

Lines logLines() {
    std::ifstream in("pelmora.log");
    Lines lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool traced(const std::string& entry) {
    return std::find(trace.begin(), trace.end(), entry) != trace.end();
}

std::string msg(const std::string& name, UINT message) {
    return name + ":msg:" + std::to_string(message);
}

// Records every hook; can change the class and the size, and quit or post a quit at a frame.
class Recorder : public ApplicationComponent {
public:
    explicit Recorder(const char* name_) : name(name_) {}
    ~Recorder() override { trace.push_back(name + ":deleted"); }

    bool isNull() const override { return false; }
    void onWindowClass(WNDCLASSEXA& windowClass) override {
        trace.push_back(name + ":class");
        seenClass = windowClass;
        windowClass.style |= classStyle;
    }
    void onWindowParams(DWORD& exStyle, DWORD& style, int& x, int& y, int& width,
                        int& height) override {
        trace.push_back(name + ":params");
        seenParams = {int(exStyle), int(style), x, y, width, height};
        if (setWidth) {
            width = setWidth;
            height = setWidth / 2;
        }
    }
    bool onWindowCreated(HWND window) override {
        trace.push_back(name + ":created");
        createdWith = window;
        return true;
    }
    int32_t onMessage(HWND, UINT message, WPARAM, LPARAM) override {
        trace.push_back(msg(name, message));
        return 1;
    }
    void onFrame() override {
        ++frames;
        if (frames == postQuitAtFrame)
            PostQuitMessage(0);
        if (frames == quitAtFrame)
            Application::instance()->quit();
    }

    std::string name;
    UINT classStyle = 0;
    int setWidth = 0;
    WNDCLASSEXA seenClass{};
    std::vector<int> seenParams;
    HWND createdWith = nullptr;
    int frames = 0;
    int postQuitAtFrame = -1;
    int quitAtFrame = -1;
};

// The display stack stays out (no scene), so only the test's components take part.
class ApplicationFrame : public ::testing::Test {
protected:
    void SetUp() override {
        std::remove("pelmora.conf");
        trace.clear();
        app = new Application();
        Application::setInstance(app);
        delete app->scene;
        app->scene = nullptr;
    }
    void TearDown() override {
        delete app;
        Application::setInstance(nullptr);
    }

    Application* app = nullptr;
};

} // namespace

TEST_F(ApplicationFrame, StartUpHooksRunInListOrderAndSeeEarlierChanges) {
    Recorder* a = new Recorder("a");
    Recorder* b = new Recorder("b");
    a->classStyle = CS_OWNDC;
    a->setWidth = 320;
    EXPECT_TRUE(app->init());

    Lines hooks;
    std::copy_if(trace.begin(), trace.end(), std::back_inserter(hooks),
                 [](const std::string& e) { return e.find(":msg:") == std::string::npos; });
    EXPECT_EQ(hooks,
              Lines({"a:class", "b:class", "a:params", "b:params", "a:created", "b:created"}));
    const WNDCLASSEXA& seen = b->seenClass;
    EXPECT_EQ(seen.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_STREQ(seen.lpszClassName, "Pelmora");
    EXPECT_EQ(seen.lpfnWndProc, &Application::windowProc);
    EXPECT_EQ(seen.hInstance, GetModuleHandleA(nullptr));
    EXPECT_NE(seen.hIcon, nullptr);
    EXPECT_EQ(seen.hIconSm, seen.hIcon);
    EXPECT_EQ(a->seenClass.style, 0u);
    EXPECT_EQ(seen.style, UINT(CS_OWNDC));
    EXPECT_EQ(seen.hCursor, nullptr);
    EXPECT_EQ(a->seenParams, std::vector<int>({0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b->seenParams, std::vector<int>({0, 0, 0, 0, 320, 160}));
    EXPECT_NE(app->window, nullptr);
    EXPECT_EQ(a->createdWith, app->window);
    EXPECT_EQ(logLines(), Lines({"Application initialising...", "Initialisation successful"}));
}

TEST_F(ApplicationFrame, CreateAndCloseAreAnsweredWithoutComponents) {
    new Recorder("a");
    app->init();
    EXPECT_FALSE(traced(msg("a", WM_CREATE)));
    // Other messages sent while the window is made reach the components before the hook.
    const auto early = std::find(trace.begin(), trace.end(), msg("a", WM_NCCREATE));
    EXPECT_TRUE(early < std::find(trace.begin(), trace.end(), "a:created"));
    trace.clear();
    EXPECT_EQ(Application::windowProc(app->window, WM_CREATE, 0, 0), 0);
    EXPECT_FALSE(app->quitRequested);
    EXPECT_EQ(Application::windowProc(app->window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(app->quitRequested);
    EXPECT_TRUE(trace.empty());
}

TEST_F(ApplicationFrame, OtherMessagesReachEveryComponentThenTheDefaultHandling) {
    new Recorder("a");
    new Recorder("b");
    app->init();
    trace.clear();
    // Alt+F4: both components see the key; the default handling makes it a system close
    // command (also seen by both) and then a close request.
    SendMessageA(app->window, WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29);
    EXPECT_EQ(trace, Lines({msg("a", WM_SYSKEYDOWN), msg("b", WM_SYSKEYDOWN),
                            msg("a", WM_SYSCOMMAND), msg("b", WM_SYSCOMMAND)}));
    EXPECT_TRUE(app->quitRequested);
}

TEST_F(ApplicationFrame, PostedQuitMessageDoesNotEndTheLoop) {
    Recorder* a = new Recorder("a");
    a->postQuitAtFrame = 1;
    a->quitAtFrame = 3;
    app->init();
    app->run();
    EXPECT_EQ(a->frames, 3);
}

TEST_F(ApplicationFrame, CloseDuringMessagesStillRunsThatPassFramesThenLogsTheEnd) {
    Recorder* a = new Recorder("a");
    Recorder* b = new Recorder("b");
    app->init();
    PostMessageA(app->window, WM_CLOSE, 0, 0);
    app->run();
    EXPECT_EQ(a->frames, 1);
    EXPECT_EQ(b->frames, 1);
    EXPECT_EQ(logLines(), Lines({"Application initialising...", "Initialisation successful",
                                 "Running main loop...", "Application terminated"}));
}

TEST_F(ApplicationFrame, LateComponentSeesMessagesAndFramesButNoStartUpHooks) {
    new Recorder("early");
    app->init();
    Recorder* late = new Recorder("late");
    late->quitAtFrame = 2;
    PostMessageA(app->window, WM_USER, 0, 0);
    app->run();
    EXPECT_FALSE(traced("late:class") || traced("late:params") || traced("late:created"));
    EXPECT_TRUE(traced(msg("late", WM_USER)));
    EXPECT_EQ(late->frames, 2);
}

TEST_F(ApplicationFrame, AddingAComponentCancelsAQuitRequest) {
    app->quit();
    new Recorder("a");
    EXPECT_FALSE(app->quitRequested);
}

TEST_F(ApplicationFrame, TeardownDeletesComponentsInListOrder) {
    new Recorder("a");
    new Recorder("b");
    delete app;
    app = nullptr;
    EXPECT_EQ(trace, Lines({"a:deleted", "b:deleted"}));
}

TEST_F(ApplicationFrame, ConstructionReadsTheConfigurationIfPresentAndLogsNothing) {
    std::ofstream("pelmora.conf") << "[GraphicSystem]\nwidth = 800\n";
    Application withFile;
    EXPECT_EQ(withFile.config->section("graphicsystem")->getInt("Width", 0), 800);
    EXPECT_TRUE(logLines().empty());
    std::remove("pelmora.conf");
    Application without;
    EXPECT_EQ(without.config->sectionCount(), 0);
    delete withFile.scene;
    delete without.scene;
}
