// The glyph sheet of the pattern grid and the song-order list: 124 x 120
// pixels in the surface palette's indices, cut into 15 bands of 8 rows.
// Within a colour triple the first index is the darkest (used for the soft
// pixels beside diagonal steps), the third the brightest (the stroke); the
// editor's cursor recolouring relies on that order.
#include <array>
#include <cstdint>
#include <string>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/pixel_font.h"

namespace skin {

namespace {

constexpr int kSheetW = 124, kSheetH = 120;

struct Cell {
    int x, y, w, h;
};

// Puts glyph g at (cell.x + gx, cell.y + gy), scaled horizontally by sx; then
// softens its diagonal steps with the soft index, inside the cell only.
void PutGlyph(IndexedImage& s, Cell cell, const PixelGlyph& g, int gx, int gy, std::uint8_t stroke,
              std::uint8_t soft, int sx = 1) {
    auto ink = [&](int x, int y) {
        int rx = x - cell.x - gx, ry = y - cell.y - gy;
        if (rx < 0 || ry < 0 || ry >= int(g.rows.size()) || rx >= g.Width() * sx) return false;
        return g.Ink(rx / sx, ry);
    };
    for (int y = cell.y; y < cell.y + cell.h; ++y)
        for (int x = cell.x; x < cell.x + cell.w; ++x)
            if (ink(x, y)) s.idx[std::size_t(y * kSheetW + x)] = stroke;
    for (int y = cell.y; y < cell.y + cell.h; ++y)
        for (int x = cell.x; x < cell.x + cell.w; ++x) {
            if (ink(x, y)) continue;
            bool n = ink(x, y - 1), e = ink(x + 1, y), so = ink(x, y + 1), w = ink(x - 1, y);
            bool step = (n && e && !ink(x + 1, y - 1)) || (e && so && !ink(x + 1, y + 1)) ||
                        (so && w && !ink(x - 1, y + 1)) || (w && n && !ink(x - 1, y - 1));
            if (step) s.idx[std::size_t(y * kSheetW + x)] = soft;
        }
}

void Fill(IndexedImage& s, Cell c, std::uint8_t v) {
    for (int y = c.y; y < c.y + c.h; ++y)
        for (int x = c.x; x < c.x + c.w; ++x) s.idx[std::size_t(y * kSheetW + x)] = v;
}

// Draws a string of glyphs from font starting at cell-relative gx.
void PutText(IndexedImage& s, Cell cell, const PixelFont& font, const std::string& text, int gx, int gy,
             std::uint8_t stroke, std::uint8_t soft, int sx = 1) {
    for (char ch : text) {
        const PixelGlyph* g = font.Find(ch);
        if (!g) continue;
        PutGlyph(s, cell, *g, gx, gy, stroke, soft, sx);
        gx += (g->Width() + font.spacing) * sx;
    }
}

}  // namespace

const std::vector<Rgb>& SurfacePalette() {
    static const std::vector<Rgb> palette = {
        MakeRgb(0x00, 0x00, 0x00), MakeRgb(0x00, 0x4B, 0x53), MakeRgb(0x00, 0x97, 0xA7), MakeRgb(0x00, 0xAF, 0xC7),
        MakeRgb(0x27, 0x27, 0x32), MakeRgb(0x50, 0x50, 0x50), MakeRgb(0x64, 0x64, 0x64), MakeRgb(0x67, 0x00, 0x00),
        MakeRgb(0x9B, 0x00, 0x00), MakeRgb(0xCF, 0x00, 0x00), MakeRgb(0x48, 0x48, 0x48), MakeRgb(0x58, 0x58, 0x58),
        MakeRgb(0x68, 0x68, 0x68), MakeRgb(0x83, 0x83, 0x00), MakeRgb(0xAF, 0xAF, 0x00), MakeRgb(0xDB, 0xDB, 0x00),
        MakeRgb(0x00, 0x83, 0x93), MakeRgb(0x00, 0xBB, 0xC7), MakeRgb(0x00, 0xFF, 0xFF), MakeRgb(0x00, 0x5F, 0xD7),
        MakeRgb(0x00, 0x6F, 0xEB), MakeRgb(0x00, 0x83, 0xFF), MakeRgb(0x00, 0x00, 0x83), MakeRgb(0x00, 0x00, 0xBF),
        MakeRgb(0x00, 0x00, 0xFF), MakeRgb(0x00, 0x4B, 0x00), MakeRgb(0x00, 0x97, 0x00), MakeRgb(0x00, 0xAF, 0x00),
        MakeRgb(0x30, 0x30, 0x30), MakeRgb(0x40, 0x40, 0x40), MakeRgb(0x50, 0x50, 0x50), MakeRgb(0x00, 0x00, 0xC0),
    };
    return palette;
}

IndexedImage ArtGlyphSheet() {
    IndexedImage s;
    s.width = kSheetW;
    s.height = kSheetH;
    s.idx.assign(std::size_t(kSheetW * kSheetH), 0);
    s.palette = SurfacePalette();
    const PixelFont& bold = BoldFont();
    const PixelFont& thin = ThinFont();
    const std::array<const char*, 12> names = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};

