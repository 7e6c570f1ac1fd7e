// The skin's pictures: one function per bitmap, all in one colour scheme.
// Every function returns the picture at its exact size in RGB; the caller
// reduces the palette bitmaps to their colour depth.
#pragma once

#include <string>

#include "tools/skin_gen/image.h"
#include "tools/skin_gen/quantize.h"
#include "tools/skin_gen/ttf_text.h"

namespace skin {

// ---- colour scheme -------------------------------------------------------
namespace theme {
constexpr Rgb kGap = MakeRgb(15, 17, 20);          // between the section plates
constexpr Rgb kPlate = MakeRgb(31, 34, 40);        // plate body; knob sprites sit on it
constexpr Rgb kPlateLight = MakeRgb(64, 70, 80);   // plate edge, upper left
constexpr Rgb kPlateDark = MakeRgb(9, 10, 12);     // plate edge, lower right
constexpr Rgb kHeaderTop = MakeRgb(66, 74, 88);    // section header strip, 9 rows
constexpr Rgb kHeaderBottom = MakeRgb(44, 50, 60);
constexpr Rgb kTitle = MakeRgb(232, 236, 242);
constexpr Rgb kTitleShadow = MakeRgb(16, 18, 22);
constexpr Rgb kLabel = MakeRgb(156, 166, 180);
constexpr Rgb kLabelShadow = MakeRgb(12, 13, 16);
constexpr Rgb kAccent = MakeRgb(255, 178, 63);     // amber: lit things
constexpr Rgb kDisplay = MakeRgb(14, 11, 8);       // LED display background
constexpr Rgb kDisplayGhost = MakeRgb(46, 30, 14); // unlit segments
constexpr Rgb kDisplayLit = MakeRgb(255, 168, 48);
constexpr Rgb kOutline = MakeRgb(7, 8, 10);        // every button sprite's border
constexpr Rgb kMetalTop = MakeRgb(52, 57, 66);     // top bar and frame rails
constexpr Rgb kMetalBottom = MakeRgb(28, 31, 37);
constexpr Rgb kLedGreen = MakeRgb(110, 255, 110);
constexpr Rgb kLedRed = MakeRgb(255, 64, 48);
}  // namespace theme

// Header strip colour of row r (0..8) of a 9-row section header.
Rgb HeaderRow(int r);

// ---- shared drawing helpers ---------------------------------------------
enum class KnobStyle { kStandard, kBipolar, kModulation, kLevel, kPan, kSend };
// One knob frame with its top-left at (x, y): size 30 (synthesizer) or 24
// (mixer). t is the pointer position 0 (minimum) .. 1 (maximum).
void DrawKnobFrame(Image& img, int x, int y, int size, KnobStyle style, double t);
// A strip of frames, frame 0 showing the highest value.
Image KnobStrip(int size, int frames, KnobStyle style);

// A plate (section box) with bevelled edges; inclusive bounds.
void DrawPlate(Image& img, int x0, int y0, int x1, int y1);
// A 9-row header strip with its title; returns nothing.
void DrawHeader(Image& img, int x0, int y, int x1, const std::string& title);
// A label in the tiny capitals, centred on cx.
void DrawLabel(Image& img, int cx, int y, const std::string& text, Rgb color = theme::kLabel);
// A recessed display window: bevel outside the inclusive box, display colour inside.
void DrawDisplayWindow(Image& img, int x0, int y0, int x1, int y1);
// A screw head.
void DrawScrew(Image& img, double cx, double cy);
// A 28 x 11 mode button (song mode, pattern cue).
void DrawModeButton(Image& img, int x, int y, const std::string& text, bool lit);

// ---- the pictures ---------------------------------------------------------
Image ArtSelectorSprites();      // 199: 597 x 24
Image ArtLamp();                 // 194: 11 x 19
Image ArtDigits();               // 204: 131 x 38
Image ArtNameFont();             // 214: 640 x 8
Image ArtSynthSection(const Image& sprites199, const Image& lamp194, const Image& digits204,
                      const Image& font214);  // 189: 605 x 157
Image ArtMixer(const Image& pan206, const Image& send207);  // 205: 630 x 190
Image ArtFrame(const Image& digits204);                     // 208: 630 x 600
Image ArtAutomationFrame(const Image& sprites199, const Image& knob196);  // 221: 326 x 144
Image ArtScopeFrame();           // 224: 247 x 108
Image ArtSplash(TtfFont& bold, TtfFont& regular);   // 229: 400 x 256
Image ArtAbout(TtfFont& bold, TtfFont& regular);    // 230: 300 x 300
Image ArtCredits(TtfFont& bold, TtfFont& regular);  // 236: 230 x 1120
// The glyph sheet for the pattern and song-order surfaces, already in the
// surface palette's indices (124 x 120).
IndexedImage ArtGlyphSheet();
// The 32 colours of the pattern and song-order surfaces.
const std::vector<Rgb>& SurfacePalette();

// Sound-name font metrics: advance of a character ('A'..'Z', '0'..'9').
int NameFontWidth(char c);

}  // namespace skin
