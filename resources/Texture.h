// A texture loaded from a ".glt" file into an OpenGL texture object with mipmaps. Loaded
// textures are kept in a process-wide registry, newest first, and live until the program ends.
// Reading the file is kept apart from the upload so that the reader runs without a window.
#pragma once

#include "resources/Resource.h"
#include "resources/TextureHandle.h"
#include <vector>

class Stream;

// The 28-byte file header of a ".glt" file.
struct TextureFileHeader {
    uint32_t magic = 0;
    uint32_t version = 0;
    uint32_t target = 0;
    uint32_t format = 0;
    uint32_t type = 0;
    uint32_t wrap = 0;
};

// The 16-byte image header (a reserved field, then these three) and the pixel data after it.
struct TextureImage {
    uint32_t dataSize = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels; // dataSize bytes
};

class Texture : public Resource {
public:
    static constexpr uint32_t FileMagic = 0x46544C47; // "GLTF"
    static constexpr uint32_t FileVersionMax = 1;
    static constexpr int32_t FileHeaderSize = 28;
    static constexpr int32_t ImageHeaderSize = 16;

    // Answers the registered texture of that name, or loads name + ".glt" through the file
    // system. On failure writes "Texture id=<name> load failed" to the log and answers null.
    // Needs a current OpenGL context; leaves the texture bound on unit 0 with 2D texturing on.
    static Texture* load(const String& name);

    ~Texture() override;

    TextureHandle& getHandle() { return handle_; }
    const TextureHandle& getHandle() const { return handle_; }

    // Reads the file header; false when it is short, its magic is wrong or its version is too
    // new.
    static bool readFileHeader(Stream& stream, TextureFileHeader& header);
    // Reads the image header and the pixel data; false when either is short, or when the data
    // holds less than OpenGL reads for the image's size, format and type (unknown formats and
    // types included, since their size cannot be known).
    static bool readImage(Stream& stream, const TextureFileHeader& header, TextureImage& image);
    // Bytes OpenGL reads from client memory for such an image at unpack alignment 4, or -1 for
    // a format or type it does not know.
    static int64_t pixelBytes(uint32_t format, uint32_t type, uint32_t width, uint32_t height);
    // The internal format of the level-0 upload, and the one given to the mipmap build, which
    // keeps whatever channels the level-0 upload keeps.
    static GLint internalFormatFor(uint32_t format);
    static GLint mipmapComponentsFor(uint32_t format);

private:
    Texture() = default;

    TextureHandle handle_;
};
