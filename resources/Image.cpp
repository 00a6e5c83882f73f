// Image: the pixel buffer of a font build.
#include "resources/Image.h"
#include <new>

Image::~Image() {
    delete[] pixels_;
}

bool Image::setWidth(uint32_t width) {
    if (pixels_ != nullptr)
        return false;
    width_ = width;
    return true;
}

bool Image::setHeight(uint32_t height) {
    if (pixels_ != nullptr)
        return false;
    height_ = height;
    return true;
}

bool Image::setBitsPerPixel(uint32_t bits) {
    if (pixels_ != nullptr)
        return false;
    bitsPerPixel_ = bits;
    return true;
}

bool Image::allocate() {
    if (pixels_ != nullptr)
        return false;
    uint64_t pixels = uint64_t(width_) * height_;
    if (pixels == 0 || bitsPerPixel_ == 0 || bitsPerPixel_ > UINT64_MAX / pixels)
        return false;
    uint64_t bytes = (pixels * bitsPerPixel_ + 7) / 8;
    if (bytes > SIZE_MAX / 2)
        return false;
    pixels_ = new (std::nothrow) uint8_t[size_t(bytes)];
    if (pixels_ == nullptr)
        return false;
    byteCount_ = size_t(bytes);
    return true;
}
