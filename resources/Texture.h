// A texture loaded from a ".glt" file into an OpenGL texture object with mipmaps. Loaded
// textures are kept in a process-wide registry, newest first, and live until the program ends.
// The file is read and judged by the format library (resources/formats/GltFormat.h), which
// needs no window; this class adds the upload.
#pragma once

#include "resources/Resource.h"
#include "resources/TextureHandle.h"

class Texture : public Resource {
public:
    // Answers the registered texture of that name, or loads name + ".glt" through the file
    // system. On failure writes "Texture id=<name> load failed" to the log and answers null.
    // Needs a current OpenGL context; leaves the texture bound on unit 0 with 2D texturing on.
    static Texture* load(const String& name);

    ~Texture() override;

    TextureHandle& getHandle() { return handle_; }
    const TextureHandle& getHandle() const { return handle_; }

private:
    Texture() = default;

    TextureHandle handle_;
};
