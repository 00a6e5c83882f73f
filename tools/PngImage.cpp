// PNG decoding and encoding through libpng, normalised to 8-bit RGBA in memory.
#include "PngImage.h"
#include "ToolSupport.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

// The error that ended a read, after the warning that explains it when there is one (libpng
// says why a header is refused in a warning, and then only "Invalid IHDR data").
struct PngErrorText {
    char message[256] = "";
    char warning[256] = "";
};

void onPngError(png_structp png, png_const_charp message) {
    auto* text = static_cast<PngErrorText*>(png_get_error_ptr(png));
    if (text->warning[0] != 0)
        std::snprintf(text->message, sizeof text->message, "%.120s (%.120s)", message,
                      text->warning);
    else
        std::snprintf(text->message, sizeof text->message, "%s", message);
    longjmp(png_jmpbuf(png), 1);
}

void onPngWarning(png_structp png, png_const_charp message) {
    auto* text = static_cast<PngErrorText*>(png_get_error_ptr(png));
    std::snprintf(text->warning, sizeof text->warning, "%s", message);
}

struct MemoryReader {
    const uint8_t* data;
    size_t left;
};

void readFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->left)
        png_error(png, "file ends early");
    std::memcpy(out, reader->data, count);
    reader->data += count;
    reader->left -= count;
}

} // namespace

bool PngImage::read(const std::string& path, std::string& error) {
    Bytes file;
    return readFile(path, file, error) && decode(file.data(), file.size(), path, error);
}

bool PngImage::decode(const uint8_t* data, size_t size, const std::string& name,
                      std::string& error) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        error = name + " is not a PNG file";
        return false;
    }
    PngErrorText text;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &text, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "out of memory reading " + name;
        return false;
    }
    MemoryReader reader{data + 8, size - 8};
    // Declared before setjmp so that the longjmp leaves nothing half-constructed behind.
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = name + ": broken PNG: " + text.message;
        rgba.clear();
        return false;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_set_sig_bytes(png, 8);
    // libpng refuses larger headers itself, before it allocates anything for them.
    png_set_user_limits(png, MaxSide, MaxSide);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (uint64_t(width) * height * 4 > MaxRgbaBytes)
        png_error(png, "image larger than the 256 MiB of RGBA the engine takes in one texture");

    int colourType = png_get_color_type(png, info);
    hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        png_error(png, "unexpected row layout after conversion");
    rgba.assign(size_t(width) * height * 4, 0);
    rows.resize(height);
    for (uint32_t y = 0; y < height; ++y)
        rows[y] = rgba.data() + size_t(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool PngImage::write(const std::string& path, bool withAlpha, std::string& error) const {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    PngErrorText text;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &text, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> row;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(file);
        error = "cannot write " + path + ": " + text.message;
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    int channels = withAlpha ? 4 : 3;
    row.resize(size_t(width) * channels);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* source = rgba.data() + size_t(y) * width * 4;
        for (uint32_t x = 0; x < width; ++x)
            std::memcpy(&row[size_t(x) * channels], source + size_t(x) * 4, channels);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}