    for (int k = 0; k < 12; ++k) {
        const std::string n = names[std::size_t(k)];
        // Note names (green) and key-change names (dark on a grey box): the
        // letter lands on the same screen column in both.
        Cell note{1, 8 * k, 19, 7};
        PutGlyph(s, note, *bold.Find(n[0]), 3, 0, 27, 25);
        PutGlyph(s, note, *bold.Find(n[1]), 11, 0, 27, 25);
        Cell key{32, 8 * k, 20, 8};
        Fill(s, key, 12);
        PutGlyph(s, key, *bold.Find(n[0]), 4, 0, 10, 11);
        PutGlyph(s, key, *bold.Find(n[1]), 12, 0, 10, 11);
    }
    for (int d = 0; d < 10; ++d) {
        const PixelGlyph& digit = *bold.Find(char('0' + d));
        PutGlyph(s, {21, 8 * d, 9, 7}, digit, 1, 0, 27, 25);
        Cell keyDigit{52, 8 * d, 11, 8};
        Fill(s, keyDigit, 12);
        PutGlyph(s, keyDigit, digit, 2, 0, 10, 11);
        PutGlyph(s, {98, 8 * d, 6, 7}, *thin.Find(char('0' + d)), 0, 0, 3, 1);
        PutGlyph(s, {113, 8 * d, 10, 8}, digit, 1, 0, 3, 1);
    }
    PutText(s, {65, 0, 29, 7}, bold, "CUT", 3, 0, 6, 4);
    PutText(s, {65, 8, 29, 7}, bold, "OFF", 3, 0, 9, 7);
    PutText(s, {65, 16, 29, 7}, bold, "END", 3, 0, 9, 7);
    for (int i = 0; i < 24; ++i) {
        int p = i % 8;
        if (p == 7) continue;
        s.idx[std::size_t(27 * kSheetW + 68 + i)] = (p == 0 || p == 6) ? 5 : 6;
    }
    PutText(s, {65, 80, 28, 8}, bold, "GO:", 0, 0, 9, 7);
    PutText(s, {65, 88, 40, 8}, bold, "STOP", 0, 0, 9, 7);
    const std::string commands = "TISBV+-PFGE12OX";
    for (int c = 0; c < 15; ++c) {
        char ch = commands[std::size_t(c)];
        const PixelGlyph* g = thin.Find(ch);
        PutGlyph(s, {106, 8 * c, 6, 7}, *g, 0, 0, 18, 16);
    }
    const PixelFont& tiny = TinyFont();
    // The label's 34 columns take the five doubled-width letters with a
    // one-pixel gap between them.
    int labelX = 0;
    for (char ch : std::string("TRACK")) {
        const PixelGlyph& g = *tiny.Find(ch);
        PutGlyph(s, {0, 97, 34, 5}, g, labelX, 0, 21, 19, 2);
        labelX += g.Width() * 2 + 1;
    }
    for (int d = 0; d < 10; ++d) PutGlyph(s, {36 + 7 * d, 97, 6, 5}, *tiny.Find(char('0' + d)), 0, 0, 21, 19, 2);
    return s;
}

}  // namespace skin
