// Base of the loaded resources (textures and fonts): the name a resource is registered under
// and a count of its holders. The count only counts; reaching zero destroys nothing.
#pragma once

#include "app/EngineObject.h"
#include "app/String.h"
#include <cstdint>
#include <vector>

class Resource : public EngineObject {
public:
    Resource() = default;
    ~Resource() override = default;
    bool isNull() const override { return false; }

    void addRef() { ++useCount_; }
    void release() { --useCount_; }
    int32_t getUseCount() const { return useCount_; }
    const String& getName() const { return name_; }

protected:
    void setName(const String& name) { name_ = name; }

private:
    int32_t useCount_ = 0;
    String name_;
};

// The process-wide registry of one kind of resource: kept oldest first and searched from the
// back, so that the newest of a name answers. Created on first use; nothing ever leaves it.
template <class T> class ResourceRegistry {
public:
    static T* find(const String& name) {
        std::vector<T*>& list = entries();
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if ((*it)->getName() == name)
                return *it;
        return nullptr;
    }
    static void add(T* resource) { entries().push_back(resource); }

private:
    static std::vector<T*>& entries() {
        static auto* list = new std::vector<T*>();
        return *list;
    }
};

// The one log line a failed load leaves: prefix ("Texture id=", "Font id="), the name asked for,
// " load failed".
void logLoadFailed(const char* prefix, const String& name);
