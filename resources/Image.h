// A temporary pixel buffer: dimensions, bits per pixel and OpenGL pixel format, with a buffer
// of width x height x bits-per-pixel / 8 bytes. Dimensions are fixed once the buffer exists.
#pragma once

#include "platform/platform.h"
#include <cstddef>
#include <cstdint>

class Image {
public:
    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Each answers false, changing nothing, once the buffer exists.
    bool setWidth(uint32_t width);
    bool setHeight(uint32_t height);
    bool setBitsPerPixel(uint32_t bits);
    void setFormat(GLenum format) { format_ = format; }

    // Fails for an empty image, for a size that cannot be held and when memory is short.
    bool allocate();

    uint32_t getWidth() const { return width_; }
    uint32_t getHeight() const { return height_; }
    uint32_t getBitsPerPixel() const { return bitsPerPixel_; }
    uint8_t* getPixels() { return pixels_; }
    const uint8_t* getPixels() const { return pixels_; }
    size_t getByteCount() const { return byteCount_; }

private:
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bitsPerPixel_ = 0;
    GLenum format_ = 0;
    uint8_t* pixels_ = nullptr;
    size_t byteCount_ = 0;
};
