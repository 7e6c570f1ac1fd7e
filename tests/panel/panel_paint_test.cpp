// Panel painting without a display: the panel is drawn into an off-screen
// view picture from the real skin bitmaps, and regions are compared against
// the sprite frames the values call for.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/sound_bank_ops.h"
#include "res/bmp.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/mixer.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "tools/skin_gen/image_io.h"
#include "ui/panel_paint.h"
#include "tests/panel/skin_cache.h"
#include "ui/panel_state.h"

namespace {

// The view's picture: 632 x 492 pixels, copies clipped to the source bitmap
// and to the picture; every copy is also recorded.
class ViewPicture : public SkinBlitter {
public:
    static constexpr int kW = 632, kH = 492;
    struct Copy {
        int bitmap, x, y, w, h, sx, sy;
    };
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(kW * kH, 0);
    std::vector<Copy> copies;

    void Blit(int bitmap, int x, int y, int w, int h, int sx, int sy) override {
        copies.push_back({bitmap, x, y, w, h, sx, sy});
        const DecodedBitmap& b = Skin(bitmap);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                int srcX = sx + i, srcY = sy + j, dx = x + i, dy = y + j;
                if (srcX < 0 || srcY < 0 || srcX >= b.width || srcY >= b.height) continue;
                if (dx < 0 || dy < 0 || dx >= kW || dy >= kH) continue;
                px[std::size_t(dy * kW + dx)] = b.At(srcX, srcY);
            }
    }
    std::uint32_t At(int x, int y) const { return px[std::size_t(y * kW + x)]; }
    // True when the w x h region at (x, y) shows bitmap's (sx, sy) region.
    bool Shows(int x, int y, int w, int h, int bitmap, int sx, int sy) const {
        const DecodedBitmap& b = Skin(bitmap);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (At(x + i, y + j) != b.At(sx + i, sy + j)) return false;
        return true;
    }
    void SavePng(const std::string& path, int w, int h) const {
        skin::Image img(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) img.Set(x, y, At(x, y));
        skin::WriteFile(path, skin::EncodePng(img));
    }
};

const PanelGeometry kNormal{12, 27, 0, 336, false};
const PanelGeometry kLarge{12, 27, 0, 368, false};
const PanelGeometry kModule{8, 27, 56, 185, true};

class PanelPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSoundBank();
        g_tempoDisplay = 120;
        g_tempo = 120;
        g_stepsPerBeat = 4;
        g_songPlaying = 0;
        g_orderTop = 0;
        g_orderCursor = 0;
        g_editStep = 0;
        g_playFlag = 0;
        g_songMode = 1;
        g_patternCue = 0;
        g_automationOn = 0;
        for (int b = 0; b < 8; ++b) {
            g_mixerSettings.volume[b] = 40;
            g_mixerSettings.pan[b] = 0;
            g_mixerSettings.send1[b] = 0;
            g_mixerSettings.send2[b] = 0;
            g_volumeOverrides.bus[b] = 0;
        }
        g_mixerSettings.master = 50;
        g_volumeOverrides.master = 0;
        for (auto& m : g_meterLevels) m = 0;
        for (auto& b : g_topBarButtons) b = 0;
        g_stopButtonState = g_tempoButtonState = g_channelButtonState = g_soundButtonState = g_storeButtonState = 0;
        g_midiActivity = g_midiOutActivity = 0;
        for (auto& k : g_panelCache) k = 0;
        g_shownSoundName.clear();
        for (auto& k : g_shownTopBarButtons) k = 0;
        for (auto& k : g_shownChannelButtons) k = 0;
        g_shownPlayFlag = g_shownStopButton = g_shownSongMode = g_shownPatternCue = 0;
        g_shownMidiActivity = g_shownMidiOutActivity = 0;
    }
    // The view's panel after a full paint and one update (so the kept values
    // match the picture).
    ViewPicture Painted(const PanelGeometry& g = kNormal) {
        ViewPicture v;
        PaintPanelWith(v, g);
        UpdatePanelWith(v, g);
        UpdateTopBarWith(v, g);
        return v;
    }
};

struct KnobCase {
    int param, strip, x, y, value, frame;
};

