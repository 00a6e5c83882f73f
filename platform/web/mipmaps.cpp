// Box filtering for the mipmap levels that the browser's GL does not build itself.
#include "platform/web/mipmaps.h"

#include <algorithm>

namespace {

MipImage blank(int width, int height, int channels) {
    MipImage image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.pixels.assign(size_t(MipImage::rowBytes(width, channels)) * height, 0);
    return image;
}

// The source pixels [first, last) that new pixel i of count covers along a side of size.
void span(int i, int count, int size, int& first, int& last) {
    first = int(int64_t(i) * size / count);
    last = std::max(first + 1, int((int64_t(i + 1) * size + count - 1) / count));
}

} // namespace

int nearestPowerOfTwo(int size, int limit) {
    int power = 1;
    while (power * 2 <= size && power * 2 <= limit)
        power *= 2;
    if (power < size && power * 2 <= limit && size - power >= power * 2 - size)
        power *= 2;
    return power;
}

MipImage scaleImage(const MipImage& image, int width, int height) {
    MipImage scaled = blank(width, height, image.channels);
    for (int y = 0; y < height; ++y) {
        int top, bottom;
        span(y, height, image.height, top, bottom);
        for (int x = 0; x < width; ++x) {
            int left, right;
            span(x, width, image.width, left, right);
            const int count = (bottom - top) * (right - left);
            for (int c = 0; c < image.channels; ++c) {
                int sum = 0;
                for (int sy = top; sy < bottom; ++sy)
                    for (int sx = left; sx < right; ++sx)
                        sum += image.at(sx, sy)[c];
                scaled.at(x, y)[c] = uint8_t((sum + count / 2) / count);
            }
        }
    }
    return scaled;
}

MipImage halveImage(const MipImage& image) {
    return scaleImage(image, std::max(1, image.width / 2), std::max(1, image.height / 2));
}
