// Bitmap 208: the top bar, the frame around the synthesizer section, the
// bottom piece and the button sprites, for the normal and large layouts
// (rows 0..227) and the sound-module layout (rows 228..599: a whole view
// picture moved down by 228 rows).
#include <cmath>
#include <string>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kModuleRow = 228;  // where the sound-module picture starts

// Top-bar colour of view row r (0..26).
Rgb TopBarRow(int r) {
    if (r == 0) return MakeRgb(84, 90, 102);
    if (r == 26) return MakeRgb(6, 7, 8);
    return Mix(theme::kMetalTop, theme::kMetalBottom, (r - 1) / 24.0);
}

// Fills x0..x1 of rows y..y+count-1 with the top bar's rows from..from+count-1.
void TopBarRows(Image& img, int x0, int x1, int y, int from, int count) {
    for (int i = 0; i < count; ++i) img.HLine(x0, x1, y + i, TopBarRow(from + i));
}

void Rail(Image& img, int x, int y, int w, int h) {
    img.GradientH(x, y, w, h, MakeRgb(46, 50, 58), MakeRgb(30, 33, 39));
    img.VLine(x, y, y + h - 1, MakeRgb(62, 67, 77));
    img.VLine(x + w - 1, y, y + h - 1, MakeRgb(12, 13, 15));
}

void KeyFace(Image& img, int x, int y, int w, int h, bool pressed, Rgb litTop = 0, Rgb litBottom = 0,
             bool lit = false) {
    img.FrameRect(x, y, w, h, theme::kOutline);
    if (lit)
        img.GradientV(x + 1, y + 1, w - 2, h - 2, litTop, litBottom);
    else if (pressed)
        img.GradientV(x + 1, y + 1, w - 2, h - 2, MakeRgb(30, 33, 39), MakeRgb(48, 53, 62));
    else
        img.GradientV(x + 1, y + 1, w - 2, h - 2, MakeRgb(82, 89, 102), MakeRgb(44, 48, 57));
    if (!pressed && !lit) img.HLine(x + 1, x + w - 2, y + 1, MakeRgb(108, 116, 130));
}

// Play/stop pair, 61 x 25. state 0 idle, 1 stop held, 2 playing.
void DrawPlayButton(Image& img, int x, int y, int state) {
    TopBarRows(img, x, x + 60, y, 0, 25);
    bool playing = state == 2, stopHeld = state == 1;
    img.FillCircle(x + 6.5, y + 12.5, 3.6, MakeRgb(0, 0, 0), 0.5);
    if (playing) {
        img.FillCircle(x + 6.5, y + 12.5, 4.2, theme::kLedGreen, 0.3);
        img.ShadedCircle(x + 6.5, y + 12.5, 2.8, MakeRgb(220, 255, 210), MakeRgb(60, 200, 60));
    } else {
        img.ShadedCircle(x + 6.5, y + 12.5, 2.8, MakeRgb(52, 84, 50), MakeRgb(10, 22, 10));
    }
    KeyFace(img, x + 13, y + 1, 25, 23, playing);
    KeyFace(img, x + 37, y + 1, 23, 23, stopHeld);
    int d = playing ? 1 : 0;
    Rgb play = playing ? theme::kLedGreen : MakeRgb(196, 202, 212);
    img.FillPolygon({{x + 21.5 + d, y + 6.5 + d}, {x + 21.5 + d, y + 18.5 + d}, {x + 31.5 + d, y + 12.5 + d}}, play);
    int s = stopHeld ? 1 : 0;
    Rgb stop = stopHeld ? theme::kLedRed : MakeRgb(196, 202, 212);
    img.FillRoundRect(x + 43.5 + s, y + 7.5 + s, 10, 10, 1.0, stop);
}

void DrawTempoArrow(Image& img, int x, int y, bool up, bool pressed) {
    KeyFace(img, x, y, 11, 8, false, MakeRgb(255, 206, 110), MakeRgb(236, 140, 30), pressed);
    Rgb ink = pressed ? MakeRgb(48, 26, 4) : MakeRgb(196, 202, 212);
    if (up)
        img.FillPolygon({{x + 2.5, y + 5.8}, {x + 8.5, y + 5.8}, {x + 5.5, y + 2.0}}, ink);
    else
        img.FillPolygon({{x + 2.5, y + 2.2}, {x + 8.5, y + 2.2}, {x + 5.5, y + 6.0}}, ink);
}

