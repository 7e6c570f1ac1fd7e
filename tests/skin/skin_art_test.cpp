// The generated skin: every bitmap's size, colour depth and frame layout, and
// the properties the painting code relies on (frame order, shared borders,
// lit against unlit, backgrounds that match under the sprites).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "res/bmp.h"
#include "res/skin_files.h"

namespace {

const DecodedBitmap& Bitmap(int id) {
    static std::map<int, DecodedBitmap> cache;
    auto it = cache.find(id);
    if (it == cache.end()) {
        DecodedBitmap b;
        EXPECT_TRUE(LoadSkinBitmap(id, b)) << "bitmap " << id;
        it = cache.emplace(id, std::move(b)).first;
    }
    return it->second;
}

int Brightness(std::uint32_t c) { return int((c >> 16) & 255) + int((c >> 8) & 255) + int(c & 255); }

bool SameRegion(const DecodedBitmap& a, int ax, int ay, const DecodedBitmap& b, int bx, int by, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (a.At(ax + x, ay + y) != b.At(bx + x, by + y)) return false;
    return true;
}

struct BitmapLayout {
    int id, width, height, bits;
    std::uint32_t compression;  // 0 plain, 1 RLE8, 2 RLE4
    int frameSize, frames;      // square frames stacked vertically; 0 = none
};

const BitmapLayout kBitmapLayouts[] = {
    {208, 630, 600, 24, 0, 0, 0},  {189, 605, 157, 8, 0, 0, 0},   {205, 630, 190, 8, 0, 0, 0},
    {196, 30, 2430, 8, 0, 30, 81}, {197, 30, 2430, 8, 0, 30, 81}, {198, 30, 2430, 8, 0, 30, 81},
    {200, 30, 2430, 8, 0, 30, 81}, {206, 24, 984, 8, 0, 24, 41},  {207, 24, 984, 8, 0, 24, 41},
    {199, 597, 24, 8, 0, 0, 0},    {194, 11, 19, 24, 0, 0, 0},    {204, 131, 38, 4, 0, 0, 0},
    {214, 640, 8, 4, 0, 0, 0},     {221, 326, 144, 8, 0, 0, 0},   {224, 247, 108, 8, 0, 0, 0},
    {229, 400, 256, 8, 1, 0, 0},   {230, 300, 300, 8, 1, 0, 0},   {236, 230, 1120, 4, 2, 0, 0},
};

TEST(SkinArt, EveryBitmapHasItsSizeDepthAndFrames) {
    for (const BitmapLayout& s : kBitmapLayouts) {
        SCOPED_TRACE("bitmap " + std::to_string(s.id));
        std::span<const std::uint8_t> file = FindSkinBitmapFile(s.id);
        ASSERT_GE(file.size(), 54u);
        std::uint32_t compression = file[30] | (file[31] << 8);
        EXPECT_EQ(compression, s.compression);
        const DecodedBitmap& b = Bitmap(s.id);
        EXPECT_EQ(b.width, s.width);
        EXPECT_EQ(b.height, s.height);
        EXPECT_EQ(b.bitsPerPixel, s.bits);
        if (s.bits <= 8) {
            EXPECT_LE(b.palette.size(), std::size_t(1) << s.bits);
        }
        if (s.frames) {
            EXPECT_EQ(s.frames * s.frameSize, s.height);
            for (int f = 1; f < s.frames; ++f)
                EXPECT_FALSE(SameRegion(b, 0, (f - 1) * s.frameSize, b, 0, f * s.frameSize, s.frameSize, s.frameSize))
                    << "frames " << f - 1 << " and " << f << " are alike";
        }
    }
    std::span<const std::uint8_t> glyphs = FindSkinRawData(188);
    EXPECT_EQ(glyphs.size(), 14880u);
    EXPECT_TRUE(FindSkinBitmapFile(1).empty());
}

// The pointer of a knob frame: the direction of its white pixels from the
// centre, in degrees, 0 = up, clockwise positive.
double PointerAngle(const DecodedBitmap& b, int frameSize, int frame) {
    double sx = 0, sy = 0;
    int n = 0;
    double c = frameSize / 2.0;
    for (int y = 0; y < frameSize; ++y)
        for (int x = 0; x < frameSize; ++x) {
            std::uint32_t p = b.At(x, frame * frameSize + y);
            int r = int(p >> 16) & 255, g = int(p >> 8) & 255, bl = int(p) & 255;
            if (r > 200 && g > 200 && bl > 200) {
                sx += x + 0.5 - c;
                sy += y + 0.5 - c;
                ++n;
            }
        }
    EXPECT_GT(n, 3) << "frame " << frame << " has no pointer";
    return std::atan2(sx, -sy) * 180.0 / 3.14159265358979323846;
}

TEST(SkinArt, KnobPointersSweep270DegreesFromHighestValueAtFrameZero) {
    for (auto [id, size, frames] : {std::tuple{196, 30, 81}, {197, 30, 81}, {198, 30, 81}, {200, 30, 81},
                                    {206, 24, 41}, {207, 24, 41}}) {
        const DecodedBitmap& b = Bitmap(id);
        for (int f = 0; f < frames; ++f) {
            double expected = -135.0 + 270.0 * (frames - 1 - f) / (frames - 1);
            EXPECT_NEAR(PointerAngle(b, size, f), expected, 14.0) << "bitmap " << id << " frame " << f;
        }
    }
    // The centred styles point straight up in their middle frame.
    EXPECT_NEAR(PointerAngle(Bitmap(197), 30, 40), 0.0, 3.0);
    EXPECT_NEAR(PointerAngle(Bitmap(206), 24, 20), 0.0, 3.0);
}

TEST(SkinArt, ButtonSpritesShareTheirBordersAndLightUpClearly) {
    const DecodedBitmap& s = Bitmap(199);
    const std::uint32_t border = s.At(0, 0);
    for (int col = 0; col < 26; ++col) {
        int x0 = 23 * col;
        SCOPED_TRACE("sprite column " + std::to_string(x0));
        int changed = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 22; ++x) {
                bool edge = x == 0 || x == 21 || y == 0 || y == 11;
                if (edge) {
                    EXPECT_EQ(s.At(x0 + x, y), border);
                    EXPECT_EQ(s.At(x0 + x, 12 + y), border);
                }
                if (std::abs(Brightness(s.At(x0 + x, 12 + y)) - Brightness(s.At(x0 + x, y))) > 120) ++changed;
            }
        EXPECT_GT(changed, 200 / 2) << "lit and unlit look alike";
    }
    // The nine top-bar buttons overlap by one column and their two states by one row.
    const DecodedBitmap& f = Bitmap(208);
    for (int y = 104; y <= 144; ++y)
        for (int i = 0; i <= 9; ++i) EXPECT_EQ(f.At(12 + 21 * i, y), f.At(12, 104)) << "column " << 12 + 21 * i;
    for (int x = 12; x <= 201; ++x) EXPECT_EQ(f.At(x, 124), f.At(12, 104)) << "row 124 at " << x;
}

