// The synthesizer section background (189): section plates, headers with
// their titles, labels, display windows, and the resting look of every control.
#include <vector>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {

struct Plate {
    int x0, y0, x1, y1;
    const char* title;
};

struct Knob {
    int x, y;
    KnobStyle style;
    double t;
    const char* label;
};

struct Selector {
    int x, y, n;
    std::vector<int> sprites;
    const char* label;
    int labelCx;
};

struct Toggle {
    int x, y, sprite;
    const char* label;  // may be null
};

}  // namespace

Image ArtSynthSection(const Image& sprites, const Image& lamp, const Image& digits, const Image& font) {
    (void)font;
    Image img(605, 157, theme::kGap);
    const std::vector<Plate> plates = {
        {1, 1, 189, 50, "OSCILLATOR 1"}, {192, 1, 441, 50, "OSCILLATOR 2"}, {444, 1, 603, 50, "OSCILLATOR 3"},
        {1, 53, 155, 102, "AMPLIFIER"},  {157, 53, 448, 102, "FILTER"},     {450, 53, 603, 102, "LFO"},
        {1, 105, 220, 155, "USER ENVELOPE"}, {222, 105, 315, 155, "VIBRATO"}, {317, 105, 603, 155, "PROGRAM"},
    };
    for (const Plate& p : plates) {
        DrawPlate(img, p.x0, p.y0, p.x1, p.y1);
        DrawHeader(img, p.x0 + 2, p.y0 + 2, p.x1 - 2, p.title);
    }

    using S = KnobStyle;
    const std::vector<Knob> knobs = {
        {69, 12, S::kBipolar, 0.5, "TUNE"},     {129, 12, S::kStandard, 0.5, "PWIDTH"},
        {159, 12, S::kModulation, 0.0, "PWM"},  {260, 12, S::kBipolar, 0.5, "TUNE"},
        {290, 12, S::kBipolar, 0.5, "FINE"},    {350, 12, S::kModulation, 0.0, "FM"},
        {410, 12, S::kLevel, 0.75, "VOL"},      {511, 12, S::kBipolar, 0.5, "TUNE"},
        {541, 12, S::kBipolar, 0.5, "FINE"},    {571, 12, S::kLevel, 0.75, "VOL"},
        {3, 64, S::kStandard, 0.0, "ATK"},   {33, 64, S::kStandard, 0.4, "DEC"},
        {63, 64, S::kStandard, 0.8, "SUS"}, {93, 64, S::kStandard, 0.3, "REL"},
        {123, 64, S::kStandard, 0.8, "GAIN"},   {159, 64, S::kStandard, 0.7, "CUTOFF"},
        {189, 64, S::kModulation, 0.2, "RESO"}, {297, 64, S::kStandard, 0.0, "ATK"},
        {327, 64, S::kStandard, 0.4, "DEC"},  {357, 64, S::kStandard, 0.5, "SUS"},
        {387, 64, S::kStandard, 0.3, "REL"}, {417, 64, S::kStandard, 0.5, "GAIN"},
        {542, 64, S::kModulation, 0.3, "DEPTH"}, {572, 64, S::kModulation, 0.5, "RATE"},
        {69, 116, S::kStandard, 0.0, "ATK"}, {99, 116, S::kStandard, 0.4, "DEC"},
        {129, 116, S::kStandard, 0.5, "SUS"}, {159, 116, S::kStandard, 0.3, "REL"},
        {189, 116, S::kStandard, 0.5, "GAIN"},  {224, 116, S::kStandard, 0.3, "DELAY"},
        {254, 116, S::kModulation, 0.2, "DEPTH"}, {284, 116, S::kModulation, 0.5, "RATE"},
        {319, 116, S::kModulation, 0.0, "PORTA"}, {349, 116, S::kStandard, 0.0, "KEYOFF"},
        {409, 116, S::kLevel, 0.0, "DIST"},
    };
    for (const Knob& k : knobs) {
        DrawKnobFrame(img, k.x, k.y, 30, k.style, k.t);
        DrawLabel(img, k.x + 15, k.y + 31, k.label);
    }

    const std::vector<Selector> selectors = {
        {4, 16, 6, {0, 23, 46, 69, 115, 138}, "WAVE", 36},
        {195, 16, 6, {0, 23, 46, 92, 115, 138}, "WAVE", 227},
        {446, 16, 6, {0, 23, 46, 92, 115, 138}, "WAVE", 478},
        {226, 68, 5, {207, 276, 230, 253, 299}, "MODE", 247},
        {4, 120, 6, {414, 322, 345, 368, 437, 391}, "DEST", 36},
        {453, 68, 4, {345, 368, 322, 391}, "DEST", 474},
        {498, 68, 4, {0, 46, 92, 115}, "WAVE", 519},
    };
    for (const Selector& s : selectors) {
        for (int v = 1; v <= s.n; ++v) {
            int cx = s.x + ((v - 1) / 2) * 21, cy = s.y + ((v - 1) % 2) * 11;
            img.Blit(sprites, s.sprites[std::size_t(v - 1)], 0, 22, 12, cx, cy);
        }
        int labelY = s.y + 27;
        DrawLabel(img, s.labelCx, labelY, s.label);
    }

    const std::vector<Toggle> toggles = {
        {103, 19, 506, "KBD"}, {324, 19, 506, "KBD"}, {385, 16, 184, nullptr}, {385, 27, 161, nullptr},
        {268, 79, 506, "KBD"}, {383, 122, 506, "TIE"}, {512, 122, 506, "STORE"},
    };
    for (const Toggle& t : toggles) {
        img.Blit(sprites, t.sprite, 0, 22, 12, t.x, t.y);
        if (t.label) DrawLabel(img, t.x + 11, t.y < 60 ? 43 : (t.y < 110 ? 95 : 147), t.label);
    }
    DrawLabel(img, 396, 43, "MOD");

    // Step buttons: their resting look belongs to the background.
    for (int x : {484, 576}) {
        img.Blit(sprites, 460, 0, 22, 12, x, 120);
        img.Blit(sprites, 483, 0, 22, 12, x, 131);
    }

    // Section lamps, off.
    for (auto [x, y] : std::vector<std::pair<int, int>>{{429, 3}, {591, 3}, {436, 55}, {591, 55}, {208, 107}})
        img.Blit(lamp, 0, 0, 11, 9, x, y);

    // Number displays: output channel and sound number.
    for (int x : {449, 541}) {
        DrawDisplayWindow(img, x - 2, 119, x + 27, 141);
        img.Blit(digits, 0, 0, 13, 21, x, 120);
        img.Blit(digits, 13, 0, 13, 21, x + 13, 120);
    }
    DrawLabel(img, 462, 147, "CHANNEL");
    DrawLabel(img, 554, 147, "SOUND");

    // Sound-name display inside the program header.
    img.FillRect(377, 107, 225, 9, theme::kDisplay);
    img.VLine(376, 107, 115, MakeRgb(4, 4, 5));
    return img;
}

}  // namespace skin
