// Base behaviour of a scene object: consumes no input, starts fine, ignores resizes, draws
// nothing.
#include "app/SceneObject.h"

bool SceneObject::handleInput(int32_t, const InputState&) {
    return false;
}

bool SceneObject::start() {
    return true;
}

bool SceneObject::resize(const Rect&) {
    return false;
}

void SceneObject::render() {}
