// The frames-per-second counter in a corner of the screen: a scene object that the timer calls
// once a second to turn the display's frame count into a rate, and that draws the last rate.
#pragma once

#include "app/SceneObject.h"
#include "app/TimerListener.h"
#include "graphics/Math.h"
#include <cstdint>

class TextStyle;

class FrameRateDisplay : public SceneObject, public TimerListener {
public:
    enum Alignment : int32_t {
        AlignRight = 1,  // horizontal: against the right edge
        AlignBottom = 3, // vertical: against the bottom edge
        AlignCentre = 4  // either axis: centred
    };

    // Takes ownership of text and registers with the timer for a period of one second.
    FrameRateDisplay(int32_t horizontalAlign, int32_t verticalAlign, TextStyle* text);
    ~FrameRateDisplay() override;

    bool handleInput(int32_t type, const InputState& state) override;
    bool start() override;
    bool resize(const Rect& viewport) override;
    void render() override;
    void onTimer(uint32_t count) override;

    // Shown as 0 until the timer's first call.
    int32_t framesPerSecond = 0;
    TextStyle* text = nullptr;
    float textX = 0;
    float textY = 0;
    int32_t horizontalAlign = 0;
    int32_t verticalAlign = 0;
};
