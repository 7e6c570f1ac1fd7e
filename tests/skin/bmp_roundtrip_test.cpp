// The BMP writer and reader agree: every depth and compression the skin uses
// round-trips a picture with runs, single pixels and literal stretches.
#include <gtest/gtest.h>

#include <cstdint>

#include "res/bmp.h"
#include "tools/skin_gen/image_io.h"

namespace {

skin::IndexedImage Pattern(int w, int h, int colours) {
    skin::IndexedImage img;
    img.width = w;
    img.height = h;
    for (int i = 0; i < colours; ++i) img.palette.push_back(skin::MakeRgb(i * 7, 255 - i, (i * 37) & 255));
    std::uint32_t seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            int v;
            if (y % 3 == 0)
                v = (x / 9) % colours;  // runs
            else if (y % 3 == 1)
                v = int((seed >> 16) % std::uint32_t(colours));  // noise: literal stretches
            else
                v = (x % 5 == 0) ? int((seed >> 16) % std::uint32_t(colours)) : 3 % colours;  // mixed
            img.idx.push_back(std::uint8_t(v));
        }
    return img;
}

TEST(BmpRoundTrip, EveryDepthAndCompression) {
    struct Case {
        int bits;
        skin::BmpCompression compression;
        int width;
    };
    for (Case c : {Case{8, skin::BmpCompression::kNone, 37}, Case{8, skin::BmpCompression::kRle, 301},
                   Case{4, skin::BmpCompression::kNone, 33}, Case{4, skin::BmpCompression::kRle, 230},
                   Case{4, skin::BmpCompression::kRle, 7}}) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits, width " + std::to_string(c.width));
        skin::IndexedImage img = Pattern(c.width, 19, c.bits == 8 ? 256 : 16);
        std::vector<std::uint8_t> file = skin::EncodeBmpIndexed(img, c.bits, c.compression);
        DecodedBitmap out;
        ASSERT_TRUE(DecodeBmp(file, out));
        ASSERT_EQ(out.width, img.width);
        ASSERT_EQ(out.height, img.height);
        EXPECT_EQ(out.indices, img.idx);
        for (std::size_t i = 0; i < img.idx.size(); ++i) ASSERT_EQ(out.pixels[i], img.palette[img.idx[i]]) << i;
    }
    skin::Image rgb(13, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) rgb.Set(x, y, skin::MakeRgb(x * 19, y * 50, 200 - x));
    DecodedBitmap out;
    ASSERT_TRUE(DecodeBmp(skin::EncodeBmp24(rgb), out));
    EXPECT_EQ(out.pixels, rgb.px);
}

}  // namespace
