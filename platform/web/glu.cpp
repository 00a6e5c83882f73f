// gluBuild2DMipmaps, which Emscripten does not provide: the image is box-filtered to
// power-of-two sides and halved level by level down to 1 x 1, each level uploaded with
// glTexImage2D. WebGL takes only the pixel format itself as internal format, so the component
// count is checked but every level is stored in the format of the pixels.
#include "platform/web/internal.h"
#include "platform/web/mipmaps.h"

#include <cstring>

namespace {

constexpr GLint GluInvalidValue = 100901;
constexpr GLint GluInvalidEnum = 100900;

int channelsOf(GLenum format) {
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 0; // WebGL has no BGR orders and no single colour channels
    }
}

} // namespace

extern "C" GLint gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                                   GLenum format, GLenum type, const void* data) {
    if (width < 1 || height < 1 || components < 1 || data == nullptr)
        return GluInvalidValue;
    const int channels = channelsOf(format);
    if (channels == 0 || type != GL_UNSIGNED_BYTE)
        return GluInvalidEnum;

    MipImage image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.pixels.resize(size_t(MipImage::rowBytes(width, channels)) * height);
    std::memcpy(image.pixels.data(), data, image.pixels.size());

    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    const int scaledWidth = nearestPowerOfTwo(width, limit);
    const int scaledHeight = nearestPowerOfTwo(height, limit);
    if (scaledWidth != width || scaledHeight != height)
        image = scaleImage(image, scaledWidth, scaledHeight);
    for (GLint level = 0;; ++level) {
        glTexImage2D(target, level, GLint(format), image.width, image.height, 0, format, type,
                     image.pixels.data());
        if (image.width == 1 && image.height == 1)
            return 0;
        image = halveImage(image);
    }
}
