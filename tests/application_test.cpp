// The Application on the recording platform, a fresh one per case: start-up hook order and the
// platform calls between the hooks, the window procedure's create, close and other messages, the
// main loop's quit rules, late components, the log lines, construction from "pelmora.conf", and
// teardown order.
#include "app/Application.h"
#include "app/ApplicationComponent.h"
#include "app/ConfigFile.h"
#include "app/Scene.h"
#include "tests/support/RecordingPlatform.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testsupport::logLines;

using Lines = std::vector<std::string>;
Lines trace;

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

// The test's components come first; the scene's start inside init adds the engine's own
// (InputSystem, GraphicSystem), which record nothing here.
class ApplicationFrame : public ::testing::Test {
protected:
    Application* app_ = Application::instance();
};

} // namespace

TEST_F(ApplicationFrame, StartUpHooksRunInListOrderAndSeeEarlierChanges) {
    Recorder* a = new Recorder("a");
    Recorder* b = new Recorder("b");
    a->classStyle = CS_OWNDC;
    a->setWidth = 320;
    EXPECT_TRUE(app_->init());

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
    EXPECT_NE(app_->window, nullptr);
    EXPECT_EQ(a->createdWith, app_->window);
    EXPECT_EQ(logLines(), Lines({"Application initialising...", "Initialisation successful"}));
    // The window is made of the class as the hooks left it, with their values, then shown and
    // focused with the system cursor hidden.
    EXPECT_EQ(recording::lastWindowClass().style, UINT(CS_OWNDC));
    EXPECT_EQ(recording::callsOf({"CreateWindowExA", "ShowWindow", "SetForegroundWindow",
                                  "SetFocus", "ShowCursor"}),
              Lines({"CreateWindowExA:0,0,0,0,320,160,Pelmora,Pelmora Application", "ShowWindow:5",
                     "SetForegroundWindow", "SetFocus", "ShowCursor:0"}));
}

TEST_F(ApplicationFrame, CreateAndCloseAreAnsweredWithoutComponents) {
    new Recorder("a");
    app_->init();
    // The other messages a new window receives reach the components before the hook, and showing
    // it after.
    EXPECT_EQ(trace,
              Lines({"a:class", "a:params", msg("a", WM_NCCREATE), msg("a", WM_NCCALCSIZE),
                     msg("a", WM_SIZE), msg("a", WM_MOVE), "a:created", msg("a", WM_SHOWWINDOW)}));
    trace.clear();
    EXPECT_EQ(Application::windowProc(app_->window, WM_CREATE, 0, 0), 0);
    EXPECT_FALSE(app_->quitRequested);
    EXPECT_EQ(Application::windowProc(app_->window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(app_->quitRequested);
    EXPECT_TRUE(trace.empty());
}

// Alt+F4's default handling sends WM_SYSCOMMAND, which comes back through the components and
// whose own default handling closes the window.
TEST_F(ApplicationFrame, OtherMessagesReachEveryComponentThenTheDefaultHandling) {
    new Recorder("a");
    new Recorder("b");
    app_->init();
    trace.clear();
    SendMessageA(app_->window, WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29);
    EXPECT_EQ(trace, Lines({msg("a", WM_SYSKEYDOWN), msg("b", WM_SYSKEYDOWN),
                            msg("a", WM_SYSCOMMAND), msg("b", WM_SYSCOMMAND)}));
    EXPECT_TRUE(app_->quitRequested);
}

TEST_F(ApplicationFrame, PostedQuitMessageDoesNotEndTheLoop) {
    Recorder* a = new Recorder("a");
    a->postQuitAtFrame = 1;
    a->quitAtFrame = 3;
    app_->init();
    app_->run();
    EXPECT_EQ(a->frames, 3);
}

TEST_F(ApplicationFrame, CloseDuringMessagesStillRunsThatPassFramesThenLogsTheEnd) {
    Recorder* a = new Recorder("a");
    Recorder* b = new Recorder("b");
    app_->init();
    PostMessageA(app_->window, WM_CLOSE, 0, 0);
    app_->run();
    EXPECT_EQ(a->frames, 1);
    EXPECT_EQ(b->frames, 1);
    EXPECT_EQ(logLines(), Lines({"Application initialising...", "Initialisation successful",
                                 "Running main loop...", "Application terminated"}));
}

TEST_F(ApplicationFrame, LateComponentSeesMessagesAndFramesButNoStartUpHooks) {
    new Recorder("early");
    app_->init();
    Recorder* late = new Recorder("late");
    late->quitAtFrame = 2;
    PostMessageA(app_->window, WM_USER, 0, 0);
    app_->run();
    EXPECT_FALSE(traced("late:class") || traced("late:params") || traced("late:created"));
    EXPECT_TRUE(traced(msg("late", WM_USER)));
    EXPECT_EQ(late->frames, 2);
}

TEST_F(ApplicationFrame, AddingAComponentCancelsAQuitRequest) {
    app_->quit();
    new Recorder("a");
    EXPECT_FALSE(app_->quitRequested);
}

TEST_F(ApplicationFrame, TeardownDeletesComponentsInListOrder) {
    new Recorder("a");
    new Recorder("b");
    Scene* scene = app_->scene; // not owned by the Application
    delete app_;
    delete scene;
    EXPECT_EQ(trace, Lines({"a:deleted", "b:deleted"}));
}

TEST(ApplicationConstruction, ReadsTheConfigurationWhenPresentAndLogsNothing) {
    std::ofstream("pelmora.conf") << "[GraphicSystem]\nwidth = 800\n";
    Application* app = Application::instance();
    EXPECT_EQ(app->config->section("graphicsystem")->getInt("Width", 0), 800);
    EXPECT_TRUE(logLines().empty());
}

TEST(ApplicationConstruction, StartsWithAnEmptyConfigurationWithoutTheFile) {
    EXPECT_EQ(Application::instance()->config->sectionCount(), 0);
    EXPECT_TRUE(logLines().empty());
}
