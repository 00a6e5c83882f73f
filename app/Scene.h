// The Application's one list of drawable, clickable objects under an orthographic pixel camera:
// x to the right, y downwards, origin at the top-left corner. It does not own its objects.
#pragma once

#include "app/SceneObject.h"
#include "graphics/Camera.h"
#include "graphics/Math.h"
#include "input/InputListener.h"
#include <cstdint>
#include <list>

// Final: the scene is never a base, so deleting it through its own type is safe.
class Scene final : public InputListener {
public:
    Scene() { eventMask = -1; }

    // Appends the object; once the scene has started, also starts it and gives it the viewport.
    bool add(SceneObject* object);
    // Listens to the InputSystem, starts the objects and sizes everything to the screen.
    bool start();
    // Loads the camera and draws the visible objects in list order.
    void render();
    // Offers the event to every object in list order until one consumes it.
    bool handleInput(int32_t type, const InputState& state) override;

    Rect viewport;
    OrthoCamera camera;
    std::list<SceneObject*> objects;
    bool started = false;

private:
    void resize(float width, float height);
};
