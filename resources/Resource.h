// Base of the loaded resources (textures and fonts): the name a resource is registered under
// and a count of its holders. The count only counts; reaching zero destroys nothing.
#pragma once

#include "app/EngineObject.h"
#include "app/String.h"
#include <cstdint>

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
