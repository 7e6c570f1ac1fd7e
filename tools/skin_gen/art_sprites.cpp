// Small sprite sheets: selector and toggle buttons (199), the section lamp
// (194), the seven-segment digits (204) and the sound-name font (214).
#include <cmath>
#include <functional>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {
constexpr double kPi = 3.14159265358979323846;

enum class Lit { kAmber, kYellow, kGreen };

struct CellInk {
    Rgb ink;
    double x0, y0, x1, y1;  // icon box inside the face
};

// One 22 x 12 button cell: the border is the same in every cell, lit or not,
// so cells that share a border row or column on the panel join cleanly.
void DrawCellFace(Image& img, int x, int y, bool lit, Lit kind) {
    img.FrameRect(x, y, 22, 12, theme::kOutline);
    Rgb top, bottom;
    if (!lit) {
        top = MakeRgb(74, 80, 92);
        bottom = MakeRgb(44, 48, 56);
    } else if (kind == Lit::kAmber) {
        top = MakeRgb(255, 206, 110);
        bottom = MakeRgb(236, 140, 30);
    } else if (kind == Lit::kYellow) {
        top = MakeRgb(255, 246, 150);
        bottom = MakeRgb(228, 196, 30);
    } else {
        top = MakeRgb(170, 255, 150);
        bottom = MakeRgb(50, 186, 64);
    }
    img.GradientV(x + 1, y + 1, 20, 10, top, bottom);
    img.HLine(x + 1, x + 20, y + 1, Mix(top, MakeRgb(255, 255, 255), lit ? 0.35 : 0.18));
}

void Polyline(Image& img, const CellInk& box, const std::function<double(double)>& f, int samples = 40) {
    auto px = [&](double u) { return box.x0 + u * (box.x1 - box.x0); };
    auto py = [&](double v) { return (box.y0 + box.y1) / 2 - v * (box.y1 - box.y0) / 2; };
    for (int i = 0; i < samples; ++i) {
        double u0 = double(i) / samples, u1 = double(i + 1) / samples;
        img.Line(px(u0), py(f(u0)), px(u1), py(f(u1)), 1.25, box.ink);
    }
}

void Segments(Image& img, const CellInk& box, const std::vector<std::pair<double, double>>& pts) {
    auto px = [&](double u) { return box.x0 + u * (box.x1 - box.x0); };
    auto py = [&](double v) { return (box.y0 + box.y1) / 2 - v * (box.y1 - box.y0) / 2; };
    for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        img.Line(px(pts[i].first), py(pts[i].second), px(pts[i + 1].first), py(pts[i + 1].second), 1.25,
                 box.ink);
}

void CellText(Image& img, int x, int y, const std::string& text, Rgb ink) {
    DrawTextCentered(img, TinyFont(), x + 11, y + 4, text, ink);
}

using CellContent = std::function<void(Image&, int x, int y, Rgb ink)>;

CellContent Wave(std::function<double(double)> f) {
    return [f](Image& img, int x, int y, Rgb ink) {
        Polyline(img, {ink, x + 3.5, y + 2.6, x + 18.5, y + 9.4}, f);
    };
}
CellContent Steps(std::vector<std::pair<double, double>> pts) {
    return [pts](Image& img, int x, int y, Rgb ink) {
        Segments(img, {ink, x + 3.5, y + 2.6, x + 18.5, y + 9.4}, pts);
    };
}
CellContent Text(std::string s) {
    return [s](Image& img, int x, int y, Rgb ink) { CellText(img, x, y, s, ink); };
}

struct SpriteColumn {
    int x;
    Lit kind;
    CellContent content;  // may be empty
};

}  // namespace