TEST(SkinArt, MeterStripsRunFromDarkToFull) {
    const DecodedBitmap& m = Bitmap(205);
    int last = -1;
    for (int level = 0; level <= 16; ++level) {
        int bright = 0;
        for (int y = 0; y < 65; ++y)
            for (int x = 0; x < 9; ++x)
                if (Brightness(m.At(level * 10 + x, 124 + y)) > 300) ++bright;
        if (level == 0) {
            EXPECT_EQ(bright, 0);
        }
        EXPECT_GT(bright, last) << "level " << level;
        last = bright;
    }
    // Muted name buttons are red, the others not.
    auto red = [&](int x, int y) {
        std::uint32_t p = m.At(x, y);
        return int((p >> 16) & 255) > 2 * int((p >> 8) & 255) + 40;
    };
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(red(13 + 60 * i + 2, 111 + 2)) << "muted button " << i;
        EXPECT_FALSE(red(13 + 60 * i + 2, 100 + 2)) << "normal button " << i;
    }
}

TEST(SkinArt, SpritesSitOnTheColourOfTheirBackground) {
    const DecodedBitmap& synth = Bitmap(189);
    const DecodedBitmap& sprites = Bitmap(199);
    // The step buttons' resting look is part of the background.
    for (int x : {484, 576}) {
        EXPECT_TRUE(SameRegion(synth, x, 120, sprites, 460, 0, 22, 11));
        EXPECT_TRUE(SameRegion(synth, x, 131, sprites, 483, 0, 22, 12));
    }
    // Knob corners, lamp backgrounds and font cells match where they are drawn.
    for (int id : {196, 197, 198, 200}) EXPECT_EQ(Bitmap(id).At(0, 0), synth.At(69, 12)) << id;
    EXPECT_EQ(Bitmap(196).At(0, 0), Bitmap(221).At(13, 45));
    for (int id : {206, 207}) EXPECT_EQ(Bitmap(id).At(0, 1), Bitmap(205).At(125, 12)) << id;
    const DecodedBitmap& lamp = Bitmap(194);
    for (auto [x, y] : {std::pair{429, 3}, {591, 3}, {436, 55}, {591, 55}, {208, 107}})
        for (int r = 0; r < 9; ++r) {
            EXPECT_EQ(lamp.At(0, r), synth.At(x, y + r)) << x << "," << y + r;
            EXPECT_EQ(lamp.At(0, 10 + r), synth.At(x, y + r)) << x << "," << y + r;
        }
    EXPECT_EQ(Bitmap(214).At(288, 0), synth.At(377, 108));
    // The About picture's credits window has the credits strip's background.
    EXPECT_EQ(Bitmap(230).At(100, 100), Bitmap(236).At(0, 0));
}

