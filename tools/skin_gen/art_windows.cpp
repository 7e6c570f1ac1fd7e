// Frames of the two floating tool windows: the automation knob panel (221)
// and the oscilloscope (224).
#include <string>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {

void TitleBand(Image& img, int w, int h, const std::string& title) {
    img.GradientV(1, 1, w - 2, h - 1, MakeRgb(62, 69, 82), MakeRgb(36, 40, 48));
    img.HLine(1, w - 2, h - 1, MakeRgb(10, 11, 13));
    DrawText(img, BoldFont(), 9, (h - 7) / 2, title, theme::kTitle, theme::kTitleShadow, true);
}

void Bezel(Image& img, int x, int y, int w, int h) {
    img.FillRect(x, y, w, h, MakeRgb(0, 0, 0));
    img.HLine(x - 1, x + w, y - 1, MakeRgb(4, 4, 5));
    img.VLine(x - 1, y - 1, y + h, MakeRgb(4, 4, 5));
    img.HLine(x - 1, x + w, y + h, MakeRgb(78, 84, 96));
    img.VLine(x + w, y - 1, y + h, MakeRgb(78, 84, 96));
}

}  // namespace

Image ArtAutomationFrame(const Image& sprites, const Image& knob) {
    Image img(326, 144);
    DrawPlate(img, 0, 0, 325, 143);
    TitleBand(img, 326, 25, "AUTOMATION");
    DrawScrew(img, 312.5, 12.5);
    DrawText(img, TinyFont(), 3, 29, "USE", theme::kLabel, theme::kLabelShadow, true);
    DrawText(img, TinyFont(), 3, 89, "SET", theme::kLabel, theme::kLabelShadow, true);
    DrawText(img, TinyFont(), 3, 112, "CLR", theme::kLabel, theme::kLabelShadow, true);
    for (int k = 0; k < 10; ++k) {
        int x = 13 + 30 * k;
        img.Blit(sprites, 552, 1, 22, 11, x + 4, 26);
        img.Blit(knob, 0, 30 * 80, 30, 29, x, 45);
        DrawLabel(img, x + 15, 77, std::to_string(k + 1));
        img.Blit(sprites, 506, 1, 22, 11, x + 4, 86);
        img.Blit(sprites, 506, 1, 22, 11, x + 4, 109);
    }
    img.HLine(4, 321, 40, MakeRgb(20, 22, 26));
    img.HLine(4, 321, 41, MakeRgb(50, 55, 64));
    img.HLine(4, 321, 102, MakeRgb(20, 22, 26));
    img.HLine(4, 321, 103, MakeRgb(50, 55, 64));
    DrawText(img, TinyFont(), 9, 130, "SPACE PLAYS AND STOPS", MakeRgb(104, 112, 124), theme::kLabelShadow, true);
    return img;
}

Image ArtScopeFrame() {
    Image img(247, 108);
    DrawPlate(img, 0, 0, 246, 107);
    TitleBand(img, 247, 17, "OSCILLOSCOPE");
    DrawTextCentered(img, TinyFont(), 68, 19, "LEFT", theme::kLabel, theme::kLabelShadow, true);
    DrawTextCentered(img, TinyFont(), 179, 19, "RIGHT", theme::kLabel, theme::kLabelShadow, true);
    Bezel(img, 16, 27, 104, 64);
    Bezel(img, 127, 27, 104, 64);
    for (double sx : {7.5, 239.5}) {
        DrawScrew(img, sx, 59.0);
        DrawScrew(img, sx, 99.5);
    }
    DrawTextCentered(img, TinyFont(), 123, 97, "OUTPUT", MakeRgb(104, 112, 124), theme::kLabelShadow, true);
    return img;
}

}  // namespace skin