// Icons of the nine top-bar buttons, centred on (cx, cy).
void TopIcon(Image& img, int i, double cx, double cy, Rgb ink) {
    switch (i) {
        case 0:  // song information
            img.FillRing(cx, cy, 5.2, 6.6, ink);
            img.FillCircle(cx, cy - 3.0, 1.0, ink);
            img.Line(cx, cy - 0.8, cx, cy + 3.6, 1.7, ink);
            break;
        case 1:  // samples: a decaying wave
            for (int k = 0; k < 30; ++k) {
                double u0 = k / 30.0, u1 = (k + 1) / 30.0;
                auto f = [](double u) { return std::exp(-2.2 * u) * std::sin(2 * kPi * 2.5 * u); };
                img.Line(cx - 7 + 14 * u0, cy - 5 * f(u0), cx - 7 + 14 * u1, cy - 5 * f(u1), 1.3, ink);
            }
            break;
        case 2: {  // sample splits: keyboard
            img.FillRect(int(cx) - 7, int(cy) - 5, 15, 11, ink);
            for (int k = 1; k < 5; ++k) img.VLine(int(cx) - 7 + 3 * k, int(cy) - 4, int(cy) + 5, MakeRgb(20, 22, 26));
            for (int k : {0, 1, 3}) img.FillRect(int(cx) - 5 + 3 * k, int(cy) - 5, 2, 6, MakeRgb(20, 22, 26));
            break;
        }
        case 3:  // effects
            DrawTextCentered(img, BoldFont(), int(cx) + 1, int(cy) - 3, "FX", ink);
            break;
        case 4:  // preferences: a cog
            for (int k = 0; k < 8; ++k) {
                double a = k * kPi / 4;
                img.Line(cx + std::cos(a) * 3.5, cy + std::sin(a) * 3.5, cx + std::cos(a) * 6.6,
                         cy + std::sin(a) * 6.6, 2.4, ink);
            }
            img.FillRing(cx, cy, 2.0, 5.0, ink);
            break;
        case 5:  // MIDI mapper: a five-pin socket
            img.FillRing(cx, cy, 5.4, 6.8, ink);
            for (int k = 0; k < 5; ++k) {
                double a = kPi + k * kPi / 4;
                img.FillCircle(cx + std::cos(a) * 3.4, cy + std::sin(a) * 3.4 + 0.8, 0.95, ink);
            }
            img.FillRect(int(cx) - 1, int(cy) + 4, 3, 2, ink);
            break;
        case 6: {  // automation: a curve through handles
            double pts[5][2] = {{-7, 4}, {-3.5, -4}, {0, 1}, {3.5, -2}, {7, 3}};
            for (int k = 0; k < 4; ++k)
                img.Line(cx + pts[k][0], cy + pts[k][1], cx + pts[k + 1][0], cy + pts[k + 1][1], 1.3, ink);
            for (auto& p : pts) img.FillRect(int(std::floor(cx + p[0])) - 1, int(std::floor(cy + p[1])) - 1, 3, 3, ink);
            break;
        }
        case 7:  // oscilloscope: a screen with a trace
            img.FrameRect(int(cx) - 7, int(cy) - 5, 15, 11, ink);
            for (int k = 0; k < 20; ++k) {
                double u0 = k / 20.0, u1 = (k + 1) / 20.0;
                img.Line(cx - 5 + 10 * u0, cy - 3 * std::sin(2 * kPi * u0), cx - 5 + 10 * u1,
                         cy - 3 * std::sin(2 * kPi * u1), 1.1, ink);
            }
            break;
        default:  // stop
            img.FillRoundRect(cx - 4.5, cy - 4.5, 9, 9, 1.0, ink);
            break;
    }
}

// One 22 x 21 top-bar button; its outline is the same in both states.
void DrawTopButton(Image& img, int x, int y, int i, bool pressed) {
    KeyFace(img, x, y, 22, 21, pressed);
    Rgb ink = pressed ? theme::kAccent : MakeRgb(190, 197, 208);
    int d = pressed ? 1 : 0;
    TopIcon(img, i, x + 11.0 + d, y + 10.5 + d, ink);
}

