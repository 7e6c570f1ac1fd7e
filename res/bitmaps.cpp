// The program's pictures. The splash picture is drawn here; the panel's skin
// pictures are plain shaded placeholders of their exact sizes until the skin's
// artwork replaces them (the view's layouts depend only on the sizes).
#include <cmath>
#include <map>

#include "platform/resources.h"
#include "res/resource_ids.h"

namespace {

uint32_t Rgb(int r, int g, int b) { return (uint32_t(r & 0xFF) << 16) | (uint32_t(g & 0xFF) << 8) | uint32_t(b & 0xFF); }

std::vector<uint32_t> Fill(int w, int h, uint32_t colour) { return std::vector<uint32_t>(size_t(w) * size_t(h), colour); }

// Placeholder for a strip of frames of height fh: each frame a mid-grey tile
// with a darker outline, so that the frames can be told apart.
std::vector<uint32_t> Strip(int w, int h, int fh, uint32_t face) {
    std::vector<uint32_t> p = Fill(w, h, face);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (y % fh == 0 || y % fh == fh - 1 || x == 0 || x == w - 1) p[size_t(y) * size_t(w) + size_t(x)] = Rgb(24, 24, 28);
    return p;
}

// A 5 x 7 pixel font for the splash title.
const std::map<char, const char*>& Font() {
    static const std::map<char, const char*> glyphs = {
        {'A', " ### #   ##   ######   ##   ##   #"}, {'B', "#### #   ##   ##### #   ##   ##### "},
        {'C', " ### #   ##    #    #    #   # ### "}, {'E', "######    #    #### #    #    #####"},
        {'I', " ###   #    #    #    #    #   ### "}, {'K', "#   ##  # # #  ##   # #  #  # #   #"},
        {'L', "#    #    #    #    #    #    #####"}, {'M', "#   ### ## # ##   ##   ##   ##   #"},
        {'N', "#   ###  ## # ##  ###   ##   ##   #"}, {'O', " ### #   ##   ##   ##   ##   # ### "},
        {'P', "#### #   ##   ##### #    #    #    "}, {'R', "#### #   ##   ##### # #  #  # #   #"},
        {'T', "#####  #    #    #    #    #    #  "}, {'V', "#   ##   ##   ##   ##   # # #   #  "},
        {'W', "#   ##   ##   ## # ## # ##### #   #"}, {'Y', "#   ##   # # #   #    #    #    #  "},
        {' ', "                                   "},
    };
    return glyphs;
}

void DrawText(std::vector<uint32_t>& p, int w, int x0, int y0, int scale, const char* text, uint32_t colour) {
    for (const char* c = text; *c; ++c, x0 += 6 * scale) {
        auto it = Font().find(*c);
        if (it == Font().end()) continue;
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx) {
                if (it->second[gy * 5 + gx] != '#') continue;
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx)
                        p[size_t(y0 + gy * scale + sy) * size_t(w) + size_t(x0 + gx * scale + sx)] = colour;
            }
    }
}

int TextWidth(const char* text, int scale) {
    int n = 0;
    for (const char* c = text; *c; ++c) ++n;
    return n * 6 * scale - scale;
}

