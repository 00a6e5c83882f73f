// Input events as the engine hands them out: the state record, the event types, the key codes
// and the listener interface.
#pragma once

#include <cstdint>

enum EventType : int32_t {
    EventPress = 1,   // key or button pressed, wheel turned
    EventRelease = 2, // key or button released
    EventMove = 4     // mouse moved
};

// Key codes that code refers to by name, and the first codes of the ranges; the full table with
// the display names lives in the InputSystem.
enum KeyCode : int32_t {
    // The extended-key flag turns each left-hand code into the right-hand one after it.
    KeyLeftShift = 1,
    KeyRightShift,
    KeyLeftCtrl,
    KeyRightCtrl,
    KeyLeftAlt,
    KeyRightAlt,
    KeyBackspace = 8,
    KeyTab = 9,
    KeyReturn = 13,
    KeyGrayEnter,  // Return with the extended-key flag
    KeyGray0 = 17, // to KeyGray0 + 9
    KeyEscape = 27,
    KeySpace = 32,
    Key0 = 48,  // to Key0 + 9
    KeyF1 = 65, // to KeyF1 + 11
    KeyA = 97,  // to KeyA + 25
    KeyFirstDynamic = 128,
    // 256 to 260: the mouse buttons and the wheel.
    MouseLeft = 256,
    MouseMiddle,
    MouseRight,
    WheelUp,
    WheelDown,
    KeyCodeCount = 512
};

struct InputState {
    uint8_t keys[KeyCodeCount / 8]; // bit c set while key or button c is held
    int32_t key;                    // code of the event being delivered
    int32_t character;              // character of the latest key press, 0 otherwise
    int32_t mouseX;
    int32_t mouseY;
    int32_t mouseDX; // mouseX minus half the screen width
    int32_t mouseDY; // mouseY minus half the screen height

    bool isDown(int code) const { return (keys[code >> 3] >> (code & 7)) & 1; }
};

class InputListener {
public:
    // Consumes the event by answering true.
    virtual bool handleInput(int32_t type, const InputState& state) = 0;
    int32_t eventMask = -1; // sum of the event types wanted

protected:
    ~InputListener() = default;
};