TEST_F(PanelPaintTest, KnobsShowTheFrameOfTheirValue) {
    const KnobCase cases[] = {
        {kParamAmpAttack, 196, 3, 64, 80, 0},        {kParamAmpAttack, 196, 3, 64, 0, 80},
        {kParamFilterCutoff, 196, 159, 64, 37, 43},  {kParamOsc1Tune, 197, 69, 12, -40, 80},
        {kParamOsc1Tune, 197, 69, 12, 0, 40},        {kParamOsc3FineTune, 197, 541, 12, 40, 0},
        {kParamLfoRate, 198, 572, 64, 12, 68},       {kParamOsc2Volume, 200, 410, 12, 65, 15},
        {kParamDistortion, 200, 409, 116, 1, 79},    {kParamGateTime, 196, 349, 116, 80, 0},
    };
    for (const KnobCase& c : cases) {
        SCOPED_TRACE("param " + std::to_string(c.param) + " value " + std::to_string(c.value));
        g_liveKnobs[c.param] = c.value;
        ViewPicture v;
        PaintPanelWith(v, kNormal);
        EXPECT_TRUE(v.Shows(12 + c.x, 27 + c.y, 30, 30, c.strip, 0, 30 * c.frame));
        // The update draws the same frame after a change.
        g_liveKnobs[c.param] = c.value == 0 ? 1 : c.value - 1;
        UpdatePanelWith(v, kNormal);
        g_liveKnobs[c.param] = c.value;
        UpdatePanelWith(v, kNormal);
        EXPECT_TRUE(v.Shows(12 + c.x, 27 + c.y, 30, 30, c.strip, 0, 30 * c.frame));
    }
}

