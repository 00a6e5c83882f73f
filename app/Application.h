// The frame of the program: one window driven through an ordered list of plug-in components,
// a busy main loop, and the log, configuration and scene that everything else reaches here.
#pragma once

#include "app/ApplicationBase.h"
#include "platform/platform.h"
#include <vector>

class ApplicationComponent;

class Application : public ApplicationBase {
public:
    // Creates the Application on the first call; the program never deletes it.
    static Application* instance();

    // Deletes every component in list order, then the base deletes log and configuration; a
    // later instance() call starts a new Application.
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

    std::vector<ApplicationComponent*> components;
    HWND window = nullptr;

private:
    // Opens the log on "pelmora.log", parses "pelmora.conf" if it opens, creates the scene.
    // When another copy of the program holds the log, says so in a box and ends the process
    // with status 1.
    Application();
};
