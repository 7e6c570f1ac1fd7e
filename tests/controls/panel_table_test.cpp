// The two control tables: each row edits the word its printed name says, and a
// press at each row's centre acts on it, in all three layouts.
#include <tuple>

#include "shared/sound_bank.h"
#include "tests/controls/panel_fixture.h"

namespace {

// The synthesizer rows as printed: kind, the parameter in the numbering that
// runs backwards from the bank's last parameter (60 - SoundParam), and the
// index among the controllable knobs (-1: none).
struct PrintedRow {
    int kind, bank, map;
};
constexpr PrintedRow kPrinted[kPanelControlRows] = {
    {1, 59, 1},  {1, 53, 7},  {1, 52, 8},  {1, 44, 16}, {1, 43, 17}, {2, 47, 13}, {2, 42, 18}, {2, 57, 4},
    {2, 50, 10}, {2, 32, 26}, {2, 21, 37}, {2, 22, 38}, {2, 12, 47}, {2, 11, 48}, {2, 10, 49}, {2, 7, 51},
    {2, 58, 3},  {2, 40, 19}, {2, 39, 20}, {2, 38, 21}, {2, 37, 22}, {2, 36, 23}, {2, 33, 25}, {2, 31, 29},
    {2, 30, 30}, {2, 29, 31}, {2, 28, 32}, {2, 27, 33}, {2, 19, 41}, {2, 18, 42}, {2, 17, 43}, {2, 16, 44},
    {2, 15, 45}, {2, 13, 46}, {3, 60, 0},  {3, 54, 6},  {3, 45, 15}, {4, 34, 27}, {3, 24, 35}, {3, 23, 36},
    {3, 14, 40}, {5, 56, 2},  {5, 51, 9},  {5, 49, 11}, {5, 48, 12}, {2, 9, 50},  {5, 8, -1},  {5, 55, 5},
    {5, 46, 14}, {5, -1, -1}, {5, 35, 24}, {5, 25, 34}, {5, 20, 39}, {6, 6, -1},  {7, 6, -1},  {6, -1, -1},
    {7, -1, -1}, {5, 26, 28}, {6, -1, -1}, {7, -1, -1}, {8, -1, -1}, {0, -1, -1}, {0, -1, -1}, {9, -1, -1},
};

TEST(PanelTables, SynthesizerRowsEditThePrintedParameters) {
    for (int row = 0; row < kPanelControlRows; ++row) {
        SCOPED_TRACE(row);
        const PanelControl& c = g_panelControls[size_t(row)];
        EXPECT_EQ(c.kind, kPrinted[row].kind);
        if (kPrinted[row].bank >= 0) {
            EXPECT_EQ(c.target, &g_liveKnobs[60 - kPrinted[row].bank]);
        }
        if (kPrinted[row].map >= 0) {
            EXPECT_EQ(c.target, g_paramValuePtrs[kPrinted[row].map].Address());
        }
        EXPECT_LE(c.left, c.right);
        EXPECT_LE(c.top, c.bottom);
    }
    // The rows that are not sound parameters.
    EXPECT_EQ(g_panelControls[55].target, &g_curSound);
    EXPECT_EQ(g_panelControls[56].target, &g_curSound);
    EXPECT_EQ(g_panelControls[58].target, &g_tempoDisplay);
    EXPECT_EQ(g_panelControls[59].target, &g_tempoDisplay);
    EXPECT_EQ(g_panelControls[60].target, &g_storeButtonState);
    EXPECT_EQ(g_panelControls[61].target, &g_playFlag);
    EXPECT_EQ(g_panelControls[62].target, &g_stopButtonState);
    EXPECT_EQ(g_panelControls[49].target, nullptr);
    EXPECT_EQ(g_panelControls[63].target, nullptr);
    // Row 0 by name, and every controllable sound knob has exactly one row.
    EXPECT_EQ(g_panelControls[0].target, &g_liveKnobs[kParamOsc1Tune]);
    for (int map = 0; map < kSoundControllers; ++map) {
        int rows = 0;
        for (const auto& c : g_panelControls) rows += c.target == g_paramValuePtrs[map].Address();
        EXPECT_EQ(rows, 1) << "controller " << map;
    }
}

TEST(PanelTables, MixerRowsFollowTheBusPitch) {
    for (int c = 0; c < kBuses; ++c) {
        SCOPED_TRACE(c);
        const auto row = [](int i) { return g_mixerControls[size_t(i)]; };
        EXPECT_EQ(std::make_tuple(row(c).left, row(c).top, row(c).right, row(c).bottom),
                  std::make_tuple(130 + 60 * c, 351, 144 + 60 * c, 366));
        EXPECT_EQ(row(c).target, g_paramValuePtrs[61 + c].Address());
        EXPECT_EQ(std::make_tuple(row(8 + c).left, row(8 + c).top, row(8 + c).right, row(8 + c).bottom),
                  std::make_tuple(129 + 60 * c, 380, 144 + 60 * c, 395));
        EXPECT_EQ(row(8 + c).target, g_paramValuePtrs[69 + c].Address());
        EXPECT_EQ(std::make_tuple(row(16 + c).left, row(16 + c).top, row(16 + c).right, row(16 + c).bottom),
                  std::make_tuple(129 + 60 * c, 402, 144 + 60 * c, 417));
        EXPECT_EQ(row(16 + c).target, g_paramValuePtrs[77 + c].Address());
        EXPECT_EQ(std::make_tuple(row(24 + c).left, row(24 + c).top, row(24 + c).right, row(24 + c).bottom),
                  std::make_tuple(109 + 60 * c, 348, 121 + 60 * c, 427));
        EXPECT_EQ(row(24 + c).target, g_paramValuePtrs[52 + c].Address());
        EXPECT_EQ(std::make_tuple(row(33 + c).left, row(33 + c).top, row(33 + c).right, row(33 + c).bottom),
                  std::make_tuple(105 + 60 * c, 337, 159 + 60 * c, 344));
        EXPECT_EQ(row(33 + c).target, &g_volumeOverrides.bus[c]);
        EXPECT_EQ(row(c).kind, kCtlPanKnob);
        EXPECT_EQ(row(8 + c).kind, kCtlSendKnob);
        EXPECT_EQ(row(16 + c).kind, kCtlSendKnob);
        EXPECT_EQ(row(24 + c).kind, kCtlFader);
        EXPECT_EQ(row(33 + c).kind, kCtlMixerToggle);
    }
    EXPECT_EQ(g_mixerControls[32].target, g_paramValuePtrs[60].Address());
    EXPECT_EQ(g_mixerControls[32].left, 600);
    EXPECT_EQ(g_mixerControls[41].target, &g_volumeOverrides.master);
    EXPECT_EQ(g_mixerControls[41].right, 626);
    EXPECT_EQ(g_mixerControls[42].target, &g_songMode);
    EXPECT_EQ(g_mixerControls[42].left, 38);
    EXPECT_EQ(g_mixerControls[43].target, &g_patternCue);
    EXPECT_EQ(g_mixerControls[43].right, 94);
}

class CentrePressTest : public PanelTest, public ::testing::WithParamInterface<Layout> {};

// Every synthesizer row pressed at its centre: the word it names changes the
// way its kind says.
TEST_P(CentrePressTest, EverySynthesizerRowActs) {
    UseLayout(GetParam());
    const bool module = GetParam() == Layout::kSoundModule;
    for (int row = 0; row < kPanelControlRows; ++row) {
        SCOPED_TRACE(row);
        ResetSoundBank();
        const PanelControl& c = g_panelControls[size_t(row)];
        g_liveKnobs[kParamOsc2On] = 1;
        g_curSound = 50;
        g_tempoDisplay = 120;
        g_playFlag = 0;
        g_engineReset = 0;
        g_keepSoundEdits = 0;
        view.calls.clear();
        // A start value the press must change.
        if (c.kind == kCtlToggle && c.target) WriteActiveValue(c.target, 0);
        if (c.kind == kCtlSelector || c.kind == kCtlSelector5) WriteActiveValue(c.target, 5);
        if (c.kind == kCtlKnob) WriteActiveValue(c.target, 20);
        if (c.kind == kCtlBipolarKnob) WriteActiveValue(c.target, -7);
        if (c.target == &g_liveKnobs[kParamChannel]) WriteActiveValue(c.target, 4);
        const int32_t before = ReadActiveValue(c.target);
        Press(SynthCentre(row));
        EXPECT_TRUE(view.captured);
        EXPECT_EQ(g_activeValuePtr.load(), c.target);
        switch (c.kind) {
        case kCtlBipolarKnob:
        case kCtlKnob:
            Move({SynthCentre(row).x, SynthCentre(row).y - 3});
            EXPECT_EQ(ReadActiveValue(c.target), before + 3);
            break;
        case kCtlSelector:
        case kCtlSelector5:
            // The centre lies in the second cell of the top row except on the
            // two narrow LFO displays, where it is the first.
            EXPECT_EQ(ReadActiveValue(c.target), row == 38 || row == 39 ? 1 : 3);
            EXPECT_TRUE(view.Called("panel"));
            break;
        case kCtlToggle:
            if (c.target) {
                EXPECT_EQ(ReadActiveValue(c.target), 1);
            }
            break;
        case kCtlStepUp: EXPECT_EQ(ReadActiveValue(c.target), before + 1); break;
        case kCtlStepDown: EXPECT_EQ(ReadActiveValue(c.target), before - 1); break;
        case kCtlStore: EXPECT_EQ(g_keepSoundEdits, 1); break;
        case kCtlSoundName: EXPECT_TRUE(view.Called("sound name")); break;
        case kCtlTransport:
            EXPECT_EQ(g_engineReset.load(), module ? 0 : row == 61 ? kResetStart : kResetStop);
            EXPECT_EQ(g_playFlag.load(), module || row == 62 ? 0u : 1u);
            break;
        default: ADD_FAILURE();
        }
        Release();
        EXPECT_FALSE(view.captured);
        EXPECT_EQ(g_activeValuePtr.load(), nullptr);
    }
}

TEST_P(CentrePressTest, EveryMixerRowActs) {
    UseLayout(GetParam());
    for (int row = 0; row < kMixerControlRows; ++row) {
        SCOPED_TRACE(row);
        const PanelControl& c = g_mixerControls[size_t(row)];
        WriteActiveValue(c.target, c.kind == kCtlPanKnob ? -5 : c.kind == kCtlMixerToggle ? 0 : 10);
        view.calls.clear();
        Press(MixerCentre(row));
        EXPECT_EQ(g_activeValuePtr.load(), c.target);
        switch (c.kind) {
        case kCtlPanKnob:
        case kCtlSendKnob: {
            const CPoint p = MixerCentre(row);
            Move({p.x + 9, p.y - 4});
            EXPECT_EQ(ReadActiveValue(c.target), c.kind == kCtlPanKnob ? -1 : 14);
            break;
        }
        case kCtlFader:
            // The centre is above the handle of a fader at 10: one step up.
            EXPECT_EQ(ReadActiveValue(c.target), 11);
            break;
        case kCtlMixerToggle:
            EXPECT_EQ(ReadActiveValue(c.target), 1);
            EXPECT_TRUE(view.Called("topbar"));
            break;
        default: ADD_FAILURE();
        }
        Release();
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, CentrePressTest,
                         ::testing::Values(Layout::kNormal, Layout::kLarge, Layout::kSoundModule),
                         [](const auto& info) {
                             return std::string(info.param == Layout::kNormal  ? "Normal"
                                                : info.param == Layout::kLarge ? "Large"
                                                                               : "SoundModule");
                         });

}  // namespace
