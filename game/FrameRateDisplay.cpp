// The frame-rate counter: placed against the viewport's edges by the width of the widest value
// expected, updated from the display's frame count by the timer, drawn as a decimal number.
#include "game/FrameRateDisplay.h"

#include "app/Timer.h"
#include "graphics/GraphicSystem.h"
#include "resources/TextStyle.h"

namespace {

const uint32_t OneSecond = 1000;

// Where text of that size starts on an axis from 0 to end: against the far edge, centred, or at 0
// for any other alignment.
float alignedStart(int32_t align, int32_t farEdge, float end, float size) {
    if (align == farEdge)
        return end - size;
    if (align == FrameRateDisplay::AlignCentre)
        return (end - size) * 0.5f;
    return 0;
}

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
    textX = alignedStart(horizontalAlign, AlignRight, viewport.x1, w);
    textY = alignedStart(verticalAlign, AlignBottom, viewport.y1, h);
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