Image ArtSelectorSprites() {
    Image img(597, 24, theme::kGap);
    const double pi2 = 2 * kPi;
    std::vector<SpriteColumn> cols = {
        {0, Lit::kAmber, Wave([=](double u) { return std::sin(pi2 * u); })},
        {23, Lit::kAmber, Steps({{0, 0}, {0.25, 1}, {0.75, -1}, {1, 0}})},
        {46, Lit::kAmber, Steps({{0, 1}, {0.5, -1}, {0.5, 1}, {1, -1}})},
        {69, Lit::kAmber, Steps({{0, -1}, {0.1, -1}, {0.1, 1}, {0.25, 1}, {0.25, -1}, {0.6, -1}, {0.6, 1},
                                 {0.75, 1}, {0.75, -1}, {1, -1}})},
        {92, Lit::kAmber, Wave([=](double u) { return std::tanh(3.0 * std::sin(pi2 * u)) / std::tanh(3.0); })},
        {115, Lit::kAmber, Steps({{0, 0.3}, {0.125, 0.3}, {0.125, -0.8}, {0.25, -0.8}, {0.25, 0.9}, {0.375, 0.9},
                                  {0.375, -0.2}, {0.5, -0.2}, {0.5, 0.6}, {0.625, 0.6}, {0.625, -1}, {0.75, -1},
                                  {0.75, 0.1}, {0.875, 0.1}, {0.875, 1}, {1, 1}})},
        {138, Lit::kAmber, Text("SMP")},
        {161, Lit::kAmber, Text("RING")},
        {184, Lit::kAmber, Text("SYNC")},
        {207, Lit::kAmber, Text("LP12")},
        {230, Lit::kAmber, Text("HP12")},
        {253, Lit::kAmber, Text("BP")},
        {276, Lit::kAmber, Text("LP24")},
        {299, Lit::kAmber, Text("PEAK")},
        {322, Lit::kAmber, Text("PW")},
        {345, Lit::kAmber, Text("OSC1")},
        {368, Lit::kAmber, Text("OSC2")},
        {391, Lit::kAmber, Text("CUT")},
        {414, Lit::kAmber, Text("FM")},
        {437, Lit::kAmber, Text("VOL2")},
        {460, Lit::kAmber,
         [](Image& img, int x, int y, Rgb ink) {
             img.FillPolygon({{x + 6.5, y + 8.5}, {x + 15.5, y + 8.5}, {x + 11.0, y + 3.0}}, ink);
         }},
        {483, Lit::kAmber,
         [](Image& img, int x, int y, Rgb ink) {
             img.FillPolygon({{x + 6.5, y + 3.5}, {x + 15.5, y + 3.5}, {x + 11.0, y + 9.0}}, ink);
         }},
        {506, Lit::kYellow,
         [](Image& img, int x, int y, Rgb ink) {
             (void)ink;
             bool lit = y >= 12;
             img.FillRoundRect(x + 6, y + 4.5, 10, 3, 1.2, lit ? MakeRgb(255, 255, 225) : MakeRgb(22, 24, 28));
         }},
        {529, Lit::kAmber, nullptr},
        {552, Lit::kGreen,
         [](Image& img, int x, int y, Rgb ink) {
             (void)ink;
             bool lit = y >= 12;
             img.FillCircle(x + 11, y + 6, 2.4, lit ? MakeRgb(235, 255, 225) : MakeRgb(28, 52, 30));
         }},
        {575, Lit::kAmber, nullptr},
    };
    for (const SpriteColumn& c : cols) {
        for (int lit = 0; lit < 2; ++lit) {
            int y = lit * 12;
            DrawCellFace(img, c.x, y, lit != 0, c.kind);
            Rgb ink = lit ? MakeRgb(48, 26, 4) : MakeRgb(178, 186, 198);
            if (c.content) c.content(img, c.x, y, ink);
        }
    }
    return img;
}