// The splash: a dark blue-green field with a row of knobs, the title and the
// maker's name.
std::vector<uint32_t> Splash() {
    const int w = 400, h = 256;
    std::vector<uint32_t> p(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int t = y * 255 / (h - 1);
            p[size_t(y) * w + size_t(x)] = Rgb(8 + t / 16, 40 + t / 5, 56 + t / 4);
        }
    // Knobs: rings with a pointer, at several positions.
    for (int k = 0; k < 7; ++k) {
        double cx = 44 + k * 52, cy = 188, r = 17;
        double angle = (-135.0 + k * 45.0) * M_PI / 180.0;
        for (int y = int(cy - r - 2); y <= int(cy + r + 2); ++y)
            for (int x = int(cx - r - 2); x <= int(cx + r + 2); ++x) {
                double d = std::hypot(x - cx, y - cy);
                if (d <= r) p[size_t(y) * w + size_t(x)] = d > r - 3 ? Rgb(0, 175, 199) : Rgb(20, 24, 30);
            }
        for (int s = 4; s < int(r) - 2; ++s) {
            int x = int(cx + std::sin(angle) * s), y = int(cy - std::cos(angle) * s);
            p[size_t(y) * w + size_t(x)] = Rgb(255, 255, 255);
            p[size_t(y) * w + size_t(x + 1)] = Rgb(255, 255, 255);
        }
    }
    const char* title = "MORVEL CANOPY I";
    DrawText(p, w, (w - TextWidth(title, 4)) / 2 + 2, 62, 4, title, Rgb(0, 0, 0));
    DrawText(p, w, (w - TextWidth(title, 4)) / 2, 60, 4, title, Rgb(219, 219, 0));
    const char* maker = "TARROWBY KINETIC";
    DrawText(p, w, (w - TextWidth(maker, 2)) / 2, 112, 2, maker, Rgb(200, 230, 235));
    return p;
}

template <int W, int H, int R, int G, int B>
std::vector<uint32_t> Plain() {
    return Fill(W, H, Rgb(R, G, B));
}

template <int W, int H, int FH>
std::vector<uint32_t> Frames() {
    return Strip(W, H, FH, Rgb(96, 96, 104));
}

const std::map<UINT, BitmapResource>& Bitmaps() {
    static const std::map<UINT, BitmapResource> table = {
        {IDB_TOP_BAR, {IDB_TOP_BAR, 630, 600, 24, Plain<630, 600, 56, 56, 64>}},
        {IDB_SYNTH_SECTION, {IDB_SYNTH_SECTION, 605, 157, 8, Plain<605, 157, 72, 72, 80>}},
        {IDB_MIXER_SECTION, {IDB_MIXER_SECTION, 630, 190, 8, Plain<630, 190, 64, 64, 72>}},
        {IDB_KNOB_A, {IDB_KNOB_A, 30, 2430, 8, Frames<30, 2430, 30>}},
        {IDB_KNOB_BIPOLAR, {IDB_KNOB_BIPOLAR, 30, 2430, 8, Frames<30, 2430, 30>}},
        {IDB_KNOB_C, {IDB_KNOB_C, 30, 2430, 8, Frames<30, 2430, 30>}},
        {IDB_KNOB_D, {IDB_KNOB_D, 30, 2430, 8, Frames<30, 2430, 30>}},
        {IDB_SMALL_KNOB_PAN, {IDB_SMALL_KNOB_PAN, 24, 984, 8, Frames<24, 984, 24>}},
        {IDB_SMALL_KNOB_SEND, {IDB_SMALL_KNOB_SEND, 24, 984, 8, Frames<24, 984, 24>}},
        {IDB_BUTTONS, {IDB_BUTTONS, 597, 24, 8, Frames<597, 24, 12>}},
        {IDB_LAMP, {IDB_LAMP, 11, 19, 24, Plain<11, 19, 40, 40, 40>}},
        {IDB_DIGITS, {IDB_DIGITS, 131, 38, 4, Plain<131, 38, 0, 0, 0>}},
        {IDB_NAME_FONT, {IDB_NAME_FONT, 640, 8, 4, Plain<640, 8, 0, 0, 0>}},
        {IDB_AUTOMATION_FRAME, {IDB_AUTOMATION_FRAME, 326, 144, 8, Plain<326, 144, 64, 64, 72>}},
        {IDB_SCOPE_FRAME, {IDB_SCOPE_FRAME, 247, 108, 8, Plain<247, 108, 64, 64, 72>}},
        {IDB_SPLASH, {IDB_SPLASH, 400, 256, 8, Splash}},
    };
    return table;
}

}  // namespace

const BitmapResource* FindBitmapResource(UINT id) {
    auto it = Bitmaps().find(id);
    return it == Bitmaps().end() ? nullptr : &it->second;
}
