// The engine's abstract input device: what game code may ask of the keyboard and mouse
// component beyond its events, namely cursor placement relative to the screen centre.
#pragma once

#include "app/EngineObject.h"
#include <cstdint>

class InputDevice : public EngineObject {
public:
    ~InputDevice() override = default;
    // Turns window pixels into offsets from the screen centre.
    virtual void toCentreRelative(int32_t& x, int32_t& y) = 0;
    // Puts the system cursor at the screen centre.
    virtual void centreCursor() = 0;
};
