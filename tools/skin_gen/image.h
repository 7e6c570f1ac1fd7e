// Pixel surfaces and the drawing primitives the skin art is made of.
// Colours are 0xRRGGBB; every shape is drawn with coverage-based anti-aliasing
// (4 x 4 sub-samples per pixel) blended over what is already there.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace skin {

using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b) {
    return (Rgb(r & 255) << 16) | (Rgb(g & 255) << 8) | Rgb(b & 255);
}
constexpr int RedOf(Rgb c) { return int((c >> 16) & 255); }
constexpr int GreenOf(Rgb c) { return int((c >> 8) & 255); }
constexpr int BlueOf(Rgb c) { return int(c & 255); }

// Linear mix: t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);
// Multiplies the brightness (t > 1 lightens, clamped).
Rgb Shade(Rgb c, double t);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> px;  // top row first

    Image() = default;
    Image(int w, int h, Rgb fill = 0);

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb Get(int x, int y) const { return px[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    void Set(int x, int y, Rgb c) {
        if (Inside(x, y)) px[std::size_t(y) * std::size_t(width) + std::size_t(x)] = c;
    }
    // Blends c over the pixel with opacity a (0..1).
    void Blend(int x, int y, Rgb c, double a);

    void FillRect(int x, int y, int w, int h, Rgb c);
    void FrameRect(int x, int y, int w, int h, Rgb c);
    void HLine(int x0, int x1, int y, Rgb c);
    void VLine(int x, int y0, int y1, Rgb c);
    // Vertical gradient from top colour to bottom colour.
    void GradientV(int x, int y, int w, int h, Rgb top, Rgb bottom);
    void GradientH(int x, int y, int w, int h, Rgb left, Rgb right);
    // A raised (or, with sunken, pressed-in) bevel: light top-left, dark bottom-right.
    void Bevel(int x, int y, int w, int h, Rgb light, Rgb dark);

    // Coverage-driven fill: inside(px, py) tests a point in pixel units
    // (pixel (x, y) spans x..x+1, y..y+1). Only the box x0..x1, y0..y1 is visited.
    void FillShape(double x0, double y0, double x1, double y1, Rgb c,
                                  const std::function<bool(double, double)>& inside, double opacity = 1.0);
    void FillCircle(double cx, double cy, double r, Rgb c, double opacity = 1.0);
    void FillRing(double cx, double cy, double rInner, double rOuter, Rgb c, double opacity = 1.0);
    // Part of a ring between two angles (degrees, 0 = straight up, clockwise positive).
    void FillArc(double cx, double cy, double rInner, double rOuter, double fromDeg, double toDeg,
                              Rgb c, double opacity = 1.0);
    // A line of the given width with round ends.
    void Line(double x0, double y0, double x1, double y1, double width, Rgb c, double opacity = 1.0);
    void FillRoundRect(double x, double y, double w, double h, double r, Rgb c, double opacity = 1.0);
    // Circle filled with a radial-ish light: lighter towards (lx, ly) offset.
    void ShadedCircle(double cx, double cy, double r, Rgb light, Rgb dark);
    void FillPolygon(const std::vector<std::pair<double, double>>& pts, Rgb c, double opacity = 1.0);

    // Copies a w x h block of src at (sx, sy) to (dx, dy).
    void Blit(const Image& src, int sx, int sy, int w, int h, int dx, int dy);
    Image Crop(int x, int y, int w, int h) const;
    Image Scaled(int factor) const;
};

}  // namespace skin
