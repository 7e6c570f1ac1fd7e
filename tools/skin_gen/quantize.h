// Colour reduction for the palette bitmaps: one palette of up to N colours
// chosen by median cut over a set of pictures, and the mapping of a picture
// onto a palette.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/skin_gen/image.h"

namespace skin {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> idx;  // top row first
    std::vector<Rgb> palette;
    std::uint8_t At(int x, int y) const { return idx[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// A palette of at most maxColours for all of the images together. Colours in
// keep are always in it, exactly. When the images hold no more distinct
// colours than that, every colour is kept exactly.
std::vector<Rgb> BuildPalette(const std::vector<const Image*>& images, int maxColours,
                                                            const std::vector<Rgb>& keep = {});
// Each pixel becomes the index of the nearest palette colour.
IndexedImage MapToPalette(const Image& img, const std::vector<Rgb>& palette);
Image Expand(const IndexedImage& img);

}  // namespace skin
