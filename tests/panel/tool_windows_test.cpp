// The tool windows' drawing and logic without a display: the automation
// panel's copies from the skin (counted), its positions and value texts; the
// oscilloscope's traces computed from the ring; the effects selector's slider
// rows and captions; the texts of the knob target and sound name dialogs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/audio_device.h"
#include "host/render_paths.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "tests/engine/allocation_count.h"
#include "ui/automation_dlg.h"
#include "ui/effects_dlg.h"
#include "ui/knob_target_dlg.h"
#include "ui/oscilloscope_dlg.h"
#include "ui/sound_name_dlg.h"

namespace {

// Records every copy.
struct CopyLog : SkinBlitter {
    struct Copy {
        int bitmap, x, y, w, h, sx, sy;
    };
    std::vector<Copy> copies;
    void Blit(int bitmap, int x, int y, int w, int h, int sx, int sy) override {
        copies.push_back({bitmap, x, y, w, h, sx, sy});
    }
    int CountOf(int bitmap) const {
        int n = 0;
        for (const Copy& c : copies) n += c.bitmap == bitmap;
        return n;
    }
};

// Song and panel state as a fresh song leaves them.
class ToolWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_tweakLaneData, 0, sizeof g_tweakLaneData);
        for (int k = 0; k < kAutomationKnobs; ++k) {
            g_knobEnabled[k] = 0;
            g_knobSound[k] = 0;
            g_knobParam[k] = 0;
        }
        g_dragKnob.dragging = 0;
        g_dragKnob.index = 0;
        g_dragKnob.value = 0;
        g_songPlaying = 0;
        g_orderTop = 0;
        g_orderCursor = 0;
        g_editStep = 0;
        g_trackSongPos[0] = 0;
        g_trackRow[0] = 0;
        g_voiceState[0].tickParity = 1;
        CopyLog full;
        PaintAutomationPanel(full);
    }
};

TEST_F(ToolWindowsTest, AFullRepaintCoversThePanelOnceWithFrameButtonsAndKnobs) {
    CopyLog out;
    PaintAutomationPanel(out);
    EXPECT_EQ(out.CountOf(kSkinAutomationFrame), 40);
    EXPECT_EQ(out.CountOf(kSkinButtons), 30);
    EXPECT_EQ(out.CountOf(kSkinKnobBipolar), 10);  // target 0 is a tune
    std::vector<int> cover(kAutomationClientWidth * kAutomationClientHeight, 0);
    for (const auto& c : out.copies) {
        if (c.bitmap == kSkinAutomationFrame) {
            EXPECT_EQ(c.sx, c.x);  // the frame comes from the same place
            EXPECT_EQ(c.sy, c.y);
        }
        for (int y = c.y; y < c.y + c.h; ++y)
            for (int x = c.x; x < c.x + c.w; ++x) ++cover[size_t(y * kAutomationClientWidth + x)];
    }
    for (int i = 0; i < kAutomationClientWidth * kAutomationClientHeight; ++i)
        ASSERT_EQ(cover[size_t(i)], 1) << "pixel " << i % kAutomationClientWidth << ", " << i / kAutomationClientWidth;
}

TEST_F(ToolWindowsTest, ATickRedrawsOnlyWhatChanged) {
    CopyLog idle;
    UpdateAutomationKnobs(idle);
    EXPECT_TRUE(idle.copies.empty());

    g_knobEnabled[3] = 1;
    g_knobParam[5] = kModOsc2Volume;  // style 3, strip 200
    g_tweakLaneData[5][0] = 60;
    g_setPressed[7] = 1;
    CopyLog out;
    UpdateAutomationKnobs(out);
    ASSERT_EQ(out.copies.size(), 3u);
    const auto& use = out.copies[0];
    EXPECT_EQ(std::vector<int>({use.bitmap, use.x, use.y, use.w, use.h, use.sx, use.sy}),
              std::vector<int>({kSkinButtons, 17 + 90, 26, 22, 11, 552, 13}));
    const auto& set = out.copies[1];
    EXPECT_EQ(std::vector<int>({set.bitmap, set.x, set.y, set.sx, set.sy}),
              std::vector<int>({kSkinButtons, 17 + 210, 86, 506, 13}));
    const auto& knob = out.copies[2];
    EXPECT_EQ(std::vector<int>({knob.bitmap, knob.x, knob.y, knob.w, knob.h, knob.sx, knob.sy}),
              std::vector<int>({kSkinKnobLevel, 13 + 150, 45, 30, 29, 0, 30 * 20}));
    g_setPressed[7] = 0;
}

