// Fuzz target bodies that go all the way to the driver: the input is served through the real
// FileSystem to Texture::load and Font::load, uploaded into a headless Mesa context (SDL's
// offscreen driver), and a loaded font draws every byte, so that AddressSanitizer sees every
// byte OpenGL and the mipmap build read from the loaders' buffers.
#include "fuzz/targets.h"
#include "resources/FileSystem.h"
#include "resources/Font.h"
#include "resources/MemoryStream.h"
#include "resources/Texture.h"
#include "tests/support/GlContext.h"
#include <cstdlib>
#include <string>

namespace {

// Serves the input being run under any name: the loaders reach it through the FileSystem.
class FuzzInput : public FileSource {
public:
    const uint8_t* data = nullptr;
    size_t size = 0;

    bool exists(const String&) override { return true; }
    std::ifstream* openTextRead(const String&) override { return nullptr; }
    std::ofstream* openTextWrite(const String&) override { return nullptr; }
    Stream* openRead(const String&) override {
        return new MemoryStream(data, size > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(size));
    }
    Stream* openWrite(const String&) override { return nullptr; }
};

FuzzInput& input(const uint8_t* data, size_t size) {
    static FuzzInput* source = nullptr;
    if (source == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        testsupport::makeContext();
        source = new FuzzInput();
        FileSystem::instance()->addSource("fuzz/", source);
    }
    source->data = data;
    source->size = size;
    return *source;
}

// The registries keep every loaded resource for good, as in the game, so every input needs a
// name of its own to be read at all.
String freshName() {
    static unsigned long count = 0;
    return String(("fuzz/" + std::to_string(++count)).c_str());
}

} // namespace

void fuzzTextureUpload(const uint8_t* data, size_t size) {
    input(data, size);
    Texture* texture = Texture::load(freshName());
    // The registry keeps the object; the driver's copy of the pixels can go.
    if (texture != nullptr)
        texture->getHandle().destroy();
}

void fuzzFontDrawing(const uint8_t* data, size_t size) {
    input(data, size);
    Font* font = Font::load(freshName());
    if (font == nullptr)
        return;
    // The build leaves the font's texture bound; drawing unbinds it.
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    char bytes[256];
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(i);
    String text(bytes, 256);
    font->drawText(Vector3(1, 1, 1), 1.0f, text, 0, 0);
    font->textWidth(1.0f, text, -1);
    GLuint name = GLuint(texture);
    glDeleteTextures(1, &name);
}
