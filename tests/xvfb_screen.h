// What the virtual display shows, read from the XWD file that Xvfb keeps of
// its frame buffer (its -fbdir, named by MC_XVFB_FBDIR; see
// scripts/xvfb-test.sh): the pixels as the X server holds them, whatever
// process drew them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// The virtual display's picture, read from the XWD file Xvfb keeps of its
// frame buffer; empty without one.
struct ScreenShot {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, row by row
    uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

inline ScreenShot ReadScreen() {
    ScreenShot shot;
    const char* dir = std::getenv("MC_XVFB_FBDIR");
    if (dir == nullptr) return shot;
    std::ifstream in(std::filesystem::path(dir) / "Xvfb_screen0", std::ios::binary);
    std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto word = [&](size_t i) {  // the header's fields are big-endian
        const unsigned char* b = file.data() + i * 4;
        return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    };
    if (file.size() < 100) return shot;
    const uint32_t headerSize = word(0), width = word(4), height = word(5), byteOrder = word(7);
    const uint32_t bitsPerPixel = word(11), bytesPerLine = word(12), colours = word(19);
    const size_t pixels = size_t(headerSize) + size_t(colours) * 12;
    if (bitsPerPixel != 32 || file.size() < pixels + size_t(bytesPerLine) * height) return shot;
    shot.width = int(width);
    shot.height = int(height);
    shot.rgb.resize(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = file.data() + pixels + size_t(y) * bytesPerLine + x * 4;
            const uint32_t v = byteOrder == 0 ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16
                                              : uint32_t(p[3]) | uint32_t(p[2]) << 8 | uint32_t(p[1]) << 16;
            shot.rgb[size_t(y) * width + x] = v;
        }
    return shot;
}

// How many pixels of the w x h region at (x0, y0) differ between two pictures.
inline int ChangedPixels(const ScreenShot& a, const ScreenShot& b, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += a.At(x, y) != b.At(x, y);
    return n;
}
