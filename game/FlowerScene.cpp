// The flower game: petal count from the clock, the flower's geometry from the viewport, the
// frame's drawing passes and the plucking by left click. A texture or font that failed to load
// leaves a flat-coloured shape or no text in its place, never a crash.
#include "game/FlowerScene.h"

#include "app/Application.h"
#include "app/Log.h"
#include "app/Timer.h"
#include "game/Messages.h"
#include "input/InputSystem.h"
#include "platform/platform.h"
#include "resources/Font.h"
#include "resources/TextStyle.h"
#include "resources/Texture.h"
#include <cmath>

namespace {

const float TwoPi = 6.2831855f;
const float Pi = 3.1415927f;
// The float nearest 1/32767 lies just below it, so r = 32767 gives 49 petals, not 50.
const float RandomScale = 0x1.0002p-15f;
const uint32_t RandomMultiplier = 214013;
const uint32_t RandomIncrement = 2531011;
const int32_t CursorSize = 63;
const float VerdictRise = 80;
const float MessageX = 10;

// Flat colours that stand in for textures that failed to load.
const float FallbackBackground[4] = {0.12f, 0.32f, 0.16f, 1};
const float FallbackPetal[4] = {1, 1, 1, 1};
const float FallbackCentre[4] = {1, 0.85f, 0.1f, 1};
const float FallbackLogo[4] = {1, 1, 1, 0.35f};
const float FallbackCursor[4] = {1, 0.5f, 0.1f, 0.8f};

// Binds the texture, or with none loaded switches texturing off and sets the flat colour.
void bindOrFlat(Texture* texture, const float* colour) {
    if (texture) {
        texture->getHandle().bind(0);
    } else {
        glDisable(GL_TEXTURE_2D);
        glColor4f(colour[0], colour[1], colour[2], colour[3]);
    }
}

// Undoes bindOrFlat; white keeps later replace-mode drawing of RGB textures fully opaque.
void unbindOrFlat(Texture* texture) {
    if (texture)
        texture->getHandle().unbind();
    else
        glColor4f(1, 1, 1, 1);
}

// A quad from (x0, y0) to (x1, y1) whose texture coordinates run from (0, 0) to (s, t).
void texturedQuad(float x0, float y0, float x1, float y1, float s, float t) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(s, 0);
    glVertex2f(x1, y0);
    glTexCoord2f(s, t);
    glVertex2f(x1, y1);
    glTexCoord2f(0, t);
    glVertex2f(x0, y1);
    glEnd();
}

void drawText(TextStyle* style, float x, float y, const String& text) {
    if (style && style->getFont())
        style->draw(x, y, text);
}

} // namespace

// The clock is read only after the resources are loaded, so the seed is the moment the flower
// was ready.
FlowerScene::FlowerScene() {
    loadResources();
    plant(Timer::instance()->now());
}

FlowerScene::FlowerScene(uint32_t seed) {
    loadResources();
    plant(seed);
}

void FlowerScene::loadResources() {
    eventMask = EventPress;
    visible = true;

    petalTexture = Texture::load("textures/w_tavelina/petal");
    centreTexture = Texture::load("textures/w_tavelina/center");
    backgroundTexture = Texture::load("textures/w_tavelina/bg1");
    logoTexture = Texture::load("textures/w_tavelina/logo");
    cursorTexture = Texture::load("textures/w_tavelina/cursor");

    lovesText = new TextStyle(Font::load("data/graffiti"), Vector3(0, 1, 0), 40);
    lovesNotText = new TextStyle(Font::load("data/graffiti"), Vector3(1, 0.71f, 0.7f), 40);
    verdictText = new TextStyle(Font::load("data/graffiti"), Vector3(1, 1, 0), 80);
}

void FlowerScene::plant(uint32_t seed) {
    uint32_t random = seed;
    petalCount = petalCountFor(nextRandom(random));
    petalsLeft = petalCount;
    edgeSegments = 10;
    petals.assign(petalCount, 1);
    loves = true;
}

FlowerScene::~FlowerScene() {
    delete verdictText;
    delete lovesNotText;
    delete lovesText;
}

uint32_t FlowerScene::nextRandom(uint32_t& state) {
    state = state * RandomMultiplier + RandomIncrement;
    return (state >> 16) & 0x7FFF;
}

uint32_t FlowerScene::petalCountFor(uint32_t r) {
    return 20 + static_cast<uint32_t>(30.0 * static_cast<double>(r) * double(RandomScale));
}

uint32_t FlowerScene::petalIndexAt(float theta) const {
    float sector = theta / TwoPi * static_cast<float>(petalCount);
    uint32_t index = sector > 0 ? static_cast<uint32_t>(sector) : 0;
    // A theta just below 2 pi can round to 2 pi itself in single precision; that point belongs
    // to the last sector, and the index must stay inside the petal array.
    if (index >= petalCount)
        index = petalCount - 1;
    return index;
}

bool FlowerScene::inRing(float d) const {
    return !(d > outerRadius + tipBulge || d < innerRadius);
}

bool FlowerScene::start() {
    return true;
}

bool FlowerScene::resize(const Rect& viewport) {
    centreX = (viewport.x0 + viewport.x1) * 0.5f;
    centreY = (viewport.y0 + viewport.y1) * 0.5f;
    outerRadius = 0.7f * centreY;
    tipBulge = 0.2f * centreY;
    innerRadius = 0.1f * centreY;
    logoWidth = 0.25f * (viewport.x1 - viewport.x0);
    logoHeight = (viewport.y1 - viewport.y0) * (1.0f / 6.0f);
    messageY = viewport.y1 - 50;
    petalStep = TwoPi / static_cast<float>(petalCount);
    petalGap = petalStep * 0.06666667f;
    tipPhaseStep = Pi / static_cast<float>(edgeSegments);
    edgeAngleStep = (petalStep - 2 * petalGap) / static_cast<float>(edgeSegments);
    edgeTexStep = 1.0f / static_cast<float>(edgeSegments);
    return true;
}

