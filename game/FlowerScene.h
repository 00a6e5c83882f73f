// The game: a flower with a random number of petals in the middle of the screen. Each left click
// on a petal plucks it and flips the running answer; when none is left the verdict stands in
// the middle. Escape ends the program.
#pragma once

#include "app/SceneObject.h"
#include "graphics/Math.h"
#include "input/InputListener.h"
#include <cstdint>
#include <vector>

class Texture;
class TextStyle;

class FlowerScene : public SceneObject {
public:
    // Seeds the petal count from the timer's clock.
    FlowerScene();
    // The same flower for a given seed: the clock is only ever a source of a seed.
    explicit FlowerScene(uint32_t seed);

    bool handleInput(int32_t type, const InputState& state) override;
    bool start() override;
    bool resize(const Rect& viewport) override;
    void render() override;
    virtual ~FlowerScene();

    FlowerScene(const FlowerScene&) = delete;
    FlowerScene& operator=(const FlowerScene&) = delete;

    // The 15-bit linear congruential generator: advances state, answers 0..32767.
    static uint32_t nextRandom(uint32_t& state);
    // 20..49 petals for a draw r of 0..32767.
    static uint32_t petalCountFor(uint32_t r);
    // Index of the petal whose sector holds theta (clockwise on screen, 0 to 2 pi).
    uint32_t petalIndexAt(float theta) const;
    // Whether a click at distance d from the centre falls on the ring; both bounds belong to it.
    bool inRing(float d) const;

    uint32_t petalCount = 0;
    uint32_t petalsLeft = 0;
    uint32_t edgeSegments = 10;
    Texture* petalTexture = nullptr;
    Texture* centreTexture = nullptr;
    Texture* backgroundTexture = nullptr;
    Texture* logoTexture = nullptr;
    Texture* cursorTexture = nullptr;
    TextStyle* verdictText = nullptr;
    TextStyle* lovesText = nullptr;
    TextStyle* lovesNotText = nullptr;
    float centreX = 0;
    float centreY = 0;
    float messageY = 0;
    float outerRadius = 0;
    float innerRadius = 0;
    float tipBulge = 0;
    float logoWidth = 0;
    float logoHeight = 0;
    float petalStep = 0;
    float petalGap = 0;
    float tipPhaseStep = 0;
    float edgeAngleStep = 0;
    float edgeTexStep = 0;
    std::vector<uint8_t> petals; // 1 = present, 0 = plucked
    bool loves = true;

private:
    void loadResources();
    void plant(uint32_t seed);
    void drawBackground();
    void drawPetals();
    void drawCentre();
    void drawLogo();
    void drawCursor();
    void drawVerdict();
};
