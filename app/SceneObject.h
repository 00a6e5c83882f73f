// Something the Scene draws and offers input to. The base consumes nothing, starts fine, ignores
// resizes and draws nothing; it is invisible until its owner sets visible.
#pragma once

#include "graphics/Math.h"
#include "input/InputListener.h"
#include <cstdint>

class SceneObject : public InputListener {
public:
    SceneObject() { eventMask = -1; }

    bool handleInput(int32_t type, const InputState& state) override;
    virtual bool start();
    virtual bool resize(const Rect& viewport);
    virtual void render();

    bool visible = false;

protected:
    // The Scene never deletes its objects; a subclass that is deleted adds its own virtual one.
    ~SceneObject() = default;
};
