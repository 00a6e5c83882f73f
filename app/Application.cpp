// The Application: construction of its services, start-up through the components' hooks, the
// busy main loop and the window procedure that hands messages to every component.
#include "app/Application.h"

#include "app/ApplicationComponent.h"
#include "app/ConfigFile.h"
#include "app/Log.h"
#include "app/PlainFile.h"
#include "app/Scene.h"
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

Application* theApplication = nullptr;

const char* const WindowClassName = "Pelmora";
const char* const WindowTitle = "Pelmora Application";
const char* const MessageCaption = "Pelmora";
const char* const AlreadyRunning = "Pelmora is already running from this folder.";

} // namespace

ApplicationBase::~ApplicationBase() {
    delete log;
    delete config;
}

Application* Application::instance() {
    if (!theApplication)
        theApplication = new Application();
    return theApplication;
}

Application::Application() {
    log = new Log("pelmora.log");
    // A second copy in the same folder would write into the first one's log; it says so and
    // ends before the display is touched, with a failure status since it did not run the game.
    if (log->heldElsewhere()) {
        MessageBoxA(nullptr, AlreadyRunning, MessageCaption, MB_OK);
        std::exit(EXIT_FAILURE);
    }
    {
        std::ifstream file;
        if (isPlainFileOrNothing("pelmora.conf"))
            file.open("pelmora.conf");
        if (file.is_open())
            config = new ConfigFile(file);
        else
            config = new ConfigFile();
    }
    scene = new Scene();
}

Application::~Application() {
    for (ApplicationComponent* component : components)
        if (component)
            delete component;
    components.clear();
    if (theApplication == this)
        theApplication = nullptr;
}

bool Application::init() {
    log->write("Application initialising...");

    WNDCLASSEXA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Application::windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = WindowClassName;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = windowClass.hIcon;
    // Indexed walks: a hook must not register components, but an index survives if one does.
    for (size_t i = 0; i < components.size(); ++i)
        components[i]->onWindowClass(windowClass);
    RegisterClassExA(&windowClass);

    DWORD exStyle = 0;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    for (size_t i = 0; i < components.size(); ++i)
        components[i]->onWindowParams(exStyle, style, x, y, width, height);
    window = CreateWindowExA(exStyle, WindowClassName, WindowTitle, style, x, y, width, height,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);

    for (size_t i = 0; i < components.size(); ++i)
        components[i]->onWindowCreated(window);

    scene->start();

    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    // The game draws its own cursor.
    ShowCursor(FALSE);

    log->write("Initialisation successful");
    return true;
}

void Application::run() {
    log->write("Running main loop...");
    while (!quitRequested) {
        MSG message;
        // A quit message is dispatched like any other: only quitRequested ends the loop.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        for (size_t i = 0; i < components.size(); ++i)
            components[i]->onFrame();
    }
    log->write("Application terminated");
}

void Application::showMessage(const String& text) {
    String shown(text);
    MessageBoxA(nullptr, shown.cStr(), nullptr, MB_OK);
}

bool Application::addComponent(ApplicationComponent* component) {
    components.push_back(component);
    quitRequested = false;
    return true;
}

LRESULT CALLBACK Application::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application* application = instance();
    if (message == WM_CREATE)
        return 0;
    if (message == WM_CLOSE) {
        // The window stays: the loop ends after this pass and the process tears everything down.
        application->quit();
        return 0;
    }
    for (size_t i = 0; i < application->components.size(); ++i)
        application->components[i]->onMessage(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