TEST_F(ToolWindowsTest, KnobStylesFollowTheTargets) {
    const int strips[] = {kSkinKnob, kSkinKnobBipolar, kSkinKnobModulation, kSkinKnobLevel};
    const std::vector<int> byStyle[4] = {{1, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 22, 23, 24, 25, 26},
                                         {0, 3, 6},
                                         {2, 4, 14, 20, 21, 27, 28, 29},
                                         {5, 7, 30}};
    for (int style = 0; style < 4; ++style)
        for (int target : byStyle[style]) {
            EXPECT_EQ(g_knobStyle[target], style) << target;
            g_knobParam[0] = uint32_t(target);
            g_knobDrawnValue[0] = 255;
            CopyLog out;
            UpdateAutomationKnobs(out);
            ASSERT_EQ(out.copies.size(), 1u);
            EXPECT_EQ(out.copies[0].bitmap, strips[style]) << target;
        }
}

TEST_F(ToolWindowsTest, ValueTexts) {
    struct Case {
        int style;
        uint32_t v;
        const char* text;
    };
    for (const Case& c : {Case{1, 0, "-100%"}, {1, 39, "-2%"}, {1, 40, "0%"}, {1, 41, "2%"}, {1, 1, "-97%"},
                          {1, 80, "100%"}, {0, 80, "100%"}, {2, 80, "100%"}, {3, 80, "100%"}, {0, 0, "0%"},
                          {0, 1, "1%"}, {0, 3, "3%"}, {0, 41, "51%"}})
        EXPECT_EQ(AutomationValueText(c.style, c.v), c.text) << c.style << " " << c.v;
}

TEST_F(ToolWindowsTest, PlayedAndEditPositions) {
    struct Case {
        uint32_t s, r;
        int32_t p, played;
    };
    // The step the engine played last: 2r on the row's tick (after which the
    // row counter has advanced), 2r + 1 on the half tick.
    for (const Case& c : {Case{0, 0, 1, 0}, {0, 1, 1, 0}, {0, 1, 0, 1}, {3, 5, 1, 768 + 8}, {3, 5, 0, 768 + 9},
                          {2, 128, 0, 512 + 255}}) {
        g_trackSongPos[0] = c.s;
        g_trackRow[0] = c.r;
        g_voiceState[0].tickParity = c.p;
        EXPECT_EQ(PlayedLanePos(), c.played) << c.s << " " << c.r << " " << c.p;
    }
    g_orderTop = 10;
    g_orderCursor = 2;
    g_editStep = 7;
    EXPECT_EQ(EditLanePos(), 12 * 256 + 14);
    g_songPlaying = 0;
    EXPECT_EQ(ShownLanePos(), 12 * 256 + 14);
    g_songPlaying = 1;
    EXPECT_EQ(ShownLanePos(), PlayedLanePos());
}