TEST(SkinArt, LampsDigitsAndPlayButtonChangeWithTheirState) {
    const DecodedBitmap& lamp = Bitmap(194);
    EXPECT_FALSE(SameRegion(lamp, 0, 0, lamp, 0, 10, 11, 9));
    const DecodedBitmap& d = Bitmap(204);
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b) {
            EXPECT_FALSE(SameRegion(d, 13 * a, 0, d, 13 * b, 0, 13, 21)) << a << " " << b;
            EXPECT_FALSE(SameRegion(d, 11 * a, 21, d, 11 * b, 21, 11, 17)) << a << " " << b;
        }
    EXPECT_FALSE(SameRegion(d, 111, 21, d, 116, 21, 5, 17));
    const DecodedBitmap& f = Bitmap(208);
    EXPECT_FALSE(SameRegion(f, 12, 27, f, 12, 53, 61, 25));
    EXPECT_FALSE(SameRegion(f, 12, 27, f, 12, 79, 61, 25));
    EXPECT_FALSE(SameRegion(f, 560, 0, f, 560, 28, 55, 12));
    EXPECT_FALSE(SameRegion(f, 560, 13, f, 560, 41, 55, 12));
    EXPECT_FALSE(SameRegion(f, 427, 228, f, 427, 256, 43, 11));
    EXPECT_FALSE(SameRegion(f, 427, 239, f, 427, 267, 43, 16));
    for (int x : {192, 221}) EXPECT_FALSE(SameRegion(f, x, 27, f, x, 39, 28, 11));
    for (int x : {250, 262}) EXPECT_FALSE(SameRegion(f, x, 27, f, x, 36, 11, 8));
}

TEST(SkinArt, SoundNameFontKeepsItsCharacterWidths) {
    const DecodedBitmap& font = Bitmap(214);
    const std::uint32_t blank = font.At(288, 0);
    auto inkIn = [&](int x0, int x1) {
        for (int x = x0; x <= x1; ++x)
            for (int y = 0; y < 8; ++y)
                if (font.At(x, y) != blank) return true;
        return false;
    };
    EXPECT_FALSE(inkIn(288, 639));
    const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const int widths[] = {7, 7, 7, 7, 6, 6, 7, 8, 5, 6, 7, 6, 8, 8, 7, 7, 8, 6, 7, 6, 7, 7, 8, 7, 7, 7,
                          7, 6, 7, 7, 8, 6, 7, 6, 6, 7};
    for (std::size_t i = 0; i < chars.size(); ++i) {
        int cell = chars[i] <= '9' && chars[i] >= '0' ? 208 + (chars[i] - '0') * 8 : (chars[i] - 'A') * 8;
        int w = widths[i];
        SCOPED_TRACE(std::string(1, chars[i]));
        EXPECT_TRUE(inkIn(cell, cell + w - 2));
        EXPECT_TRUE(inkIn(cell + w - 2, cell + w - 2)) << "the glyph does not use its width";
        EXPECT_FALSE(inkIn(cell + w - 1, cell + 7)) << "ink beyond the width";
    }
}