Image ArtLamp() {
    Image img(11, 19);
    for (int half = 0; half < 2; ++half) {
        int y0 = half * 10;
        for (int r = 0; r < 9; ++r) img.HLine(0, 10, y0 + r, HeaderRow(r));
        double cx = 5.5, cy = y0 + 4.5;
        img.FillCircle(cx, cy + 0.5, 3.8, MakeRgb(0, 0, 0), 0.45);
        if (half == 0) {
            img.ShadedCircle(cx, cy, 3.2, MakeRgb(52, 84, 50), MakeRgb(10, 22, 10));
        } else {
            img.FillCircle(cx, cy, 4.6, theme::kLedGreen, 0.28);
            img.ShadedCircle(cx, cy, 3.2, MakeRgb(215, 255, 200), MakeRgb(60, 200, 60));
        }
        img.FillCircle(cx - 1.0, cy - 1.1, 0.9, MakeRgb(255, 255, 255), half ? 0.85 : 0.25);
    }
    img.HLine(0, 10, 9, HeaderRow(8));
    return img;
}

namespace {

// Seven segments a..g in the box (l, t)-(r, b) with stroke thickness th.
void SevenSegment(Image& img, double l, double t, double r, double b, double th, int mask, Rgb lit, Rgb ghost) {
    const double m = (t + b) / 2, g = 0.35, h = th / 2;
    auto hseg = [&](double yc, bool on) {
        img.FillPolygon({{l + g, yc}, {l + g + h, yc - h}, {r - g - h, yc - h}, {r - g, yc}, {r - g - h, yc + h},
                         {l + g + h, yc + h}},
                        on ? lit : ghost);
    };
    auto vseg = [&](double xc, double y0, double y1, bool on) {
        img.FillPolygon({{xc, y0 + g}, {xc + h, y0 + g + h}, {xc + h, y1 - g - h}, {xc, y1 - g}, {xc - h, y1 - g - h},
                         {xc - h, y0 + g + h}},
                        on ? lit : ghost);
    };
    hseg(t + h, mask & 1);          // a
    vseg(r - h, t + h, m, mask & 2);  // b
    vseg(r - h, m, b - h, mask & 4);  // c
    hseg(b - h, mask & 8);          // d
    vseg(l + h, m, b - h, mask & 16); // e
    vseg(l + h, t + h, m, mask & 32); // f
    hseg(m, mask & 64);             // g
}

constexpr int kDigitMask[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

}  // namespace

Image ArtDigits() {
    Image img(131, 38, theme::kDisplay);
    for (int d = 0; d < 10; ++d) {
        double x = 13.0 * d;
        SevenSegment(img, x + 2.0, 1.0, x + 11.0, 20.0, 2.2, kDigitMask[d], theme::kDisplayLit, theme::kDisplayGhost);
        double sx = 11.0 * d;
        SevenSegment(img, sx + 1.8, 22.0, sx + 9.2, 37.0, 1.8, kDigitMask[d], theme::kDisplayLit,
                     theme::kDisplayGhost);
    }
    // Beat mark (lit dots) and its blank (unlit dots).
    for (int i = 0; i < 2; ++i) {
        Rgb c = i == 0 ? theme::kDisplayLit : theme::kDisplayGhost;
        double cx = 111 + 5 * i + 2.5;
        img.FillCircle(cx, 21 + 5.5, 1.3, c);
        img.FillCircle(cx, 21 + 11.5, 1.3, c);
    }
    return img;
}

Image ArtNameFont() {
    Image img(640, 8, theme::kDisplay);
    const Rgb ink = MakeRgb(255, 186, 76);
    for (char c = 'A'; c <= 'Z'; ++c) DrawText(img, BoldFont(), (c - 'A') * 8, 0, std::string(1, c), ink);
    for (char c = '0'; c <= '9'; ++c) DrawText(img, BoldFont(), 208 + (c - '0') * 8, 0, std::string(1, c), ink);
    return img;
}

int NameFontWidth(char c) {
    const PixelGlyph* g = BoldFont().Find(c);
    return g ? g->Width() + 1 : 0;
}

}  // namespace skin