void FlowerScene::drawBackground() {
    bindOrFlat(backgroundTexture, FallbackBackground);
    // Every textured shape of the scene is drawn in replace mode; text sets its own mode.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // Tiled 8 x 6 times over a fixed 1024 x 768 area whatever the screen size.
    texturedQuad(0, 0, 1024, 768, 8, 6);
    if (!backgroundTexture)
        glColor4f(1, 1, 1, 1);
}

void FlowerScene::drawPetals() {
    bindOrFlat(petalTexture, FallbackPetal);
    for (uint32_t i = 0; i < petalCount; ++i) {
        if (!petals[i])
            continue;
        float start = static_cast<float>(i) * petalStep + petalGap;
        float end = static_cast<float>(i + 1) * petalStep - petalGap;
        glBegin(GL_POLYGON);
        glTexCoord2f(1, 1);
        glVertex2f(centreX + innerRadius * std::cos(end), centreY + innerRadius * std::sin(end));
        glTexCoord2f(0, 1);
        glVertex2f(centreX + innerRadius * std::cos(start),
                   centreY + innerRadius * std::sin(start));
        for (uint32_t j = 0; j <= edgeSegments; ++j) {
            float angle = start + static_cast<float>(j) * edgeAngleStep;
            float radius = outerRadius + tipBulge * std::sin(static_cast<float>(j) * tipPhaseStep);
            glTexCoord2f(static_cast<float>(j) * edgeTexStep, 0);
            glVertex2f(centreX + radius * std::cos(angle), centreY + radius * std::sin(angle));
        }
        glEnd();
    }
    if (!petalTexture)
        glColor4f(1, 1, 1, 1);
}

void FlowerScene::drawCentre() {
    bindOrFlat(centreTexture, FallbackCentre);
    glBegin(GL_POLYGON);
    for (uint32_t i = 0; i < petalCount; ++i) {
        float angle = static_cast<float>(i) * petalStep;
        float c = std::cos(angle);
        float s = std::sin(angle);
        glTexCoord2f((c + 1) * 0.5f, (s + 1) * 0.5f);
        glVertex2f(centreX + innerRadius * c, centreY + innerRadius * s);
    }
    glEnd();
    if (!centreTexture)
        glColor4f(1, 1, 1, 1);
}

void FlowerScene::drawLogo() {
    bindOrFlat(logoTexture, FallbackLogo);
    texturedQuad(0, 0, logoWidth, logoHeight, 1, 1);
    if (!logoTexture)
        glColor4f(1, 1, 1, 1);
}

void FlowerScene::drawCursor() {
    InputState state = InputSystem::instance()->getState();
    int32_t mx = state.mouseX;
    int32_t my = state.mouseY;
    bindOrFlat(cursorTexture, FallbackCursor);
    texturedQuad(static_cast<float>(mx), static_cast<float>(my),
                 static_cast<float>(mx + CursorSize), static_cast<float>(my + CursorSize), 1, 1);
    unbindOrFlat(cursorTexture);
}

void FlowerScene::drawVerdict() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawLogo();
    unbindOrFlat(logoTexture);
    String text(loves ? LovedVerdict : NotLovedVerdict);
    if (verdictText && verdictText->getFont()) {
        float width = verdictText->width(text, -1);
        verdictText->draw(centreX - width * 0.5f, centreY - VerdictRise, text);
    }
    glDisable(GL_BLEND);
}

void FlowerScene::render() {
    drawBackground();
    if (petalsLeft == 0) {
        drawVerdict();
        return;
    }
    drawPetals();
    drawCentre();
    // Petals and centre are opaque; the logo and the cursor carry alpha.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawLogo();
    drawCursor();
    glDisable(GL_BLEND);
    if (loves)
        drawText(lovesText, MessageX, messageY, LovesMessage);
    else
        drawText(lovesNotText, MessageX, messageY, LovesNotMessage);
}

bool FlowerScene::handleInput(int32_t type, const InputState& state) {
    if (!(type & EventPress))
        return false;
    if (state.key == KeyEscape) {
        // Not consumed: the objects after this one still see the key.
        Application::instance()->quit();
        return false;
    }
    if (state.key != MouseLeft)
        return false;

    float dx = static_cast<float>(state.mouseX) - centreX;
    float dy = -(static_cast<float>(state.mouseY) - centreY); // grows upwards
    float d = std::sqrt(dy * dy + dx * dx);
    if (!inRing(d))
        return false;
    float angle = std::atan2(dy, dx);
    if (Log* log = Application::instance()->log)
        writeFormatted(*log, "%0.2f %0.2f %0.3f", static_cast<double>(dx), static_cast<double>(dy),
                       static_cast<double>(angle));

    float theta = angle > 0 ? TwoPi - angle : -angle;
    uint32_t index = petalIndexAt(theta);
    if (petals[index]) {
        loves = !loves;
        --petalsLeft;
        // The verdict draws no cursor of the game's: the system's pointer comes back over it, so
        // that the player has one (and a page around the game learns that the round is over).
        if (petalsLeft == 0)
            ShowCursor(TRUE);
    }
    petals[index] = 0;
    // Consumed even when the petal was already gone or the verdict is showing.
    return true;
}
