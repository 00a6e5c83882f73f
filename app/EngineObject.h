// Root of the engine's polymorphic services.
#pragma once

class EngineObject {
public:
    virtual ~EngineObject() = default;
    virtual bool isNull() const = 0;
};
