// The frame-rate counter: placed against the viewport's edges by the width of the widest value
// expected, updated from the display's frame count by the timer, drawn as a decimal number.
#include "game/FrameRateDisplay.h"

#include "app/Timer.h"
#include "graphics/GraphicSystem.h"
#include "resources/TextStyle.h"

namespace {
const uint32_t OneSecond = 1000;
} // namespace

FrameRateDisplay::FrameRateDisplay(int32_t horizontal, int32_t vertical, TextStyle* style) {
    text = style;
    horizontalAlign = horizontal;
    verticalAlign = vertical;
    eventMask = 0;
    visible = true;
    period = OneSecond;
    Timer::instance()->addListener(this);
}

FrameRateDisplay::~FrameRateDisplay() {
    delete text;
}

bool FrameRateDisplay::handleInput(int32_t, const InputState&) {
    return false;
}

bool FrameRateDisplay::start() {
    return true;
}

bool FrameRateDisplay::resize(const Rect& viewport) {
    // The width of "9999" whatever the value, so that the number does not jump as it changes.
    float w = text ? text->width("9999", -1) : 0;
    float h = text ? text->getSize() : 0;
    if (horizontalAlign == AlignRight)
        textX = viewport.x1 - w;
    else if (horizontalAlign == AlignCentre)
        textX = (viewport.x1 - w) * 0.5f;
    else
        textX = 0;
    if (verticalAlign == AlignBottom)
        textY = viewport.y1 - h;
    else if (verticalAlign == AlignCentre)
        textY = (viewport.y1 - h) * 0.5f;
    else
        textY = 0;
    // Counting starts from the moment of placement.
    GraphicSystem::instance()->resetFrameCount();
    return true;
}

void FrameRateDisplay::render() {
    if (text && text->getFont())
        text->drawFormatted(textX, textY, "%i", framesPerSecond);
}

void FrameRateDisplay::onTimer(uint32_t count) {
    // count is at least 1: the timer calls only when at least one whole period has passed.
    framesPerSecond = static_cast<int32_t>(GraphicSystem::instance()->getFrameCount() / count);
    GraphicSystem::instance()->resetFrameCount();
}
