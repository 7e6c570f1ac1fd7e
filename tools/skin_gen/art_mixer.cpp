// The mixer section (205): the order-list box, eight channel strips and the
// master strip, with the channel name buttons, the fader cap and the 17
// level-meter strips below.
#include <string>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {

void DrawNameButton(Image& img, int x, int y, int w, const std::string& text, bool muted) {
    img.FrameRect(x, y, w, 10, theme::kOutline);
    if (muted)
        img.GradientV(x + 1, y + 1, w - 2, 8, MakeRgb(244, 86, 70), MakeRgb(156, 26, 22));
    else
        img.GradientV(x + 1, y + 1, w - 2, 8, MakeRgb(70, 77, 90), MakeRgb(42, 46, 54));
    DrawTextCentered(img, TinyFont(), x + w / 2, y + 3, text, muted ? MakeRgb(255, 244, 236) : MakeRgb(206, 212, 222));
}

// The fader's track column: plate with a dark groove, identical on every row.
void DrawTrackColumn(Image& img, int x, int y0, int y1) {
    img.FillRect(x, y0, 12, y1 - y0 + 1, theme::kPlate);
    img.FillRect(x + 4, y0, 4, y1 - y0 + 1, MakeRgb(6, 7, 8));
    img.VLine(x + 8, y0, y1, MakeRgb(52, 57, 66));
}

void DrawFaderCap(Image& img, int x, int y) {
    DrawTrackColumn(img, x, y, y + 22);
    img.FillRect(x + 1, y + 2, 10, 21, MakeRgb(0, 0, 0));  // shadow below the cap
    img.FillRoundRect(x + 0.5, y + 0.5, 11, 21, 2.0, MakeRgb(14, 15, 18));
    img.GradientV(x + 2, y + 2, 8, 18, MakeRgb(226, 230, 236), MakeRgb(112, 118, 128));
    img.HLine(x + 2, x + 9, y + 10, MakeRgb(24, 24, 28));
    img.HLine(x + 2, x + 9, y + 11, theme::kAccent);
    img.HLine(x + 2, x + 9, y + 12, MakeRgb(24, 24, 28));
    for (int r : {4, 7, 15, 18}) img.HLine(x + 3, x + 8, y + r, MakeRgb(150, 156, 166));
}

Rgb SegmentColour(int k) {
    if (k < 10) return MakeRgb(80, 236, 96);
    if (k < 13) return MakeRgb(244, 226, 64);
    if (k < 15) return MakeRgb(255, 150, 40);
    return MakeRgb(255, 62, 48);
}

// A 9 x 65 meter at level 0..16: segment k (0 = bottom) is rows 61 - 4k .. 63 - 4k.
void DrawMeter(Image& img, int x, int y, int level) {
    img.FillRect(x, y, 9, 65, MakeRgb(5, 6, 7));
    for (int k = 0; k < 16; ++k) {
        int top = y + 61 - 4 * k;
        Rgb c = SegmentColour(k);
        if (k < level) {
            img.FillRect(x + 1, top, 7, 3, c);
            img.HLine(x + 1, x + 7, top, Mix(c, MakeRgb(255, 255, 255), 0.45));
        } else {
            img.FillRect(x + 1, top, 7, 3, Shade(c, 0.17));
        }
    }
}

}  // namespace

void DrawModeButton(Image& img, int x, int y, const std::string& text, bool lit) {
    img.FrameRect(x, y, 28, 11, theme::kOutline);
    if (lit)
        img.GradientV(x + 1, y + 1, 26, 9, MakeRgb(255, 206, 110), MakeRgb(236, 140, 30));
    else
        img.GradientV(x + 1, y + 1, 26, 9, MakeRgb(74, 80, 92), MakeRgb(44, 48, 56));
    DrawTextCentered(img, TinyFont(), x + 14, y + 3, text, lit ? MakeRgb(48, 26, 4) : MakeRgb(178, 186, 198));
}

Image ArtMixer(const Image& pan, const Image& send) {
    Image img(630, 190, theme::kGap);

    // Order-list box: title, column heads, display window, mode buttons.
    DrawPlate(img, 1, 0, 100, 96);
    DrawHeader(img, 3, 2, 98, "SEQUENCER");
    DrawTextCentered(img, TinyFont(), 19, 13, "POS", theme::kLabel);
    DrawTextCentered(img, TinyFont(), 53, 13, "PATT", theme::kLabel);
    DrawTextCentered(img, TinyFont(), 81, 13, "TRSP", theme::kLabel);
    img.FillRect(7, 20, 88, 60, MakeRgb(0, 0, 0));
    img.HLine(6, 95, 19, MakeRgb(4, 4, 5));
    img.VLine(6, 19, 80, MakeRgb(4, 4, 5));
    img.HLine(6, 95, 80, MakeRgb(78, 84, 96));
    img.VLine(95, 19, 80, MakeRgb(78, 84, 96));
    DrawText(img, TinyFont(), 8, 87, "MODE", theme::kLabel, theme::kLabelShadow, true);
    DrawModeButton(img, 38, 84, "SONG", false);
    DrawModeButton(img, 67, 84, "CUE", false);

    // Channel strips.
    for (int i = 0; i < 8; ++i) {
        int x0 = 103 + 60 * i;
        DrawPlate(img, x0, 0, x0 + 59, 96);
        DrawNameButton(img, x0, 2, 60, "CHANNEL " + std::to_string(i + 1), false);
        DrawTrackColumn(img, x0 + 6, 14, 92);
        for (int k = 0; k <= 7; ++k) {
            int r = 81 - 8 * k;
            img.HLine(x0 + (k % 7 == 0 ? 1 : 2), x0 + 4, r, MakeRgb(110, 118, 130));
        }
        img.Blit(pan, 0, 24 * 20 + 1, 24, 22, x0 + 22, 12);
        img.Blit(send, 0, 24 * 40 + 1, 24, 22, x0 + 22, 41);
        img.Blit(send, 0, 24 * 40 + 1, 24, 22, x0 + 22, 63);
        DrawLabel(img, x0 + 34, 35, "PAN");
        DrawText(img, TinyFont(), x0 + 18, 50, "1", theme::kLabel);
        DrawText(img, TinyFont(), x0 + 18, 72, "2", theme::kLabel);
        DrawLabel(img, x0 + 34, 87, "SEND");
        DrawMeter(img, x0 + 47, 18, 0);
    }

    // Master strip.
    DrawPlate(img, 583, 0, 629, 96);
    DrawNameButton(img, 583, 2, 47, "MASTER", false);
    DrawTrackColumn(img, 600, 14, 92);
    for (int k = 0; k <= 7; ++k) img.HLine(596, 598, 81 - 8 * k, MakeRgb(110, 118, 130));
    DrawMeter(img, 586, 18, 0);
    DrawMeter(img, 617, 18, 0);
    DrawLabel(img, 590, 86, "L");
    DrawLabel(img, 621, 86, "R");

    // Sprites below the background.
    DrawFaderCap(img, 0, 100);
    for (int i = 0; i < 9; ++i) {
        int w = i < 8 ? 60 : 47;
        std::string name = i < 8 ? "CHANNEL " + std::to_string(i + 1) : "MASTER";
        DrawNameButton(img, 13 + 60 * i, 100, w, name, false);
        DrawNameButton(img, 13 + 60 * i, 111, w, name, true);
    }
    for (int level = 0; level <= 16; ++level) DrawMeter(img, level * 10, 124, level);
    return img;
}

}  // namespace skin
