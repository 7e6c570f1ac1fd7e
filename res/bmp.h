// Reading Windows BMP files: 24-bit, and 1-, 4- and 8-bit with a palette,
// uncompressed or run-length encoded (RLE8, RLE4); bottom-up or top-down.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct DecodedBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB; empty for 24-bit
    std::vector<std::uint8_t> indices;   // palette index per pixel, top row first; empty for 24-bit
    std::vector<std::uint32_t> pixels;   // 0x00RRGGBB per pixel, top row first

    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// False for a malformed or unsupported file; out is then unspecified.
bool DecodeBmp(std::span<const std::uint8_t> file, DecodedBitmap& out);
// Decodes the bitmap resource id; false when it does not exist.
bool LoadSkinBitmap(int id, DecodedBitmap& out);