// MIDI activity lamp: LED and caption over the top bar's own rows.
void DrawMidiLamp(Image& img, int x, int y, int w, int h, int barRow, const std::string& text, bool lit) {
    TopBarRows(img, x, x + w - 1, y, barRow, h);
    double cy = y + h / 2.0 + (h > 12 ? 0.5 : 0.0);
    img.FillCircle(x + 6.5, cy + 0.4, 3.2, MakeRgb(0, 0, 0), 0.5);
    if (lit) {
        img.FillCircle(x + 6.5, cy, 4.4, theme::kLedRed, 0.35);
        img.ShadedCircle(x + 6.5, cy, 2.6, MakeRgb(255, 200, 170), MakeRgb(230, 40, 30));
    } else {
        img.ShadedCircle(x + 6.5, cy, 2.6, MakeRgb(96, 40, 36), MakeRgb(30, 10, 8));
    }
    DrawText(img, TinyFont(), x + 13, int(std::lround(cy)) - 2, text,
             lit ? MakeRgb(255, 226, 200) : theme::kLabel, MakeRgb(10, 11, 13), true);
}

void DrawTempoArea(Image& img, int y, const Image& digits) {
    DrawText(img, TinyFont(), 86, y + 6, "TEMPO", theme::kLabel, theme::kLabelShadow, true);
    DrawText(img, TinyFont(), 92, y + 13, "BPM", theme::kLabel, theme::kLabelShadow, true);
    DrawDisplayWindow(img, 118, y + 3, 156, y + 21);
    for (int k = 0; k < 3; ++k) img.Blit(digits, 11 * (k == 0 ? 1 : (k == 1 ? 2 : 0)), 21, 11, 17, 120 + 12 * k, y + 4);
    DrawTempoArrow(img, 160, y + 4, true, false);
    DrawTempoArrow(img, 160, y + 13, false, false);
    for (int i = 0; i < 9; ++i) DrawTopButton(img, 213 + 23 * i, y + 2, i, false);
}

}  // namespace

