// An input listener that keeps every event the InputSystem offers it, for the tests of what
// reaches the game from the keyboard and the mouse.
#pragma once

#include "input/InputListener.h"

#include <cstdint>
#include <vector>

namespace testsupport {

// The fields of the input state that tell one event from another.
struct InputEvent {
    int32_t type;
    int32_t key;
    int32_t character;
    int32_t mouseX;
    int32_t mouseY;
    int32_t mouseDX;
    int32_t mouseDY;
};

class RecordingListener : public InputListener {
public:
    // Offered only the event types in mask; a consuming listener keeps the events it is offered
    // from the listeners behind it.
    explicit RecordingListener(int32_t mask = -1, bool consume = false) : consume(consume) {
        eventMask = mask;
    }
    bool handleInput(int32_t type, const InputState& state) override {
        events.push_back({type, state.key, state.character, state.mouseX, state.mouseY,
                          state.mouseDX, state.mouseDY});
        return consume;
    }
    bool consume;
    std::vector<InputEvent> events;
};

} // namespace testsupport
