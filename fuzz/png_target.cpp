// The asset tools' PNG reader as a fuzz target: any input must end in a picture or a message,
// never in an abort, however large the picture its header claims.
#include "PngImage.h"
#include "fuzz/targets.h"
#include <cstdlib>

void fuzzPngImage(const uint8_t* data, size_t size) {
    PngImage picture;
    std::string error;
    if (!picture.decode(data, size, "input", error)) {
        if (error.empty())
            std::abort();
        return;
    }
    if (picture.rgba.size() != size_t(picture.width) * picture.height * 4 ||
        picture.width > PngImage::MaxSide || picture.height > PngImage::MaxSide)
        std::abort();
}
