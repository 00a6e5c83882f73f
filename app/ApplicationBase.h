// Abstract base of the Application: the quit flag and the services every part of the engine
// reaches through the Application (log, configuration, scene).
#pragma once

#include "app/String.h"

class Log;
class ConfigFile;
class Scene;

class ApplicationBase {
public:
    virtual bool init() = 0;
    virtual void run() = 0;
    virtual void showMessage(const String& text) = 0;
    // Deletes the log, then the configuration. The scene is not owned.
    virtual ~ApplicationBase();

    bool quitRequested = false;
    Log* log = nullptr;
    ConfigFile* config = nullptr;
    Scene* scene = nullptr;
};
