// mc_skin_gen: draws every picture of the skin and writes them as the
// program's resources.
//
//   mc_skin_gen OUTDIR [FONTDIR]
//
// OUTDIR receives bitmap_<id>.bmp for every bitmap resource, rawdata_188.bin
// (the glyph sheet), skin_files_data.cpp (links the files into the program)
// and skin_contact_sheet.png (every picture on one sheet, for a person to look
// at). FONTDIR holds the DejaVu TrueType files (default: Debian's place).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/skin_gen/art.h"
#include "tools/skin_gen/image_io.h"
#include "tools/skin_gen/pixel_font.h"
#include "tools/skin_gen/quantize.h"

using namespace skin;

namespace {

struct Output {
    int id;
    std::vector<std::uint8_t> bytes;
    Image preview;  // what the file decodes to
};

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// Lays pictures out on one sheet, each with its caption above it.
class Sheet {
  public:
    explicit Sheet(int width) : width_(width) {}
    void Add(const std::string& caption, const Image& img) { items_.push_back({caption, img}); }
    Image Compose() const {
        // Shelf packing, left to right.
        struct Place {
            int x, y;
        };
        std::vector<Place> at;
        int x = 10, y = 10, shelf = 0;
        for (const auto& it : items_) {
            int w = std::max(it.img.width, TinyFont().Measure(it.caption) * 2);
            int h = it.img.height + 14;
            if (x + w > width_ - 10 && x > 10) {
                x = 10;
                y += shelf + 12;
                shelf = 0;
            }
            at.push_back({x, y});
            x += w + 14;
            shelf = std::max(shelf, h);
        }
        Image out(width_, y + shelf + 10, MakeRgb(58, 62, 70));
        for (std::size_t i = 0; i < items_.size(); ++i) {
            Image caption(TinyFont().Measure(items_[i].caption) + 2, 6, MakeRgb(58, 62, 70));
            DrawText(caption, TinyFont(), 0, 0, items_[i].caption, MakeRgb(240, 240, 240));
            out.Blit(caption.Scaled(2), 0, 0, caption.width * 2, 12, at[i].x, at[i].y);
            out.Blit(items_[i].img, 0, 0, items_[i].img.width, items_[i].img.height, at[i].x, at[i].y + 14);
        }
        return out;
    }

