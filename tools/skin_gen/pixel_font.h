// Pixel fonts drawn by hand for the skin: every glyph is a small picture of
// '#' (ink) and '.' (paper). Crisp at the tiny sizes a panel needs.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/skin_gen/image.h"

namespace skin {

struct PixelGlyph {
    std::vector<std::string> rows;  // all rows the same length
    int Width() const { return rows.empty() ? 0 : int(rows[0].size()); }
    bool Ink(int x, int y) const { return rows[std::size_t(y)][std::size_t(x)] == '#'; }
};

struct PixelFont {
    int height = 0;
    int spacing = 1;     // paper columns between glyphs
    int spaceWidth = 3;  // width of ' '
    std::map<char, PixelGlyph> glyphs;

    const PixelGlyph* Find(char c) const;
    int Measure(const std::string& text) const;
};

// 3 x 5 capitals, digits and a few signs: panel captions.
const PixelFont& TinyFont();
// 7-row bold capitals and digits; the letter widths are those of the sound-name
// font (ink width = advance - 1). Section titles, names, big captions.
const PixelFont& BoldFont();
// 5 x 7 thin digits and the pattern command letters.
const PixelFont& ThinFont();

// Draws text with its top-left at (x, y); returns the advance. shadow != 0
// draws a one-pixel drop shadow (down-right) in that colour first.
int DrawText(Image& img, const PixelFont& font, int x, int y, const std::string& text, Rgb color,
                          Rgb shadow = 0, bool withShadow = false);
// Centred horizontally on cx.
int DrawTextCentered(Image& img, const PixelFont& font, int cx, int y, const std::string& text,
                                          Rgb color, Rgb shadow = 0, bool withShadow = false);

}  // namespace skin
