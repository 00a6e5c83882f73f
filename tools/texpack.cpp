// pelmora-texpack: converts a PNG picture into a ".glt" texture file for the engine.
#include "BinaryIO.h"
#include "GltFormat.h"
#include "PngImage.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* usage = "usage: pelmora-texpack [--format rgb|rgba] [--wrap repeat|clamp] input.png "
                    "output.glt\n";

void printHelp() {
    std::printf("%s", usage);
    std::printf(
        "\nConverts a PNG into a .glt texture: 8-bit GL_RGB or GL_RGBA pixels, the PNG's top row\n"
        "first (texture coordinate t = 0), each row padded to a multiple of 4 bytes.\n\n"
        "  --format rgb|rgba    pixel format; default: rgba when the PNG has alpha, else rgb\n"
        "  --wrap repeat|clamp  wrap mode for s and t (GL_REPEAT or GL_CLAMP); default repeat\n"
        "  --help               this text\n");
}

int fail(const std::string& message) {
    std::fprintf(stderr, "pelmora-texpack: %s\n", message.c_str());
    return 1;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "pelmora-texpack: %s\n%s", message.c_str(), usage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string format, wrapName = "repeat", input, output;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 0;
        }
        if (arg == "--format" || arg == "--wrap") {
            if (i + 1 >= argc)
                return usageError(arg + " needs a value");
            (arg == "--format" ? format : wrapName) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option " + arg);
        } else if (input.empty()) {
            input = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return usageError("unexpected argument " + arg);
        }
    }
    if (input.empty() || output.empty())
        return usageError("an input PNG and an output file are needed");
    if (!format.empty() && format != "rgb" && format != "rgba")
        return usageError("--format must be rgb or rgba, not " + format);
    uint32_t wrap;
    if (wrapName == "repeat")
        wrap = GltRepeat;
    else if (wrapName == "clamp")
        wrap = GltClamp;
    else
        return usageError("--wrap must be repeat or clamp, not " + wrapName);

    PngImage image;
    std::string error;
    if (!image.read(input, error))
        return fail(error);
    if (image.width == 0 || image.height == 0)
        return fail(input + " has no pixels");
    if (!isPowerOfTwo(image.width) || !isPowerOfTwo(image.height))
        std::fprintf(stderr,
                     "pelmora-texpack: warning: %s is %ux%u; OpenGL 1.1 needs power-of-two sides\n",
                     input.c_str(), image.width, image.height);

    bool alpha = format.empty() ? image.hasAlpha : format == "rgba";
    Bytes glt =
        encodeGlt(image.rgba.data(), image.width, image.height, alpha ? GltRgba : GltRgb, wrap);
    if (!writeFile(output, glt, error))
        return fail(error);
    return 0;
}