Image ArtFrame(const Image& digits) {
    Image img(630, 600, theme::kGap);

    // ---- normal and large layouts ----
    TopBarRows(img, 0, 629, 0, 0, 27);
    DrawPlayButton(img, 10, 0, 0);
    DrawTempoArea(img, 0, digits);
    img.VLine(190, 3, 22, MakeRgb(18, 20, 24));
    img.VLine(191, 3, 22, MakeRgb(74, 80, 92));
    DrawText(img, TinyFont(), 462, 6, "POS", theme::kLabel, theme::kLabelShadow, true);
    DrawText(img, TinyFont(), 462, 13, "ROW", theme::kLabel, theme::kLabelShadow, true);
    DrawDisplayWindow(img, 480, 3, 556, 21);
    for (int k = 0; k < 3; ++k) {
        img.Blit(digits, 0, 21, 11, 17, 481 + 12 * k, 4);
        img.Blit(digits, 0, 21, 11, 17, 521 + 12 * k, 4);
    }
    img.Blit(digits, 116, 21, 5, 17, 516, 4);
    DrawMidiLamp(img, 560, 0, 55, 12, 0, "MIDI IN", false);
    DrawMidiLamp(img, 560, 12, 55, 13, 12, "MIDI OUT", false);
    DrawScrew(img, 622.5, 13.5);
    DrawScrew(img, 434.5, 13.5);

    // Frame around the synthesizer section, the rail below it, the bottom piece.
    Rail(img, 0, 27, 12, 157);
    Rail(img, 617, 27, 13, 157);
    for (double sy : {34.5, 176.5}) {
        DrawScrew(img, 6.0, sy);
        DrawScrew(img, 623.5, sy);
    }
    img.GradientV(0, 184, 630, 10, MakeRgb(40, 44, 51), MakeRgb(24, 27, 32));
    img.HLine(0, 629, 184, MakeRgb(8, 9, 11));
    img.HLine(0, 629, 193, MakeRgb(8, 9, 11));
    DrawText(img, TinyFont(), 554, 187, "MORVEL CANOPY", MakeRgb(120, 128, 140), theme::kLabelShadow, true);
    img.GradientV(0, 197, 630, 28, MakeRgb(50, 55, 64), MakeRgb(24, 27, 32));
    img.HLine(0, 629, 197, MakeRgb(8, 9, 11));
    img.HLine(0, 629, 198, MakeRgb(78, 84, 96));
    DrawText(img, BoldFont(), 500, 207, "MORVEL CANOPY", MakeRgb(210, 216, 226), MakeRgb(8, 9, 11), true);
    DrawText(img, TinyFont(), 16, 209, "VIRTUAL ANALOG SYNTHESIZER  -  PATTERN SEQUENCER", theme::kLabel,
             theme::kLabelShadow, true);
    for (double sx : {6.5, 623.5}) DrawScrew(img, sx, 211.0);

    // Sprites.
    for (int state = 0; state < 3; ++state) DrawPlayButton(img, 12, 27 + 26 * state, state);
    DrawModeButton(img, 192, 27, "SONG", false);
    DrawModeButton(img, 192, 39, "SONG", true);
    DrawModeButton(img, 221, 27, "CUE", false);
    DrawModeButton(img, 221, 39, "CUE", true);
    DrawTempoArrow(img, 250, 27, true, false);
    DrawTempoArrow(img, 250, 36, true, true);
    DrawTempoArrow(img, 262, 27, false, false);
    DrawTempoArrow(img, 262, 36, false, true);
    for (int i = 0; i < 9; ++i) {
        DrawTopButton(img, 12 + 21 * i, 104, i, false);
        DrawTopButton(img, 12 + 21 * i, 124, i, true);
    }
    DrawMidiLamp(img, 560, 28, 55, 12, 0, "MIDI IN", true);
    DrawMidiLamp(img, 560, 40, 55, 13, 12, "MIDI OUT", true);

    // ---- sound-module layout: view row r is bitmap row 228 + r ----
    const int m = kModuleRow;
    TopBarRows(img, 0, 620, m, 0, 27);
    DrawText(img, TinyFont(), 12, m + 6, "MIDI SOUND", theme::kLabel, theme::kLabelShadow, true);
    DrawText(img, TinyFont(), 12, m + 13, "MODULE", theme::kLabel, theme::kLabelShadow, true);
    DrawTempoArea(img, m, digits);
    DrawMidiLamp(img, 427, m, 43, 11, 0, "MIDI IN", false);
    DrawMidiLamp(img, 427, m + 11, 43, 16, 11, "MIDI OUT", false);
    DrawText(img, BoldFont(), 486, m + 7, "MORVEL CANOPY", MakeRgb(214, 220, 230), MakeRgb(8, 9, 11), true);
    Rail(img, 0, m + 27, 8, 157);
    Rail(img, 613, m + 27, 8, 157);
    img.GradientV(0, m + 184, 46, 97, MakeRgb(44, 48, 56), MakeRgb(28, 31, 37));
    img.GradientV(574, m + 184, 47, 97, MakeRgb(44, 48, 56), MakeRgb(28, 31, 37));
    img.VLine(45, m + 184, m + 280, MakeRgb(8, 9, 11));
    img.VLine(574, m + 184, m + 280, MakeRgb(8, 9, 11));
    for (double sy : {m + 192.5, m + 272.5}) {
        DrawScrew(img, 22.5, sy);
        DrawScrew(img, 597.5, sy);
    }
    img.GradientV(0, m + 281, 621, 24, MakeRgb(50, 55, 64), MakeRgb(24, 27, 32));
    img.HLine(0, 620, m + 281, MakeRgb(8, 9, 11));
    img.HLine(0, 620, m + 282, MakeRgb(78, 84, 96));
    DrawText(img, TinyFont(), 16, m + 291, "VIRTUAL ANALOG SYNTHESIZER  -  MIDI SOUND MODULE", theme::kLabel,
             theme::kLabelShadow, true);
    for (double sx : {6.5, 614.5}) DrawScrew(img, sx, m + 293.0);
    DrawMidiLamp(img, 427, m + 28, 43, 11, 0, "MIDI IN", true);
    DrawMidiLamp(img, 427, m + 39, 43, 16, 11, "MIDI OUT", true);
    return img;
}

}  // namespace skin
