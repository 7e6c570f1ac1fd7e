#include "tools/skin_gen/image.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {
constexpr int kSub = 4;  // sub-samples per axis
constexpr double kPi = 3.14159265358979323846;

int Clamp255(double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); }
}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
    return MakeRgb(Clamp255(RedOf(a) + (RedOf(b) - RedOf(a)) * t),
                                  Clamp255(GreenOf(a) + (GreenOf(b) - GreenOf(a)) * t),
                                  Clamp255(BlueOf(a) + (BlueOf(b) - BlueOf(a)) * t));
}

Rgb Shade(Rgb c, double t) {
    return MakeRgb(Clamp255(RedOf(c) * t), Clamp255(GreenOf(c) * t), Clamp255(BlueOf(c) * t));
}

Image::Image(int w, int h, Rgb fill) : width(w), height(h), px(std::size_t(w) * std::size_t(h), fill) {}

void Image::Blend(int x, int y, Rgb c, double a) {
    if (!Inside(x, y) || a <= 0.0) return;
    if (a >= 1.0) {
        Set(x, y, c);
        return;
    }
    Set(x, y, Mix(Get(x, y), c, a));
}

void Image::FillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Image::FrameRect(int x, int y, int w, int h, Rgb c) {
    HLine(x, x + w - 1, y, c);
    HLine(x, x + w - 1, y + h - 1, c);
    VLine(x, y, y + h - 1, c);
    VLine(x + w - 1, y, y + h - 1, c);
}

void Image::HLine(int x0, int x1, int y, Rgb c) {
    for (int i = x0; i <= x1; ++i) Set(i, y, c);
}

void Image::VLine(int x, int y0, int y1, Rgb c) {
    for (int j = y0; j <= y1; ++j) Set(x, j, c);
}

void Image::GradientV(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int j = 0; j < h; ++j) {
        Rgb c = Mix(top, bottom, h > 1 ? double(j) / (h - 1) : 0.0);
        HLine(x, x + w - 1, y + j, c);
    }
}

void Image::GradientH(int x, int y, int w, int h, Rgb left, Rgb right) {
    for (int i = 0; i < w; ++i) {
        Rgb c = Mix(left, right, w > 1 ? double(i) / (w - 1) : 0.0);
        VLine(x + i, y, y + h - 1, c);
    }
}

void Image::Bevel(int x, int y, int w, int h, Rgb light, Rgb dark) {
    HLine(x, x + w - 1, y, light);
    VLine(x, y, y + h - 1, light);
    HLine(x + 1, x + w - 1, y + h - 1, dark);
    VLine(x + w - 1, y + 1, y + h - 1, dark);
}

void Image::FillShape(double x0, double y0, double x1, double y1, Rgb c,
                                            const std::function<bool(double, double)>& inside, double opacity) {
    int ix0 = std::max(0, int(std::floor(x0)));
    int iy0 = std::max(0, int(std::floor(y0)));
    int ix1 = std::min(width - 1, int(std::ceil(x1)));
    int iy1 = std::min(height - 1, int(std::ceil(y1)));
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    if (inside(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub)) ++hits;
            if (hits) Blend(x, y, c, opacity * hits / double(kSub * kSub));
        }
    }
}

void Image::FillCircle(double cx, double cy, double r, Rgb c, double opacity) {
    FillShape(cx - r, cy - r, cx + r, cy + r, c,
                        [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; },
                        opacity);
}

void Image::FillRing(double cx, double cy, double ri, double ro, Rgb c, double opacity) {
    FillShape(cx - ro, cy - ro, cx + ro, cy + ro, c,
                        [=](double x, double y) {
                            double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                            return d <= ro * ro && d >= ri * ri;
                        },
                        opacity);
}

void Image::FillArc(double cx, double cy, double ri, double ro, double fromDeg, double toDeg, Rgb c,
                                        double opacity) {
    if (toDeg < fromDeg) std::swap(fromDeg, toDeg);
    FillShape(cx - ro, cy - ro, cx + ro, cy + ro, c,
                        [=](double x, double y) {
                            double dx = x - cx, dy = y - cy;
                            double d = dx * dx + dy * dy;
                            if (d > ro * ro || d < ri * ri) return false;
                            double a = std::atan2(dx, -dy) * 180.0 / kPi;  // 0 up, clockwise
                            return a >= fromDeg && a <= toDeg;
                        },
                        opacity);
}

void Image::Line(double x0, double y0, double x1, double y1, double w, Rgb c, double opacity) {
    double r = w / 2;
    double dx = x1 - x0, dy = y1 - y0;
    double len2 = dx * dx + dy * dy;
    FillShape(std::min(x0, x1) - r, std::min(y0, y1) - r, std::max(x0, x1) + r, std::max(y0, y1) + r, c,
                        [=](double x, double y) {
                            double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0;
                            t = std::clamp(t, 0.0, 1.0);
                            double px = x0 + t * dx - x, py = y0 + t * dy - y;
                            return px * px + py * py <= r * r;
                        },
                        opacity);
}

void Image::FillRoundRect(double x, double y, double w, double h, double r, Rgb c, double opacity) {
    FillShape(x, y, x + w, y + h, c,
                        [=](double px, double py) {
                            if (px < x || py < y || px > x + w || py > y + h) return false;
                            double qx = std::clamp(px, x + r, x + w - r);
                            double qy = std::clamp(py, y + r, y + h - r);
                            return (px - qx) * (px - qx) + (py - qy) * (py - qy) <= r * r;
                        },
                        opacity);
}

void Image::ShadedCircle(double cx, double cy, double r, Rgb light, Rgb dark) {
    int ix0 = std::max(0, int(std::floor(cx - r)));
    int iy0 = std::max(0, int(std::floor(cy - r)));
    int ix1 = std::min(width - 1, int(std::ceil(cx + r)));
    int iy1 = std::min(height - 1, int(std::ceil(cy + r)));
    for (int y = iy0; y <= iy1; ++y) {
        for (int x = ix0; x <= ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx) {
                    double px = x + (sx + 0.5) / kSub, py = y + (sy + 0.5) / kSub;
                    if ((px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r) ++hits;
                }
            if (!hits) continue;
            // Light falls from the upper left.
            double t = ((x + 0.5 - cx) * 0.55 + (y + 0.5 - cy) * 0.85) / r;  // -1..1
            t = std::clamp((t + 1.0) / 2.0, 0.0, 1.0);
            Blend(x, y, Mix(light, dark, t), hits / double(kSub * kSub));
        }
    }
}

void Image::FillPolygon(const std::vector<std::pair<double, double>>& pts, Rgb c, double opacity) {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (auto [x, y] : pts) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    FillShape(x0, y0, x1, y1, c,
                        [&](double x, double y) {
                            bool in = false;
                            for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                                auto [xi, yi] = pts[i];
                                auto [xj, yj] = pts[j];
                                if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
                            }
                            return in;
                        },
                        opacity);
}

void Image::Blit(const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (src.Inside(sx + i, sy + j)) Set(dx + i, dy + j, src.Get(sx + i, sy + j));
}

Image Image::Crop(int x, int y, int w, int h) const {
    Image out(w, h);
    out.Blit(*this, x, y, w, h, 0, 0);
    return out;
}

Image Image::Scaled(int f) const {
    Image out(width * f, height * f);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.Set(x, y, Get(x / f, y / f));
    return out;
}

}  // namespace skin
