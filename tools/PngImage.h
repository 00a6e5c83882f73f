// A decoded PNG as 8-bit RGBA rows, top row first, whatever the file's own colour type and depth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false; // the file carries an alpha channel or a transparency chunk
    std::vector<uint8_t> rgba;

    bool read(const std::string& path, std::string& error);
    // Writes RGBA, or RGB when withAlpha is false.
    bool write(const std::string& path, bool withAlpha, std::string& error) const;
};
