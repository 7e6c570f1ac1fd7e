// The splash picture (229), the About picture (230) and the credits strip (236).
#include <cmath>
#include <string>
#include <vector>

#include "tools/skin_gen/art.h"

namespace skin {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kCreditsBg = MakeRgb(12, 13, 16);
constexpr Rgb kWarm = MakeRgb(255, 184, 72);
constexpr Rgb kText = MakeRgb(222, 226, 234);
constexpr Rgb kSoft = MakeRgb(150, 158, 172);


void Grid(Image& img, int step, double opacity) {
    for (int x = step / 2; x < img.width; x += step)
        for (int y = 0; y < img.height; ++y) img.Blend(x, y, MakeRgb(120, 140, 170), opacity);
    for (int y = step / 2; y < img.height; y += step)
        for (int x = 0; x < img.width; ++x) img.Blend(x, y, MakeRgb(120, 140, 170), opacity);
}

void BigKnob(Image& img, double cx, double cy, double r, double t) {
    double a = -135 + 270 * t;
    img.FillArc(cx, cy, r * 1.08, r * 1.2, -135, 135, MakeRgb(44, 49, 58));
    img.FillArc(cx, cy, r * 1.02, r * 1.26, -135, a, kWarm, 0.18);
    img.FillArc(cx, cy, r * 1.08, r * 1.2, -135, a, kWarm);
    for (int k = 0; k <= 10; ++k) {
        double ta = (-135 + 27 * k) * kPi / 180;
        img.Line(cx + std::sin(ta) * r * 1.3, cy - std::cos(ta) * r * 1.3, cx + std::sin(ta) * r * 1.4,
                 cy - std::cos(ta) * r * 1.4, 1.6, MakeRgb(110, 118, 132));
    }
    img.FillCircle(cx + r * 0.05, cy + r * 0.09, r * 1.02, MakeRgb(0, 0, 0), 0.55);
    img.ShadedCircle(cx, cy, r, MakeRgb(112, 119, 134), MakeRgb(20, 22, 26));
    img.ShadedCircle(cx, cy, r * 0.76, MakeRgb(44, 48, 56), MakeRgb(70, 76, 88));
    double dx = std::sin(a * kPi / 180), dy = -std::cos(a * kPi / 180);
    img.Line(cx + dx * r * 0.25, cy + dy * r * 0.25, cx + dx * r * 0.86, cy + dy * r * 0.86, r * 0.09,
             MakeRgb(246, 246, 246));
}

void GlowTrace(Image& img, double x0, double x1, double cy, double amp, double cycles, double phase) {
    auto f = [&](double u) {
        double s = std::sin(2 * kPi * (cycles * u + phase));
        double saw = 2 * (cycles * u + phase - std::floor(cycles * u + phase + 0.5));
        return (1 - u) * s + u * saw;  // a sine turning into a sawtooth
    };
    const int n = 160;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < n; ++i) {
            double u0 = double(i) / n, u1 = double(i + 1) / n;
            double w = pass == 0 ? 6.0 : 1.6;
            double o = pass == 0 ? 0.12 : 1.0;
            img.Line(x0 + (x1 - x0) * u0, cy - amp * f(u0), x0 + (x1 - x0) * u1, cy - amp * f(u1), w, kWarm, o);
        }
}

}  // namespace

Image ArtSplash(TtfFont& bold, TtfFont& regular) {
    Image img(400, 256);
    img.GradientV(0, 0, 400, 256, MakeRgb(32, 36, 44), MakeRgb(8, 9, 12));
    Grid(img, 16, 0.05);
    BigKnob(img, 318, 104, 50, 0.72);
    GlowTrace(img, 0, 400, 204, 16, 3.0, 0.1);
    bold.Draw(img, 22, 112, "Morvel", 44, MakeRgb(240, 243, 248));
    bold.Draw(img, 22, 156, "Canopy", 44, kWarm);
    regular.Draw(img, 24, 178, "VIRTUAL ANALOG SYNTHESIZER", 10, kSoft, 1.2);
    regular.Draw(img, 24, 246, "The Morvel Canopy developers", 10, kSoft);
    regular.Draw(img, 306, 246, "starting up...", 10, MakeRgb(110, 118, 132));
    img.FrameRect(0, 0, 400, 256, MakeRgb(80, 88, 102));
    return img;
}

Image ArtAbout(TtfFont& bold, TtfFont& regular) {
    Image img(300, 300);
    img.GradientV(0, 0, 300, 300, MakeRgb(32, 36, 44), MakeRgb(8, 9, 12));
    Grid(img, 16, 0.05);
    bold.DrawCentered(img, 150, 36, "Morvel Canopy", 26, MakeRgb(240, 243, 248));
    regular.DrawCentered(img, 150, 53, "VIRTUAL ANALOG SYNTHESIZER", 9, kWarm, 1.0);
    // The window the credits scroll through: (32, 64), 230 x 224.
    img.FillRect(32, 64, 230, 224, kCreditsBg);
    img.HLine(31, 262, 63, MakeRgb(4, 4, 5));
    img.VLine(31, 63, 288, MakeRgb(4, 4, 5));
    img.HLine(31, 262, 288, MakeRgb(86, 92, 106));
    img.VLine(262, 63, 288, MakeRgb(86, 92, 106));
    regular.DrawCentered(img, 150, 296, "click anywhere to close", 8, MakeRgb(110, 118, 132));
    img.FrameRect(0, 0, 300, 300, MakeRgb(80, 88, 102));
    return img;
}

Image ArtCredits(TtfFont& bold, TtfFont& regular) {
    Image img(230, 1120, kCreditsBg);
    // The strip scrolls through rows 0..1103; rows 0..223 and 880..1103 stay
    // empty so that the text rises in from below and the cycle restarts cleanly.
    int y = 262;
    auto heading = [&](const std::string& s) {
        y += 30;
        regular.DrawCentered(img, 115, y, s, 10, kWarm, 1.6);
        y += 18;
    };
    auto line = [&](const std::string& s, Rgb c = kText, int size = 12) {
        regular.DrawCentered(img, 115, y, s, size, c);
        y += size + 6;
    };
    bold.DrawCentered(img, 115, y, "Morvel Canopy", 24, MakeRgb(240, 243, 248));
    y += 22;
    line("virtual analog synthesizer", kSoft, 11);
    line("and pattern sequencer", kSoft, 11);
    heading("PROGRAMMING");
    line("The Morvel Canopy developers");
    heading("SOUND ENGINE");
    line("The Morvel Canopy developers");
    heading("PATTERN SEQUENCER");
    line("The Morvel Canopy developers");
    heading("SKIN AND ARTWORK");
    line("The Morvel Canopy developers");
    heading("TESTING");
    line("The Morvel Canopy developers");
    y += 24;
    line("32 voices, three oscillators each", kSoft, 10);
    line("integer fixed-point sound at 44,100 Hz", kSoft, 10);
    line("eight mixer buses, three effect units", kSoft, 10);
    y += 30;
    line("Thank you for making music", kText, 12);
    line("with Morvel Canopy!", kWarm, 12);
    return img;
}

}  // namespace skin