TEST_F(ToolWindowsTest, PositionBeyondTheLanesShowsZero) {
    // The last byte of position 198 must not be read for position 199.
    for (int k = 0; k < kAutomationKnobs; ++k) g_tweakLaneData[k][kLaneBytes - 1] = 70;
    g_orderTop = 190;
    g_orderCursor = 9;
    g_editStep = 0;
    CopyLog out;
    UpdateAutomationKnobs(out);
    for (int k = 0; k < kAutomationKnobs; ++k) EXPECT_EQ(g_knobShownValue[k], 0) << k;
    EXPECT_TRUE(out.copies.empty());
    g_orderCursor = 8;
    g_editStep = 127;
    UpdateAutomationKnobs(out);
    EXPECT_EQ(g_knobShownValue[0], 0);  // step 254
    g_tweakLaneData[0][kLaneBytes - 2] = 33;
    UpdateAutomationKnobs(out);
    EXPECT_EQ(g_knobShownValue[0], 33);
}

TEST_F(ToolWindowsTest, TheDraggedKnobShowsTheDragValue) {
    g_tweakLaneData[2][0] = 10;
    g_dragKnob.value = 44;
    g_dragKnob.index = 2;
    g_dragKnob.dragging = 1;
    CopyLog out;
    UpdateAutomationKnobs(out);
    EXPECT_EQ(g_knobShownValue[2], 44);
    g_dragKnob.dragging = 0;
    UpdateAutomationKnobs(out);
    EXPECT_EQ(g_knobShownValue[2], 10);
}

// ---------------------------------------------------------------- oscilloscope

class ScopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(g_scopeRing, 0, sizeof g_scopeRing);
        g_scopeReadPos = 0;
        g_audioRunning = 1;
    }
    void TearDown() override { g_audioRunning = 0; }
    static uint32_t Frame(int16_t left, int16_t right) { return uint16_t(left) | uint32_t(uint16_t(right)) << 16; }
    static void Fill(uint32_t word) {
        for (auto& w : g_scopeRing) w = word;
    }
    static bool Bit(const uint8_t* bits, int x, int row) { return (bits[row * 16 + x / 8] & (0x80 >> (x % 8))) != 0; }
    // A point in row, with the dotted zero line (even columns) under it.
    static std::vector<int> Point(int row, int x) {
        if (x % 2 != 0 || row == 32) return {row};
        return row < 32 ? std::vector<int>{row, 32} : std::vector<int>{32, row};
    }
    // The rows with a set bit in column x.
    static std::vector<int> RowsAt(const uint8_t* bits, int x) {
        std::vector<int> rows;
        for (int r = 0; r < 64; ++r)
            if (Bit(bits, x, r)) rows.push_back(r);
        return rows;
    }
};

TEST_F(ScopeTest, RowTable) {
    for (int level = 0; level < 128; ++level) {
        const int expected = (level >= 63 && level <= 66) ? 32 : level / 2;
        EXPECT_EQ(g_scopeRowTable[size_t(level)], expected) << level;
    }
}

TEST_F(ScopeTest, LevelsLandOnTheirRows) {
    struct Case {
        int16_t sample;
        int row;
    };
    for (const Case& c : {Case{0, 32}, {-32768, 0}, {32767, 63}, {-512, 32}, {1535, 32}, {-513, 31}, {1536, 33},
                          {-32767 + 511, 0}}) {
        Fill(Frame(c.sample, int16_t(-c.sample - 1)));
        g_scopeReadPos = 0;
        RenderScopeTraces();
        const int rightRow = g_scopeRowTable[size_t((uint32_t(uint16_t(int16_t(-c.sample - 1))) + 32768) % 65536 >> 9)];
        for (int x = 0; x < kScopeTraceWidth; ++x) {
            ASSERT_EQ(RowsAt(g_scopeBitsLeft, x), Point(c.row, x)) << c.sample << " column " << x;
            ASSERT_EQ(RowsAt(g_scopeBitsRight, x), Point(rightRow, x)) << c.sample << " column " << x;
        }
        for (int x = kScopeTraceWidth; x < 128; ++x) ASSERT_TRUE(RowsAt(g_scopeBitsLeft, x).empty());
    }
}

