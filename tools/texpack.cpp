// pelmora-texpack: converts a PNG picture into a ".glt" texture file for the engine.
#include "PngImage.h"
#include "ToolSupport.h"

#include "resources/formats/GltFormat.h"

#include <cstdio>
#include <string>

namespace {

const char* const Help =
    "Converts a PNG into a .glt texture: 8-bit GL_RGB or GL_RGBA pixels, the PNG's top row\n"
    "first (texture coordinate t = 0), each row padded to a multiple of 4 bytes. Pictures with a\n"
    "side above 16384 pixels or more than 256 MiB of RGBA are refused.\n\n"
    "  --format rgb|rgba    pixel format; default: rgba when the PNG has alpha, else rgb\n"
    "  --wrap repeat|clamp  wrap mode for s and t (GL_REPEAT or GL_CLAMP); default repeat\n"
    "  --help, --version\n";

// RGBA rows to the file's pixel data: 3 or 4 bytes a pixel, rows padded as OpenGL unpacks them.
formats::GltImage packPixels(const PngImage& picture, uint32_t format) {
    uint32_t channels = format == formats::GlRgba ? 4 : 3;
    size_t stride = size_t(formats::gltRowStride(format, formats::GlUnsignedByte, picture.width));
    formats::GltImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.pixels.assign(stride * picture.height, 0);
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* source = picture.rgba.data() + size_t(y) * picture.width * 4;
        uint8_t* row = image.pixels.data() + size_t(y) * stride;
        for (uint32_t x = 0; x < picture.width; ++x)
            for (uint32_t c = 0; c < channels; ++c)
                row[size_t(x) * channels + c] = source[size_t(x) * 4 + c];
    }
    image.dataSize = uint32_t(image.pixels.size());
    return image;
}

int texpack(int argc, char** argv) {
    CommandLine line("pelmora-texpack",
                     "[--format rgb|rgba] [--wrap repeat|clamp] input.png "
                     "output.glt",
                     Help, {{"--format", true}, {"--wrap", true}});
    int exitCode = 0;
    if (!line.parse(argc, argv, exitCode))
        return exitCode;
    if (line.operands().size() != 2)
        return line.usageError("an input PNG and an output file are needed");
    const std::string& input = line.operands()[0];
    const std::string& output = line.operands()[1];
    std::string format = line.value("--format");
    if (!format.empty() && format != "rgb" && format != "rgba")
        return line.usageError("--format must be rgb or rgba, not " + format);
    std::string wrapName = line.value("--wrap", "repeat");
    formats::GltFileHeader header;
    if (wrapName == "repeat")
        header.wrap = formats::GlRepeat;
    else if (wrapName == "clamp")
        header.wrap = formats::GlClamp;
    else
        return line.usageError("--wrap must be repeat or clamp, not " + wrapName);

    PngImage picture;
    std::string error;
    if (!picture.read(input, error))
        return line.fail(error);
    if (picture.width == 0 || picture.height == 0)
        return line.fail(input + " has no pixels");
    if (!isPowerOfTwo(picture.width) || !isPowerOfTwo(picture.height))
        line.warn(input + " is " + std::to_string(picture.width) + "x" +
                  std::to_string(picture.height) + "; OpenGL 1.1 needs power-of-two sides");

    bool alpha = format.empty() ? picture.hasAlpha : format == "rgba";
    header.format = alpha ? formats::GlRgba : formats::GlRgb;
    if (!writeFile(output, formats::writeGlt(header, packPixels(picture, header.format)), error))
        return line.fail(error);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return runTool("pelmora-texpack", texpack, argc, argv);
}
