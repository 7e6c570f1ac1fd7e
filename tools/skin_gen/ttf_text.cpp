#include "tools/skin_gen/ttf_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace skin {

bool TtfFont::Open(const std::string& path) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        return false;
    }
    library_ = lib;
    face_ = face;
    return true;
}

TtfFont::~TtfFont() {
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

int TtfFont::Measure(const std::string& text, int size, double tracking) {
    FT_Face face = static_cast<FT_Face>(face_);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(size));
    double w = 0;
    for (char ch : text) {
        if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(ch)), FT_LOAD_DEFAULT)) continue;
        w += face->glyph->advance.x / 64.0 + tracking;
    }
    return int(std::lround(w - (text.empty() ? 0 : tracking)));
}

int TtfFont::Draw(Image& img, double x, int baseline, const std::string& text, int size, Rgb color,
                                    double tracking, double opacity) {
    FT_Face face = static_cast<FT_Face>(face_);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(size));
    double pen = x;
    for (char ch : text) {
        if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(ch)), FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = face->glyph;
        int ox = int(std::lround(pen)) + g->bitmap_left;
        int oy = baseline - g->bitmap_top;
        for (unsigned r = 0; r < g->bitmap.rows; ++r)
            for (unsigned c = 0; c < g->bitmap.width; ++c) {
                int a = g->bitmap.buffer[r * unsigned(g->bitmap.pitch) + c];
                if (a) img.Blend(ox + int(c), oy + int(r), color, opacity * a / 255.0);
            }
        pen += g->advance.x / 64.0 + tracking;
    }
    return int(std::lround(pen - x));
}

int TtfFont::DrawCentered(Image& img, double cx, int baseline, const std::string& text, int size,
                                                    Rgb color, double tracking, double opacity) {
    int w = Measure(text, size, tracking);
    return Draw(img, cx - w / 2.0, baseline, text, size, color, tracking, opacity);
}

}  // namespace skin