TEST_F(ScopeTest, SilenceIsASolidZeroLine) {
    Fill(0);
    RenderScopeTraces();
    for (int i = 0; i < 13; ++i) EXPECT_EQ(g_scopeBitsLeft[32 * 16 + i], 0xFF);
    EXPECT_EQ(g_scopeBitsLeft[32 * 16 + 13], 0);
    for (int i = 0; i < kScopeBitsBytes; ++i) {
        if (i / 16 == 32) continue;
        ASSERT_EQ(g_scopeBitsLeft[i] | g_scopeBitsRight[i], 0) << i;
    }
}

TEST_F(ScopeTest, ClosedDeviceShowsTheDottedLineAndKeepsThePosition) {
    Fill(Frame(-32768, 32767));
    g_audioRunning = 0;
    g_scopeReadPos = 4000;
    RenderScopeTraces();
    for (const uint8_t* bits : {g_scopeBitsLeft, g_scopeBitsRight})
        for (int i = 0; i < kScopeBitsBytes; ++i)
            ASSERT_EQ(bits[i], (i >= 32 * 16 && i < 32 * 16 + 13) ? 0xAA : 0) << i;
    EXPECT_EQ(g_scopeReadPos, 4000u);
}

TEST_F(ScopeTest, TicksWithoutANewBlockShowConsecutiveStretches) {
    // Frame f's left level is f mod 128, its right level 127 - that.
    for (uint32_t f = 0; f < kScopeRingBytes / 4; ++f) {
        const uint32_t level = f % 128;
        g_scopeRing[f] = Frame(int16_t(int32_t(level << 9) - 32768), int16_t(int32_t((127 - level) << 9) - 32768));
    }
    for (int tick = 0; tick < 2; ++tick) {
        RenderScopeTraces();
        for (int x = 0; x < kScopeTraceWidth; ++x) {
            const uint32_t frame = uint32_t(tick * 624 + 6 * x);
            ASSERT_EQ(RowsAt(g_scopeBitsLeft, x), Point(g_scopeRowTable[frame % 128], x)) << tick << " " << x;
            ASSERT_EQ(RowsAt(g_scopeBitsRight, x), Point(g_scopeRowTable[127 - frame % 128], x));
        }
    }
    EXPECT_EQ(g_scopeReadPos, 2u * 624 * 4);
    // At the end of the ring the position wraps to its start, a multiple of 4.
    g_scopeReadPos = kScopeRingBytes - 24;
    RenderScopeTraces();
    EXPECT_EQ(g_scopeReadPos, 104u * 24 - 24);
    EXPECT_EQ(RowsAt(g_scopeBitsLeft, 1), Point(g_scopeRowTable[0], 1));
}

TEST_F(ScopeTest, ATickCopiesOnlyTheTracesAndAllocatesNothing) {
    CopyLog frame;
    PaintScopeFrame(frame);
    ASSERT_EQ(frame.copies.size(), 5u);
    int area = 0;
    for (const auto& c : frame.copies) {
        EXPECT_EQ(c.bitmap, kSkinScopeFrame);
        area += c.w * c.h;
    }
    EXPECT_EQ(area, kScopeClientWidth * kScopeClientHeight - 2 * kScopeTraceWidth * kScopeBitmapHeight);

    CBitmap left, window;
    ASSERT_TRUE(left.CreateBitmap(kScopeBitmapWidth, kScopeBitmapHeight, 1, 1, g_scopeBitsLeft));
    ASSERT_TRUE(window.CreateBitmap(kScopeClientWidth, kScopeClientHeight));
    CDC dst, src;
    dst.CreateCompatibleDC(nullptr);
    src.CreateCompatibleDC(nullptr);
    dst.SelectObject(&window);
    src.SelectObject(&left);
    CopyLog traces;
    traces.copies.reserve(4);
    Fill(Frame(-32768, 0));
    const long before = AllocationCount();
    RenderScopeTraces();
    left.SetBitmapBits(kScopeBitsBytes, g_scopeBitsLeft);
    dst.BitBlt(kScopeLeftX, kScopeTraceY, kScopeTraceWidth, kScopeBitmapHeight, &src, 0, 0, SRCCOPY);
    PaintScopeTraces(traces);
    EXPECT_EQ(AllocationCount(), before);
    ASSERT_EQ(traces.copies.size(), 2u);
    EXPECT_EQ(traces.copies[0].bitmap, kScopeTraceLeft);
    EXPECT_EQ(traces.copies[0].x, kScopeLeftX);
    EXPECT_EQ(traces.copies[1].bitmap, kScopeTraceRight);
    EXPECT_EQ(traces.copies[1].x, kScopeRightX);
    // Set bits take the background colour (white), clear ones the text colour.
    EXPECT_EQ(window.GetPixelRgb(kScopeLeftX, kScopeTraceY), 0xFFFFFFu);
    EXPECT_EQ(window.GetPixelRgb(kScopeLeftX, kScopeTraceY + 1), 0u);
}

