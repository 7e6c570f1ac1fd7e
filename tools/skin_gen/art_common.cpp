// Helpers shared by the pictures: knobs, plates, headers, labels, displays.
#include <cmath>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {
constexpr double kPi = 3.14159265358979323846;

Rgb ArcColour(KnobStyle s) {
    switch (s) {
        case KnobStyle::kStandard: return MakeRgb(255, 178, 63);
        case KnobStyle::kBipolar: return MakeRgb(72, 200, 255);
        case KnobStyle::kModulation: return MakeRgb(124, 226, 140);
        case KnobStyle::kLevel: return MakeRgb(255, 98, 74);
        case KnobStyle::kPan: return MakeRgb(72, 200, 255);
        case KnobStyle::kSend: return MakeRgb(255, 178, 63);
    }
    return MakeRgb(255, 255, 255);
}

bool Centred(KnobStyle s) { return s == KnobStyle::kBipolar || s == KnobStyle::kPan; }
}  // namespace

Rgb HeaderRow(int r) { return Mix(theme::kHeaderTop, theme::kHeaderBottom, r / 8.0); }

void DrawKnobFrame(Image& img, int x, int y, int size, KnobStyle style, double t) {
    const bool big = size >= 30;
    const double cx = x + size / 2.0, cy = y + size / 2.0;
    const double ro = big ? 14.3 : 11.2;
    const double ri = ro - (big ? 2.5 : 2.1);
    const double rb = big ? 10.0 : 7.7;
    const double a = -135.0 + 270.0 * t;
    const Rgb arc = ArcColour(style);

    img.FillRect(x, y, size, size, theme::kPlate);
    img.FillArc(cx, cy, ri, ro, -135.0, 135.0, MakeRgb(62, 68, 80));
    if (Centred(style)) {
        if (std::fabs(a) > 0.5) img.FillArc(cx, cy, ri, ro, std::min(0.0, a), std::max(0.0, a), arc);
        // Centre notch.
        img.FillArc(cx, cy, ri - 0.6, ro + 0.4, -4.0, 4.0, Mix(arc, MakeRgb(255, 255, 255), 0.35), 0.9);
    } else if (a > -134.5) {
        img.FillArc(cx, cy, ri, ro, -135.0, a, arc);
    }
    // Body: drop shadow, shaded dome, a darker cap, the pointer.
    img.FillCircle(cx + 0.6, cy + 1.0, rb + 0.5, MakeRgb(0, 0, 0), 0.5);
    img.ShadedCircle(cx, cy, rb, MakeRgb(104, 111, 124), MakeRgb(26, 28, 33));
    img.ShadedCircle(cx, cy, rb * 0.74, MakeRgb(52, 56, 65), MakeRgb(68, 73, 84));
    img.FillRing(cx, cy, rb - 0.8, rb, MakeRgb(10, 11, 13), 0.35);
    const double dx = std::sin(a * kPi / 180.0), dy = -std::cos(a * kPi / 180.0);
    img.Line(cx + dx * rb * 0.22, cy + dy * rb * 0.22, cx + dx * (rb - 1.4), cy + dy * (rb - 1.4),
             big ? 2.1 : 1.8, MakeRgb(246, 246, 246));
    // A bright bead where the arc ends.
    const double rm = (ri + ro) / 2;
    img.FillCircle(cx + dx * rm, cy + dy * rm, big ? 1.6 : 1.3, Mix(arc, MakeRgb(255, 255, 255), 0.55));
}

Image KnobStrip(int size, int frames, KnobStyle style) {
    Image img(size, size * frames);
    for (int f = 0; f < frames; ++f)
        DrawKnobFrame(img, 0, f * size, size, style, double(frames - 1 - f) / double(frames - 1));
    return img;
}

void DrawPlate(Image& img, int x0, int y0, int x1, int y1) {
    img.FillRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, theme::kPlate);
    img.HLine(x0, x1, y0, theme::kPlateLight);
    img.VLine(x0, y0, y1, theme::kPlateLight);
    img.HLine(x0 + 1, x1, y1, theme::kPlateDark);
    img.VLine(x1, y0 + 1, y1, theme::kPlateDark);
}

void DrawHeader(Image& img, int x0, int y, int x1, const std::string& title) {
    for (int r = 0; r < 9; ++r) img.HLine(x0, x1, y + r, HeaderRow(r));
    DrawText(img, BoldFont(), x0 + 4, y + 1, title, theme::kTitle, theme::kTitleShadow, true);
}

void DrawLabel(Image& img, int cx, int y, const std::string& text, Rgb color) {
    DrawTextCentered(img, TinyFont(), cx, y, text, color, theme::kLabelShadow, true);
}

void DrawDisplayWindow(Image& img, int x0, int y0, int x1, int y1) {
    img.FillRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, theme::kDisplay);
    img.HLine(x0 - 1, x1 + 1, y0 - 1, MakeRgb(4, 4, 5));
    img.VLine(x0 - 1, y0 - 1, y1 + 1, MakeRgb(4, 4, 5));
    img.HLine(x0 - 1, x1 + 1, y1 + 1, MakeRgb(78, 84, 96));
    img.VLine(x1 + 1, y0 - 1, y1 + 1, MakeRgb(78, 84, 96));
}

void DrawScrew(Image& img, double cx, double cy) {
    img.FillCircle(cx + 0.4, cy + 0.6, 2.9, MakeRgb(0, 0, 0), 0.5);
    img.ShadedCircle(cx, cy, 2.6, MakeRgb(170, 175, 185), MakeRgb(58, 62, 70));
    img.Line(cx - 1.6, cy + 1.0, cx + 1.6, cy - 1.0, 0.9, MakeRgb(30, 32, 36));
}

}  // namespace skin
