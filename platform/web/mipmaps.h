// The image arithmetic behind gluBuild2DMipmaps, free of GL so that it can be checked natively:
// scaling to power-of-two sides and halving, on 8-bit channels in rows padded to 4 bytes (GL's
// default unpack alignment, which the engine never changes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct MipImage {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels; // rows padded to a multiple of 4 bytes

    static int rowBytes(int width, int channels) { return (width * channels + 3) / 4 * 4; }
    uint8_t* at(int x, int y) {
        return &pixels[std::size_t(y) * rowBytes(width, channels) + x * channels];
    }
    const uint8_t* at(int x, int y) const {
        return &pixels[std::size_t(y) * rowBytes(width, channels) + x * channels];
    }
};

// The power of two nearest to size (the larger one on a tie), at most limit.
int nearestPowerOfTwo(int size, int limit);
// The image box-filtered to the given size: each new pixel is the mean of the pixels its area
// covers (the nearest one when it covers less than a pixel).
MipImage scaleImage(const MipImage& image, int width, int height);
// The next smaller mipmap level: both sides halved (a side of 1 stays 1), each pixel the mean of
// the pixels it replaces.
MipImage halveImage(const MipImage& image);