// ---------------------------------------------------------------- small dialogs

TEST(EffectsRows, SlidersOfEachUnitsTypes) {
    struct Case {
        int unit;
        int32_t type;
        int slider;
        const char* format;
        int32_t min, max;
    };
    for (const Case& c : {Case{0, 0, 0, "not used", 0, 0}, {0, 1, 0, "Delay %lu step(s)", 1, 16},
                          {0, 4, 1, "Feedback %lu%%", 0, 90}, {0, 2, 2, "not used", 0, 0},
                          {0, 5, 0, "Phasing speed", 10, 180}, {0, 8, 0, "Flanging speed", 10, 100},
                          {0, 11, 2, "Rate", 1, 100}, {0, 12, 1, "not used", 0, 0}, {0, 13, 0, "", 0, 0},
                          {0, 16, 0, "", 0, 0}, {0, -1, 0, "", 0, 0}, {1, 5, 2, "Feedback %lu%%", 0, 90},
                          {1, 7, 0, "Delay %lums", 10, 40}, {1, 8, 0, "", 0, 0}, {2, 5, 0, "Pre delay", 10, 92},
                          {2, 6, 0, "Pre delay", 5, 92}, {2, 6, 1, "Rev time", 0, 256}, {2, 7, 2, "not used", 0, 0},
                          {2, 9, 0, "", 0, 0}}) {
        const FxSliderRow row = FxSliderFor(c.unit, c.type, c.slider);
        EXPECT_STREQ(row.format, c.format) << c.unit << " " << c.type << " " << c.slider;
        EXPECT_EQ(row.min, c.min);
        EXPECT_EQ(row.max, c.max);
    }
}

TEST(EffectsRows, Captions) {
    EXPECT_EQ(FormatFxCaption("Delay %lu step(s)", 3), "Delay 3 step(s)");
    EXPECT_EQ(FormatFxCaption("Feedback %lu%%", 45), "Feedback 45%");
    EXPECT_EQ(FormatFxCaption("Delay %lums", 20), "Delay 20ms");
    EXPECT_EQ(FormatFxCaption("Phasing speed", 99), "Phasing speed");
    EXPECT_EQ(FormatFxCaption("", 7), "");
}

TEST(SmallDialogs, SoundListTextsAndNameCharacters) {
    g_soundNames[1] = "NOT USED";
    g_soundNames[10] = "BASS";
    EXPECT_EQ(KnobTargetSoundText(1), "01 - NOT USED");
    EXPECT_EQ(KnobTargetSoundText(10), "10 - BASS");
    EXPECT_EQ(SoundNameAllowedPrefix("BASS-2"), "BASS");
    EXPECT_EQ(SoundNameAllowedPrefix("-LEAD"), "");
    EXPECT_EQ(SoundNameAllowedPrefix(" PAD 2 "), " PAD 2 ");
    EXPECT_EQ(SoundNameAllowedPrefix("Bass"), "B");
    EXPECT_EQ(SoundNameAllowedPrefix(""), "");
}

}  // namespace
