// The log line of a failed resource load.
#include "resources/Resource.h"
#include "app/Application.h"
#include "app/Log.h"

void logLoadFailed(const char* prefix, const String& name) {
    Log* log = Application::instance()->log;
    if (log != nullptr)
        log->write(String(prefix) + name + String(" load failed"));
}