TEST(SkinArt, GlyphSheetUsesItsFamiliesColourTriples) {
    std::span<const std::uint8_t> g = FindSkinRawData(188);
    ASSERT_EQ(g.size(), 14880u);
    auto at = [&](int x, int y) { return int(g[std::size_t(y * 124 + x)]); };
    for (std::uint8_t v : g) EXPECT_LT(v, 32);
    struct Family {
        const char* name;
        int x, w, rows, firstRow, bandStep, bands;
        std::set<int> colours;
        int stroke;
    };
    const Family families[] = {
        {"note names", 1, 19, 7, 0, 8, 12, {0, 25, 26, 27}, 27},
        {"octave digits", 21, 9, 7, 0, 8, 10, {0, 25, 26, 27}, 27},
        {"key-change names", 32, 20, 8, 0, 8, 12, {10, 11, 12}, 10},
        {"key-change digits", 52, 11, 8, 0, 8, 10, {10, 11, 12}, 10},
        {"cut", 65, 29, 7, 0, 8, 1, {0, 4, 5, 6}, 6},
        {"off, end", 65, 29, 7, 8, 8, 2, {0, 7, 8, 9}, 9},
        {"go", 65, 28, 8, 80, 8, 1, {0, 7, 8, 9}, 9},
        {"stop", 65, 40, 8, 88, 8, 1, {0, 7, 8, 9}, 9},
        {"small digits", 98, 6, 7, 0, 8, 10, {0, 1, 2, 3}, 3},
        {"command letters", 106, 6, 7, 0, 8, 15, {0, 16, 17, 18}, 18},
        {"large digits", 113, 10, 8, 0, 8, 10, {0, 1, 2, 3}, 3},
        {"track label", 0, 34, 5, 97, 0, 1, {0, 19, 20, 21}, 21},
        {"track digits", 36, 68, 5, 97, 0, 1, {0, 19, 20, 21}, 21},
    };
    for (const Family& f : families) {
        for (int band = 0; band < f.bands; ++band) {
            SCOPED_TRACE(std::string(f.name) + " band " + std::to_string(band));
            int strokes = 0;
            for (int y = 0; y < f.rows; ++y)
                for (int x = 0; x < f.w; ++x) {
                    int v = at(f.x + x, f.firstRow + band * f.bandStep + y);
                    EXPECT_TRUE(f.colours.count(v)) << "colour " << v << " at " << x << "," << y;
                    if (v == f.stroke) ++strokes;
                }
            EXPECT_GT(strokes, 4);
        }
    }
    // Large digits keep their ink in columns 114..122; the hundreds digit 1
    // leaves the columns a tens digit overwrites (7..9 of its cell).
    for (int d = 0; d < 10; ++d)
        for (int y = 0; y < 8; ++y) EXPECT_EQ(at(113, 8 * d + y), 0);
    for (int y = 8; y < 16; ++y)
        for (int x = 120; x <= 122; ++x) EXPECT_EQ(at(x, y), 0);
    // The empty-note dash: three dashes of 7 pixels with one-pixel gaps.
    for (int i = 0; i < 24; ++i) {
        int v = at(68 + i, 27);
        if (i % 8 == 7) {
            EXPECT_EQ(v, 0) << i;
        } else {
            EXPECT_TRUE(v == 5 || v == 6) << i;
        }
    }
    // The whole word TRACK fits its label: each of five 7-pixel steps holds ink.
    for (int letter = 0; letter < 5; ++letter) {
        int ink = 0;
        for (int y = 97; y < 102; ++y)
            for (int x = 7 * letter; x < 7 * letter + 6 && x < 34; ++x) ink += at(x, y) == 21;
        EXPECT_GT(ink, 3) << "letter " << letter;
    }
    // Key-change glyphs stand in a box of colour 12.
    EXPECT_EQ(at(32, 7), 12);
    EXPECT_EQ(at(62, 7), 12);
}

TEST(SkinArt, CreditsRiseFromAnEmptyWindowAndLeaveItEmpty) {
    const DecodedBitmap& c = Bitmap(236);
    const std::uint32_t bg = c.At(0, 0);
    auto rowsBlank = [&](int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = 0; x < 230; ++x)
                if (c.At(x, y) != bg) return false;
        return true;
    };
    EXPECT_TRUE(rowsBlank(0, 223));
    EXPECT_TRUE(rowsBlank(880, 1119));
    EXPECT_FALSE(rowsBlank(224, 879));
}

}  // namespace
