// The frame of the program: one window driven through an ordered list of plug-in components,
// a busy main loop, and the log, configuration and scene that everything else reaches here.
#pragma once

#include "app/ApplicationBase.h"
#include "platform/platform.h"
#include <vector>

class ApplicationComponent;

class Application : public ApplicationBase {
public:
    // Creates the Application on the first call; it is never deleted.
    static Application* instance();

    // Opens the log on "pelmora.log", parses "pelmora.conf" if it opens, creates the scene.
    // Public only so that tests can build a fresh Application per scenario (see setInstance);
    // the program itself always goes through instance().
    Application();
    // Deletes every component in list order, then the base deletes log and configuration.
    ~Application() override;

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Registers the window class, creates the window with the components' settings, shows it
    // and starts the scene. Always answers true.
    bool init() override;
    // Pumps messages and runs every component's frame until a quit is requested.
    void run() override;
    void showMessage(const String& text) override;
    // Appends the component and cancels any pending quit request. Always answers true.
    virtual bool addComponent(ApplicationComponent* component);

    void quit() { quitRequested = true; }

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Test seam: makes instance() answer the given object (which the caller keeps alive), so
    // that each test scenario runs on a fresh Application. Nothing in the program calls it.
    static void setInstance(Application* application);

    std::vector<ApplicationComponent*> components;
    HWND window = nullptr;
};
