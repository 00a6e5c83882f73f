// The scene's walks: starting and sizing its objects, drawing the visible ones, and the input
// chain in which the first object that consumes an event ends its delivery.
#include "app/Scene.h"

#include "graphics/GraphicSystem.h"
#include "input/InputSystem.h"

bool Scene::add(SceneObject* object) {
    objects.push_back(object);
    if (started) {
        object->start();
        object->resize(viewport);
    }
    return true;
}

bool Scene::start() {
    InputSystem::instance()->addListener(this);
    started = true;
    for (SceneObject* object : objects)
        object->start();
    GraphicSystem* graphics = GraphicSystem::instance();
    // Through float directly: unsigned values of 2^31 and above keep their magnitude.
    const float width = static_cast<float>(graphics->getWidth());
    const float height = static_cast<float>(graphics->getHeight());
    resize(width, height);
    return true;
}

void Scene::resize(float width, float height) {
    viewport = Rect(0, 0, width, height);
    // y runs downwards: the top edge is 0 and the bottom edge is the screen height.
    camera.minCorner = Vector3(0, height, -1);
    camera.maxCorner = Vector3(width, 0, 1);
    camera.updateProjection();
    for (SceneObject* object : objects)
        object->resize(viewport);
}

void Scene::render() {
    camera.apply();
    for (SceneObject* object : objects)
        if (object->visible)
            object->render();
}

bool Scene::handleInput(int32_t type, const InputState& state) {
    for (SceneObject* object : objects)
        if (object->handleInput(type, state))
            return true;
    return false;
}