  private:
    struct Item {
        std::string caption;
        Image img;
    };
    int width_;
    std::vector<Item> items_;
};

// A strip of frames shown as a grid of columns.
Image FrameGrid(const Image& strip, int frameW, int frameH, int frames, int perRow) {
    int rows = (frames + perRow - 1) / perRow;
    Image out(perRow * (frameW + 2), rows * (frameH + 2), MakeRgb(58, 62, 70));
    for (int f = 0; f < frames; ++f)
        out.Blit(strip, 0, f * frameH, frameW, frameH, (f % perRow) * (frameW + 2), (f / perRow) * (frameH + 2));
    return out;
}

// The whole panel of the normal layout, put together from the resting pictures.
Image MockPanel(const Image& frame, const Image& synth, const Image& mixer, const Image& glyphs) {
    Image v(632, 432, MakeRgb(0, 0, 0));
    v.Blit(frame, 0, 0, 630, 27, 0, 0);
    v.Blit(frame, 0, 27, 12, 157, 0, 27);
    v.Blit(frame, 617, 27, 13, 157, 617, 27);
    v.Blit(frame, 0, 184, 630, 10, 0, 184);
    v.Blit(synth, 0, 0, 605, 157, 12, 27);
    v.Blit(mixer, 0, 0, 630, 98, 0, 334);
    // A few glyphs where the pattern grid goes.
    v.Blit(glyphs.Scaled(1), 0, 0, 124, 120, 250, 204);
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mc_skin_gen OUTDIR [FONTDIR]\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string fonts = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    TtfFont bold, regular;
    if (!bold.Open(fonts + "/DejaVuSans-Bold.ttf") || !regular.Open(fonts + "/DejaVuSans.ttf")) {
        std::fprintf(stderr, "mc_skin_gen: the DejaVu fonts are missing in %s (package fonts-dejavu-core)\n",
                     fonts.c_str());
        return 1;
    }

    // ---- draw ----
    const Image sprites = ArtSelectorSprites();
    const Image lamp = ArtLamp();
    const Image digits = ArtDigits();
    const Image nameFont = ArtNameFont();
    const Image knob196 = KnobStrip(30, 81, KnobStyle::kStandard);
    const Image knob197 = KnobStrip(30, 81, KnobStyle::kBipolar);
    const Image knob198 = KnobStrip(30, 81, KnobStyle::kModulation);
    const Image knob200 = KnobStrip(30, 81, KnobStyle::kLevel);
    const Image knob206 = KnobStrip(24, 41, KnobStyle::kPan);
    const Image knob207 = KnobStrip(24, 41, KnobStyle::kSend);
    const Image synth = ArtSynthSection(sprites, lamp, digits, nameFont);
    const Image mixer = ArtMixer(knob206, knob207);
    const Image frame = ArtFrame(digits);
    const Image automation = ArtAutomationFrame(sprites, knob196);
    const Image scope = ArtScopeFrame();
    const Image splash = ArtSplash(bold, regular);
    const Image about = ArtAbout(bold, regular);
    const Image credits = ArtCredits(bold, regular);
    const IndexedImage glyphs = ArtGlyphSheet();

    // ---- reduce to the colour depths ----
    // The 8-bit panel bitmaps share one palette, so a colour drawn in two of
    // them (the plate behind a knob, a button's border) stays the same colour.
    std::vector<Rgb> keep = {theme::kGap, theme::kPlate, theme::kDisplay, theme::kOutline, MakeRgb(0, 0, 0),
                             theme::kPlateLight, theme::kPlateDark};
    for (int r = 0; r < 9; ++r) keep.push_back(HeaderRow(r));
    const std::vector<const Image*> panel8 = {&synth, &mixer, &knob196, &knob197, &knob198, &knob200,
                                              &knob206, &knob207, &sprites, &automation, &scope};
    const std::vector<Rgb> skinPalette = BuildPalette(panel8, 256, keep);

    std::vector<Output> outputs;
    auto add8 = [&](int id, const Image& img, const std::vector<Rgb>& palette, BmpCompression c) {
        IndexedImage ix = MapToPalette(img, palette);
        outputs.push_back({id, EncodeBmpIndexed(ix, 8, c), Expand(ix)});
    };
    auto add4 = [&](int id, const Image& img, const std::vector<Rgb>& keep4, BmpCompression c) {
        IndexedImage ix = MapToPalette(img, BuildPalette({&img}, 16, keep4));
        outputs.push_back({id, EncodeBmpIndexed(ix, 4, c), Expand(ix)});
    };
    auto add24 = [&](int id, const Image& img) { outputs.push_back({id, EncodeBmp24(img), img}); };

    add24(208, frame);
    add8(189, synth, skinPalette, BmpCompression::kNone);
    add8(205, mixer, skinPalette, BmpCompression::kNone);
    add8(196, knob196, skinPalette, BmpCompression::kNone);
    add8(197, knob197, skinPalette, BmpCompression::kNone);
    add8(198, knob198, skinPalette, BmpCompression::kNone);
    add8(200, knob200, skinPalette, BmpCompression::kNone);
    add8(206, knob206, skinPalette, BmpCompression::kNone);
    add8(207, knob207, skinPalette, BmpCompression::kNone);
    add8(199, sprites, skinPalette, BmpCompression::kNone);
    add24(194, lamp);
    add4(204, digits, {theme::kDisplay}, BmpCompression::kNone);
    add4(214, nameFont, {theme::kDisplay}, BmpCompression::kNone);
    add8(221, automation, skinPalette, BmpCompression::kNone);
    add8(224, scope, skinPalette, BmpCompression::kNone);
    const Rgb creditsBg = MakeRgb(12, 13, 16);
    add8(229, splash, BuildPalette({&splash}, 256), BmpCompression::kRle);
    add8(230, about, BuildPalette({&about}, 256, {creditsBg}), BmpCompression::kRle);
    add4(236, credits, {creditsBg}, BmpCompression::kRle);

    // ---- write ----
    bool ok = true;
    std::string blobs =
        "// Generated by mc_skin_gen: links the skin's picture files into the program.\n"
        "#include \"res/skin_files.h\"\n\n";
    std::string table = "const SkinFile g_skinFiles[] = {\n";
    auto link = [&](const std::string& symbol, const std::string& path, int kind, int id) {
        blobs += "__asm__(\".pushsection .rodata\\n.balign 16\\n.global " + symbol + "\\n" + symbol +
                 ":\\n.incbin \\\"" + Escape(Escape(path)) + "\\\"\\n.global " + symbol + "_end\\n" + symbol +
                 "_end:\\n.popsection\\n\");\n";
        blobs += "extern \"C\" const std::uint8_t " + symbol + "[], " + symbol + "_end[];\n";
        table += "    {" + std::to_string(kind) + ", " + std::to_string(id) + ", " + symbol + ", " + symbol +
                 "_end},\n";
    };
    for (const Output& o : outputs) {
        std::string path = out + "/bitmap_" + std::to_string(o.id) + ".bmp";
        ok = WriteFile(path, o.bytes) && ok;
        link("mc_res_bitmap_" + std::to_string(o.id), path, 0, o.id);
    }
    std::string rawPath = out + "/rawdata_188.bin";
    ok = WriteFile(rawPath, glyphs.idx) && ok;
    link("mc_res_rawdata_188", rawPath, 1, 188);
    table += "};\nconst int g_skinFileCount = " + std::to_string(outputs.size() + 1) + ";\n";
    blobs += "\n" + table;
    ok = WriteFile(out + "/skin_files_data.cpp", std::vector<std::uint8_t>(blobs.begin(), blobs.end())) && ok;

    // ---- contact sheet ----
    auto preview = [&](int id) -> const Image& {
        for (const Output& o : outputs)
            if (o.id == id) return o.preview;
        return outputs.front().preview;
    };
    Sheet sheet(1400);
    sheet.Add("PANEL, NORMAL LAYOUT (RESTING PICTURES)", MockPanel(preview(208), preview(189), preview(205), Expand(glyphs)));
    sheet.Add("208 TOP BAR, FRAME, SPRITES", preview(208));
    sheet.Add("189 SYNTHESIZER SECTION", preview(189).Scaled(2));
    sheet.Add("205 MIXER", preview(205).Scaled(2));
    sheet.Add("196 KNOB", FrameGrid(preview(196), 30, 30, 81, 9).Scaled(2));
    sheet.Add("197 BIPOLAR KNOB", FrameGrid(preview(197), 30, 30, 81, 9).Scaled(2));
    sheet.Add("198 KNOB", FrameGrid(preview(198), 30, 30, 81, 9).Scaled(2));
    sheet.Add("200 KNOB", FrameGrid(preview(200), 30, 30, 81, 9).Scaled(2));
    sheet.Add("206 PAN", FrameGrid(preview(206), 24, 24, 41, 7).Scaled(2));
    sheet.Add("207 SEND", FrameGrid(preview(207), 24, 24, 41, 7).Scaled(2));
    sheet.Add("199 SELECTORS AND TOGGLES", preview(199).Scaled(2));
    sheet.Add("194 LAMP", preview(194).Scaled(4));
    sheet.Add("204 DIGITS", preview(204).Scaled(4));
    sheet.Add("214 SOUND-NAME FONT", preview(214).Crop(0, 0, 300, 8).Scaled(4));
    sheet.Add("188 GLYPH SHEET", Expand(glyphs).Scaled(4));
    sheet.Add("221 AUTOMATION PANEL", preview(221).Scaled(2));
    sheet.Add("224 OSCILLOSCOPE", preview(224).Scaled(2));
    sheet.Add("229 SPLASH", preview(229));
    sheet.Add("230 ABOUT", preview(230));
    sheet.Add("236 CREDITS", preview(236));
    ok = WriteFile(out + "/skin_contact_sheet.png", EncodePng(sheet.Compose())) && ok;
    if (!ok) {
        std::fprintf(stderr, "mc_skin_gen: cannot write to %s\n", out.c_str());
        return 1;
    }
    return 0;
}