TEST_F(PanelPaintTest, SelectorsLightTheCellOfTheirValueOnly) {
    struct Case {
        int param, value, x, y, cells;
        std::vector<int> sprites;
    };
    const Case cases[] = {
        {kParamOsc1Wave, 3, 4, 16, 6, {0, 23, 46, 69, 115, 138}},
        {kParamOsc1Wave, 0, 4, 16, 6, {0, 23, 46, 69, 115, 138}},
        {kParamFilterType, 6, 226, 68, 5, {207, 276, 230, 253, 299}},
        {kParamFilterType, 4, 226, 68, 5, {207, 276, 230, 253, 299}},
        {kParamLfoDestination, 1, 453, 68, 4, {345, 368, 322, 391}},
        {kParamUserEnvDestination, 6, 4, 120, 6, {414, 322, 345, 368, 437, 391}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("param " + std::to_string(c.param) + " value " + std::to_string(c.value));
        g_liveKnobs[c.param] = c.value;
        ViewPicture v = Painted();
        for (int cell = 1; cell <= c.cells; ++cell) {
            int x = 12 + c.x + ((cell - 1) / 2) * 21, y = 27 + c.y + ((cell - 1) % 2) * 11;
            // Cells overlap their neighbours by the shared border: compare the inside.
            EXPECT_TRUE(v.Shows(x + 1, y + 1, 20, 10, 199, c.sprites[std::size_t(cell - 1)] + 1,
                                (cell == c.value ? 12 : 0) + 1))
                << "cell " << cell;
        }
    }
}

TEST_F(PanelPaintTest, TogglesLampsAndStepButtonsFollowTheirState) {
    g_liveKnobs[kParamOscSync] = 1;
    g_liveKnobs[kParamFilterOn] = 1;
    g_liveKnobs[kParamLfoOn] = 0;
    ViewPicture v = Painted();
    EXPECT_TRUE(v.Shows(12 + 385, 27 + 16, 22, 12, 199, 184, 12));
    EXPECT_TRUE(v.Shows(12 + 385, 27 + 28, 22, 11, 199, 161, 1));
    EXPECT_TRUE(v.Shows(12 + 436, 27 + 55, 11, 9, 194, 0, 10));
    EXPECT_TRUE(v.Shows(12 + 591, 27 + 55, 11, 9, 194, 0, 0));
    g_soundButtonState = 2;
    g_storeButtonState = 1;
    UpdatePanelWith(v, kNormal);
    EXPECT_TRUE(v.Shows(12 + 576, 27 + 120, 22, 11, 199, 460, 0));
    EXPECT_TRUE(v.Shows(12 + 576, 27 + 131, 22, 12, 199, 483, 12));
    EXPECT_TRUE(v.Shows(12 + 512, 27 + 122, 22, 12, 199, 506, 12));
    g_tempoButtonState = 1;
    UpdatePanelWith(v, kNormal);
    EXPECT_TRUE(v.Shows(160, 4, 11, 8, 208, 250, 36));
    EXPECT_TRUE(v.Shows(160, 13, 11, 8, 208, 262, 27));
}

TEST_F(PanelPaintTest, OscillatorThreeGoesOffWithOscillatorTwo) {
    g_liveKnobs[kParamOsc2On] = 1;
    g_liveKnobs[kParamOsc3On] = 1;
    ViewPicture v = Painted();
    EXPECT_TRUE(v.Shows(12 + 591, 27 + 3, 11, 9, 194, 0, 10));
    g_liveKnobs[kParamOsc2On] = 0;
    UpdatePanelWith(v, kNormal);
    EXPECT_EQ(g_liveKnobs[kParamOsc3On], 0);
    EXPECT_TRUE(v.Shows(12 + 591, 27 + 3, 11, 9, 194, 0, 0));
    EXPECT_TRUE(v.Shows(12 + 429, 27 + 3, 11, 9, 194, 0, 0));
}

TEST_F(PanelPaintTest, TempoReachesTheEngineAtTheNextUpdateOnly) {
    g_tempoDisplay = 95;
    ViewPicture v;
    PaintPanelWith(v, kNormal);
    EXPECT_TRUE(v.Shows(120, 4, 11, 17, 204, 0, 21));
    EXPECT_TRUE(v.Shows(132, 4, 11, 17, 204, 99, 21));
    EXPECT_TRUE(v.Shows(144, 4, 11, 17, 204, 55, 21));
    EXPECT_EQ(g_tempo, 120u);
    UpdatePanelWith(v, kNormal);
    EXPECT_EQ(g_tempo, 95u);
    g_tempoDisplay = 131;
    EXPECT_EQ(g_tempo, 95u);
    UpdatePanelWith(v, kNormal);
    EXPECT_EQ(g_tempo, 131u);
    EXPECT_TRUE(v.Shows(120, 4, 11, 17, 204, 11, 21));
    // A tempo the engine was given elsewhere is not overwritten while the panel's stays.
    g_tempo = 200;
    UpdatePanelWith(v, kNormal);
    EXPECT_EQ(g_tempo, 200u);
}

TEST_F(PanelPaintTest, LiveKnobsGoIntoTheCurrentSoundEveryUpdate) {
    g_curSound = 5;
    LoadSoundToKnobs(5);
    ViewPicture v = Painted();
    g_liveKnobs[kParamAmpDecay] = 33;
    g_liveKnobs[kParamOsc1Tune] = -7;
    UpdatePanelWith(v, kNormal);
    EXPECT_EQ(g_soundBank[kParamAmpDecay][5], 33);
    EXPECT_EQ(g_soundBank[kParamOsc1Tune][5], 33);  // stored with its bias of 40
}

TEST_F(PanelPaintTest, MixerShowsMetersFadersKnobsAndMutes) {
    g_meterLevels[MeterOfBus(0)] = 20;
    g_meterLevels[kMeterMasterLeft] = 7;
    g_mixerSettings.volume[2] = 56;
    g_mixerSettings.volume[3] = 0;
    g_mixerSettings.pan[1] = -20;
    g_mixerSettings.send2[7] = 13;
    g_volumeOverrides.bus[4] = 1;
    ViewPicture v = Painted();
    EXPECT_EQ(g_meterLevels[MeterOfBus(0)], 16);
    const int top = 336 - 2;  // view row of mixer bitmap row 0
    EXPECT_TRUE(v.Shows(150, top + 18, 9, 65, 205, 160, 124));
    EXPECT_TRUE(v.Shows(586, top + 18, 9, 65, 205, 70, 124));
    EXPECT_TRUE(v.Shows(617, top + 18, 9, 65, 205, 0, 124));
    EXPECT_TRUE(v.Shows(229, 336 + 12, 12, 23, 205, 0, 100));       // volume 56: cap at the top
    EXPECT_TRUE(v.Shows(229, 336 + 35, 12, 56, 205, 109, 37));      // and the track below it
    EXPECT_TRUE(v.Shows(289, 336 + 68, 12, 23, 205, 0, 100));       // volume 0: cap at the bottom
    EXPECT_TRUE(v.Shows(185, 336 + 10, 24, 22, 206, 0, 24 * 40 + 1));
    EXPECT_TRUE(v.Shows(545, 336 + 61, 24, 22, 207, 0, 24 * 27 + 1));
    EXPECT_TRUE(v.Shows(343, 336, 60, 10, 205, 253, 111));          // bus 4 muted: red row
    EXPECT_TRUE(v.Shows(283, 336, 60, 10, 205, 193, 100));
}

TEST_F(PanelPaintTest, SoundNameIsDrawnRightAlignedFromItsCharacterWidths) {
    g_curSoundName = "PAD 2";
    ViewPicture v = Painted();
    const int x0 = 12, y = 27 + 108;
    EXPECT_TRUE(v.Shows(x0 + 594, y, 7, 8, 214, 208 + 16, 0));
    EXPECT_TRUE(v.Shows(x0 + 590, y, 4, 8, 214, 288, 0));
    EXPECT_TRUE(v.Shows(x0 + 583, y, 7, 8, 214, 24, 0));
    EXPECT_TRUE(v.Shows(x0 + 576, y, 7, 8, 214, 0, 0));
    EXPECT_TRUE(v.Shows(x0 + 569, y, 7, 8, 214, 120, 0));
    EXPECT_TRUE(v.Shows(x0 + 377, y, 192, 8, 214, 288, 0));
    // A shorter name leaves nothing of the longer one.
    g_curSoundName = "X";
    g_panelCache[kCacheSoundNumber] = 255;
    UpdatePanelWith(v, kNormal);
    EXPECT_TRUE(v.Shows(x0 + 594, y, 7, 8, 214, 23 * 8, 0));
    EXPECT_TRUE(v.Shows(x0 + 377, y, 217, 8, 214, 288, 0));
}

// The name is kept as drawn text: a new name under the same sound number is
// drawn at the next update, and an unchanged one is not drawn again.
TEST_F(PanelPaintTest, ANewNameUnderTheSameSoundNumberIsDrawnAtTheNextUpdate) {
    g_curSoundName = "LEAD";
    ViewPicture v = Painted();
    const int x0 = 12, y = 27 + 108;
    g_curSoundName = "PAD 2";
    v.copies.clear();
    UpdatePanelWith(v, kNormal);
    EXPECT_TRUE(v.Shows(x0 + 594, y, 7, 8, 214, 208 + 16, 0));  // the 2
    EXPECT_TRUE(v.Shows(x0 + 569, y, 7, 8, 214, 120, 0));       // the P
    EXPECT_TRUE(v.Shows(x0 + 377, y, 192, 8, 214, 288, 0));
    for (const auto& c : v.copies) EXPECT_EQ(c.bitmap, kSkinNameFont) << "only the name was drawn";
    v.copies.clear();
    UpdatePanelWith(v, kNormal);
    EXPECT_TRUE(v.copies.empty());
}

TEST_F(PanelPaintTest, SongPositionRowAndBeatMark) {
    g_orderTop = 3;
    g_orderCursor = 4;
    g_editStep = 12;
    ViewPicture v = Painted();
    EXPECT_TRUE(v.Shows(493, 4, 11, 17, 204, 0, 21));   // position 007
    EXPECT_TRUE(v.Shows(505, 4, 11, 17, 204, 77, 21));
    EXPECT_TRUE(v.Shows(533, 4, 11, 17, 204, 11, 21));  // row 012
    EXPECT_TRUE(v.Shows(545, 4, 11, 17, 204, 22, 21));
    EXPECT_TRUE(v.Shows(516, 4, 5, 17, 204, 111, 21));  // 12 mod 4 = 0: the mark
    // Playing with the first track's row counter still 0: no row digits, the blank.
    g_songPlaying = 1;
    g_trackRow[0] = 0;
    g_trackSongPos[0] = 9;
    ViewPicture p;
    PaintPanelWith(p, kNormal);
    EXPECT_TRUE(p.Shows(505, 4, 11, 17, 204, 99, 21));
    EXPECT_TRUE(p.Shows(521, 4, 35, 17, 208, 521, 4));  // the top bar as it was
    EXPECT_TRUE(p.Shows(516, 4, 5, 17, 204, 116, 21));
    g_songPlaying = 0;
}

TEST_F(PanelPaintTest, UpdateRedrawsOnlyWhatChanged) {
    ViewPicture v = Painted();
    v.copies.clear();
    UpdatePanelWith(v, kNormal);
    UpdateTopBarWith(v, kNormal);
    EXPECT_TRUE(v.copies.empty());
    g_liveKnobs[kParamLfoDepth] = 50;
    UpdatePanelWith(v, kNormal);
    ASSERT_EQ(v.copies.size(), 1u);
    EXPECT_EQ(v.copies[0].bitmap, 198);
    EXPECT_EQ(v.copies[0].x, 12 + 542);
    v.copies.clear();
    g_mixerSettings.pan[3] = 5;
    g_meterLevels[MeterOfBus(6)] = 9;
    UpdatePanelWith(v, kNormal);
    EXPECT_EQ(v.copies.size(), 2u);
    v.copies.clear();
    g_midiActivity = 6;
    UpdateTopBarWith(v, kNormal);
    ASSERT_EQ(v.copies.size(), 1u);
    EXPECT_TRUE(v.Shows(560, 0, 55, 12, 208, 560, 28));
    g_midiActivity = 5;  // the counter runs down: redrawn, still lit
    UpdateTopBarWith(v, kNormal);
    EXPECT_EQ(v.copies.size(), 2u);
    g_midiActivity = 0;
    UpdateTopBarWith(v, kNormal);
    EXPECT_TRUE(v.Shows(560, 0, 55, 12, 208, 560, 0));
    v.copies.clear();
    g_playFlag = 1;
    g_automationOn = 1;
    UpdateTopBarWith(v, kNormal);
    EXPECT_EQ(v.copies.size(), 2u);
    EXPECT_TRUE(v.Shows(10, 0, 61, 25, 208, 12, 79));
    EXPECT_TRUE(v.Shows(213 + 23 * 6, 2, 22, 21, 208, 12 + 21 * 6, 124));
    g_playFlag = 0;
}

TEST_F(PanelPaintTest, LayoutsPlaceTheSectionsAndWritePictures) {
    struct Layout {
        const char* name;
        PanelGeometry g;
        int height;
    };
    for (const Layout& l : {Layout{"normal", kNormal, 432}, Layout{"large", kLarge, 492}, Layout{"module", kModule, 305}}) {
        SCOPED_TRACE(l.name);
        g_liveKnobs[kParamOsc2On] = 1;
        g_liveKnobs[kParamFilterCutoff] = 60;
        g_meterLevels[MeterOfBus(2)] = 11;
        g_curSoundName = "WARM PAD 2";
        ViewPicture v = Painted(l.g);
        // Synthesizer section: its plate's top rows at (panelX, panelY).
        EXPECT_TRUE(v.Shows(l.g.panelX, l.g.panelY, 605, 3, 189, 0, 0));
        // Mixer: bitmap row r at lowerPanelY - 2 + r, column c at c - shift.
        EXPECT_TRUE(v.Shows(103 - l.g.mixerShiftX, l.g.lowerPanelY - 2, 527, 2, 205, 103, 0));
        // Top bar: a piece without controls.
        EXPECT_TRUE(v.Shows(175, 0, 30, 27, 208, 175, l.g.soundModule ? 228 : 0));
        if (!l.g.soundModule) {
            EXPECT_TRUE(v.Shows(0, l.g.lowerPanelY - 2, 102, 20, 205, 0, 0));
            EXPECT_TRUE(v.Shows(0, 184, 630, 10, 208, 0, 184));
        } else {
            EXPECT_TRUE(v.Shows(0, 184, 46, 97, 208, 0, 412));
            EXPECT_TRUE(v.Shows(0, 281, 621, 24, 208, 0, 509));
        }
        // The pictures go into the build tree, to be looked at there.
        std::filesystem::create_directories(MC_TEST_OUTPUT_DIR);
        const std::string picture = std::string(MC_TEST_OUTPUT_DIR) + "/panel_" + l.name + ".png";
        std::filesystem::remove(picture);
        v.SavePng(picture, l.g.soundModule ? 621 : 632, l.height);
        EXPECT_TRUE(std::filesystem::exists(picture)) << "the picture belongs in the build tree";
    }
}

}  // namespace
