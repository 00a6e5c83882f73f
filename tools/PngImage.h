// A decoded PNG as 8-bit RGBA rows, top row first, whatever the file's own colour type and depth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    // The largest picture the tools accept: a side no larger than GL_MAX_TEXTURE_SIZE of today's
    // drivers (Mesa's llvmpipe included), and no more than 256 MiB of RGBA, since one texture
    // load holds the pixels several times over (the file in memory, OpenGL's copy and the mipmap
    // build's). Bigger claims are refused before anything is allocated.
    static constexpr uint32_t MaxSide = 16384;
    static constexpr uint64_t MaxRgbaBytes = uint64_t(256) << 20;

    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false; // the file carries an alpha channel or a transparency chunk
    std::vector<uint8_t> rgba;

    bool read(const std::string& path, std::string& error);
    // Decodes a PNG held in memory; name is what messages call it.
    bool decode(const uint8_t* data, size_t size, const std::string& name, std::string& error);
    // Writes RGBA, or RGB when withAlpha is false.
    bool write(const std::string& path, bool withAlpha, std::string& error) const;
};
