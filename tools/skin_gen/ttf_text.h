// Anti-aliased text through FreeType, for the larger lettering of the splash,
// About box and credits.
#pragma once

#include <string>

#include "tools/skin_gen/image.h"

namespace skin {

class TtfFont {
  public:
    // path: a TrueType file; false when it cannot be opened.
    bool Open(const std::string& path);
    ~TtfFont();
    TtfFont() = default;
    TtfFont(const TtfFont&) = delete;
    TtfFont& operator=(const TtfFont&) = delete;

    // Width in pixels of text at the pixel size.
    int Measure(const std::string& text, int pixelSize, double tracking = 0);
    // Draws with the baseline at y; returns the advance.
    int Draw(Image& img, double x, int baselineY, const std::string& text, int pixelSize, Rgb color,
                      double tracking = 0, double opacity = 1.0);
    int DrawCentered(Image& img, double cx, int baselineY, const std::string& text, int pixelSize,
                                      Rgb color, double tracking = 0, double opacity = 1.0);

  private:
    void* library_ = nullptr;
    void* face_ = nullptr;
};

}  // namespace skin
