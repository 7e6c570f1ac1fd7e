// Presses on the panel: the top bar, the overlapping rows, the boundary
// pixels, the pattern grid and the order list, the step buttons with the
// view timer's repeats, and which presses mark the sound and the document.
#include <functional>

#include "data/sound_bank_ops.h"
#include "shared/editor.h"
#include "shared/song.h"
#include "tests/controls/panel_fixture.h"
#include "ui/pattern_undo.h"
#include "ui/select_sample_dlg.h"
#include "ui/sample_organizer_dlg.h"
#include "ui/view_timer.h"

namespace {

// The view timer's view, for repeats: nothing to draw.
struct QuietTimerView final : ViewTimerTarget {
    void ShowPatternGrid() override {}
    void ShowSongOrderList() override {}
    void UpdatePanel() override {}
    void UpdateTopBar() override {}
    void SetDocumentModified(bool modified) override { marks.push_back(modified); }
    std::vector<bool> marks;
};

TEST_F(PanelTest, TopBarButtonsHaveStrictBounds) {
    struct Case {
        int x, y;
        const char* call;  // nullptr: nothing
        int button;
    };
    const Case cases[] = {
        {215, 4, "song info", 0},     {233, 21, "song info", 0}, {214, 12, nullptr, -1}, {234, 12, nullptr, -1},
        {224, 3, nullptr, -1},        {224, 22, nullptr, -1},    {238, 12, "samples", 1}, {261, 12, "splits", 2},
        {284, 12, "effects", 3},      {307, 12, "preferences", 4}, {330, 12, "midi mapper", 5},
        {353, 12, "automation", 6},   {376, 12, "oscilloscope", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        for (auto& b : g_topBarButtons) b = 0;
        view.calls.clear();
        Press({c.x, c.y});
        EXPECT_TRUE(view.captured);
        if (c.call) {
            EXPECT_EQ(view.Count(c.call), 1);
            EXPECT_EQ(g_topBarButtons[c.button], 1);
        } else {
            EXPECT_EQ(view.calls, std::vector<std::string>{"capture"});
        }
        Release();
    }
}

TEST_F(PanelTest, TopBarStopAndTheAutomationButtonPerLayout) {
    g_playFlag = 1;
    g_freeAudioDevWhenStopped = 1;
    Press({399, 12});
    EXPECT_EQ(g_topBarButtons[8], 1);
    EXPECT_EQ(g_engineReset.load(), kResetStop);
    EXPECT_EQ(g_playFlag.load(), 0u);
    EXPECT_EQ(g_masterMute.load(), 1u);
    EXPECT_EQ(g_releaseDevicePending.load(), 1);
    Release();
    EXPECT_EQ(g_topBarButtons[8], 0);

    // Button 6: the automation panel in the normal layouts, knob transmission
    // in the sound-module layout (its state follows the toggle, not the press).
    view.calls.clear();
    Click({353, 12});
    EXPECT_EQ(view.calls, (std::vector<std::string>{"capture", "panel", "automation", "topbar", "release capture",
                                                    "hide tip", "panel", "topbar"}));
    UseLayout(Layout::kSoundModule);
    g_topBarButtons[6] = 0;
    view.calls.clear();
    Press({353, 12});
    EXPECT_EQ(view.calls, (std::vector<std::string>{"capture", "transmit tweaks", "panel"}));
    EXPECT_EQ(g_topBarButtons[6], 0);
}

TEST_F(PanelTest, PressOnTheSharedColumnPlaysThenStops) {
    for (int y : {1, 12, 23}) {
        g_playFlag = 0;
        g_engineReset = 0;
        Press({47, y});
        EXPECT_EQ(g_playFlag.load(), 0u);
        EXPECT_EQ(g_engineReset.load(), kResetStop);
        EXPECT_EQ(g_stopButtonState, 1);
        EXPECT_EQ(g_activeValuePtr.load(), &g_stopButtonState);
        Release();
        EXPECT_EQ(g_stopButtonState, 0);
    }
    // Column 46 is play alone; play does nothing while playing.
    Press({46, 12});
    EXPECT_EQ(g_playFlag.load(), 1u);
    EXPECT_EQ(g_engineReset.load(), kResetStart);
    Release();
    g_engineReset = 0;
    Press({46, 12});
    EXPECT_EQ(g_engineReset.load(), 0);
    Release();
}

TEST_F(PanelTest, PlayThatCannotOpenTheDeviceFallsBack) {
    g_freeAudioDevWhenStopped = 1;
    GetAppServices().openAudioDevice = [] { return false; };
    Press(SynthCentre(61));
    EXPECT_EQ(g_playFlag.load(), 0u);
    EXPECT_EQ(g_engineReset.load(), kResetStart);
}

TEST_F(PanelTest, FilterKbdCellFlipsTheSwitchAndLeavesTheMode) {
    g_liveKnobs[kParamFilterType] = 2;
    g_liveKnobs[kParamFilterKeyTrack] = 0;
    // The lower-right cell of the FILTER mode display: section (268..288, 79..89).
    for (CPoint p : {SynthPoint(37, 42, 11), SynthPoint(37, 62, 21)}) {
        Press(p);
        EXPECT_EQ(Live(kParamFilterType), 2);
        Release();
    }
    EXPECT_EQ(Live(kParamFilterKeyTrack), 0);  // flipped twice
    Press(SynthPoint(37, 42, 10));             // cell 5, just above the switch
    EXPECT_EQ(Live(kParamFilterType), 5);
    EXPECT_EQ(Live(kParamFilterKeyTrack), 0);
}

TEST_F(PanelTest, SelectorCellsNumberDownEachColumn) {
    struct Case {
        int dx, dy, value;
    };
    // OSCILLATOR 1 waveform, 63 x 22 pixels.
    const Case cases[] = {{0, 0, 1}, {20, 10, 1}, {0, 11, 2}, {20, 21, 2}, {21, 0, 3},
                          {41, 21, 4}, {42, 0, 5}, {62, 10, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        Click(SynthPoint(34, c.dx, c.dy));
        EXPECT_EQ(Live(kParamOsc1Wave), c.value);
    }
    // One pixel outside the inclusive rectangle: nothing.
    g_liveKnobs[kParamOsc1Wave] = 2;
    Click(SynthPoint(34, 63, 0));
    Click(SynthPoint(34, -1, 0));
    Click(SynthPoint(34, 0, 22));
    EXPECT_EQ(Live(kParamOsc1Wave), 2);
}

TEST_F(PanelTest, WaveformSixChoosesASampleOrASplitSet) {
    // Oscillator 2 with split set 3: the dialog opens on 1003, 211 pixels right.
    g_sampleCount = 4;
    g_liveKnobs[kParamOsc2SplitSet] = 3;
    int32_t opened = 0;
    view.onSelectSample = [&] {
        opened = g_selectedSampleOrSplit;
        EXPECT_EQ(g_selectSampleOffsetX, 211);
        g_selectedSampleOrSplit = 2;
    };
    Click(SynthPoint(35, 50, 15));
    EXPECT_EQ(opened, 1003);
    EXPECT_EQ(Live(kParamOsc2Wave), 6);
    EXPECT_EQ(Live(kParamOsc2Sample), 2);
    EXPECT_EQ(Live(kParamOsc2SplitSet), 0);

    // Oscillator 3 chooses split set 7: no sample.
    view.onSelectSample = [&] {
        EXPECT_EQ(g_selectSampleOffsetX, 410);
        g_selectedSampleOrSplit = 1007;
    };
    Click(SynthPoint(36, 50, 15));
    EXPECT_EQ(Live(kParamOsc3Sample), 255);
    EXPECT_EQ(Live(kParamOsc3SplitSet), 7);

    // No samples: the organizer in quick-load mode; still none: back to wave 1.
    g_sampleCount = 0;
    view.calls.clear();
    view.onSamples = [] { EXPECT_EQ(g_organizerQuickLoad, 1); g_organizerQuickLoad = 0; };
    Click(SynthPoint(34, 50, 15));
    EXPECT_TRUE(view.Called("samples"));
    EXPECT_FALSE(view.Called("select sample"));
    EXPECT_EQ(Live(kParamOsc1Wave), 1);
    // The organizer added one: the dialog follows at once.
    view.onSamples = [] { g_sampleCount = 1; g_organizerQuickLoad = 0; };
    view.onSelectSample = [] { EXPECT_EQ(g_selectSampleOffsetX, 20); g_selectedSampleOrSplit = 0; };
    Click(SynthPoint(34, 50, 15));
    EXPECT_EQ(Live(kParamOsc1Wave), 6);
    EXPECT_EQ(Live(kParamOsc1Sample), 0);
}

TEST_F(PanelTest, OscillatorStripsKeepThreeOffWhileTwoIsOff) {
    g_liveKnobs[kParamOsc2On] = 1;
    g_liveKnobs[kParamOsc3On] = 1;
    Click(SynthCentre(kRowOsc2Strip));
    EXPECT_EQ(Live(kParamOsc2On), 0);
    EXPECT_EQ(Live(kParamOsc3On), 0);
    g_soundEdited = 0;
    Click(SynthCentre(kRowOsc3Strip));
    EXPECT_EQ(Live(kParamOsc3On), 0);
    EXPECT_EQ(g_soundEdited, 1);  // marked all the same
    Click(SynthCentre(kRowOsc2Strip));
    Click(SynthCentre(kRowOsc3Strip));
    EXPECT_EQ(Live(kParamOsc3On), 1);
}

TEST_F(PanelTest, InertRowsAndTheSoundNameStrip) {
    view.calls.clear();
    Press(SynthCentre(49));  // AMPLIFIER strip
    EXPECT_EQ(view.calls, std::vector<std::string>{"capture"});
    Release();
    Press(SynthCentre(63));
    EXPECT_EQ(view.Count("sound name"), 1);
}

TEST_F(PanelTest, InclusiveKnobRectangles) {
    // Row 0 spans 75..93 x 19..38 of the section.
    for (CPoint d : {CPoint{0, 0}, CPoint{18, 19}}) {
        Press(SynthPoint(0, d.x, d.y));
        EXPECT_EQ(g_activeValuePtr.load(), &g_liveKnobs[kParamOsc1Tune]);
        Release();
    }
    for (CPoint d : {CPoint{-1, 0}, CPoint{19, 0}, CPoint{0, -1}, CPoint{0, 20}}) {
        Press(SynthPoint(0, d.x, d.y));
        EXPECT_EQ(g_activeValuePtr.load(), nullptr);
        Release();
    }
}

class GridPressTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Pattern(0);
        g_songOrder[0] = 0;
        PlaceCursor(3, 2, 17);
        g_patternFocus = 0;
        g_selExtending = 1;
    }
};

TEST_F(GridPressTest, ColumnsFollowTrackBoundsAndPolyphony) {
    struct Case {
        uint32_t polyphony;
        int x;
        int column;  // -1: nothing
    };
    const Case cases[] = {
        {5, 0, 6},    {5, 110, 6},  {5, 111, -1}, {5, 112, 13}, {5, 192, 13}, {5, 193, -1}, {5, 194, 20},
        {5, 275, -1}, {5, 300, 27}, {5, 357, -1}, {5, 400, 34}, {5, 439, -1}, {5, 500, 41}, {5, 521, -1},
        {5, 522, 48}, {5, 629, 48}, {0, 50, 6},   {0, 150, -1}, {1, 150, 13}, {1, 300, 27}, {1, 400, -1},
        {1, 600, -1}, {2, 600, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "poly " << c.polyphony << " x " << c.x);
        g_polyphony = c.polyphony;
        PlaceCursor(3, 2, 17);
        g_selExtending = 1;
        g_patternFocus = 0;
        view.calls.clear();
        Click({c.x, 250});
        if (c.column < 0) {
            EXPECT_EQ(g_cursorColumn.load(), 2u);
            EXPECT_EQ(g_editStep.load(), 17u);
            EXPECT_FALSE(view.Called("grid"));
        } else {
            EXPECT_EQ(g_cursorColumn.load(), uint32_t(c.column));
            EXPECT_EQ(g_editStep.load(), 0u);
            EXPECT_EQ(g_selExtending.load(), 0u);
            EXPECT_EQ(g_patternFocus.load(), 1);
            EXPECT_EQ(view.Count("grid"), 1);
            EXPECT_EQ(view.Count("order"), 1);
        }
    }
}

TEST_F(GridPressTest, VerticalBoundsAndEntriesThatAreNoPattern) {
    struct Case {
        int y;
        uint8_t entry;
        bool moves;
    };
    const Case cases[] = {{194, 0, false}, {195, 0, true}, {335, 0, true}, {336, 0, false},
                          {250, 100, true}, {250, 101, false}, {250, 254, false}, {250, 255, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "y " << c.y << " entry " << int(c.entry));
        g_songOrder[0] = c.entry;
        PlaceCursor(3, 2, 17);
        Click({50, c.y});
        EXPECT_EQ(g_cursorColumn.load(), c.moves ? 6u : 2u);
    }
    // The large layout's grid reaches down to 367.
    UseLayout(Layout::kLarge);
    g_songOrder[0] = 0;
    PlaceCursor(3, 2, 17);
    Click({50, 367});
    EXPECT_EQ(g_cursorColumn.load(), 6u);
}

TEST_F(GridPressTest, OrderDisplayTakesTheFocusAndEmptiesTheUndoRing) {
    g_patternFocus = 1;
    PushPatternUndo();
    ASSERT_NE(g_patternUndoCount, 0u);
    struct Case {
        int mx, my;
        bool focus;
    };
    const Case cases[] = {{8, 355, true}, {94, 413, true}, {7, 380, false}, {95, 380, false},
                          {50, 354, false}, {50, 414, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mx << "," << c.my);
        g_patternFocus = 1;
        PlaceCursor(3, 2, 17);
        Click(MixerToView(c.mx, c.my));
        EXPECT_EQ(g_patternFocus.load(), c.focus ? 0 : 1);
        if (c.focus) {
            EXPECT_EQ(g_cursorColumn.load(), 0u);
            EXPECT_EQ(g_firstTrack.load(), 0u);
            EXPECT_EQ(g_editStep.load(), 0u);
            EXPECT_EQ(g_patternUndoCount, 0u);
        }
    }
}

TEST_F(GridPressTest, SoundModuleLayoutHasNoGridNoOrderListNoTransport) {
    UseLayout(Layout::kSoundModule);
    g_patternFocus = 1;
    view.calls.clear();
    Click({20, 186});                 // just below the section: the grid's place elsewhere
    Click(MixerToView(60, 380));      // the order display's place
    Click({40, 12});                  // play
    Click({60, 12});                  // stop
    EXPECT_EQ(g_patternFocus.load(), 1);
    EXPECT_EQ(g_cursorColumn.load(), 2u);
    EXPECT_EQ(g_playFlag.load(), 0u);
    EXPECT_EQ(g_engineReset.load(), 0);
    EXPECT_FALSE(view.Called("grid"));
    // The synthesizer section starts at x = 8: row 0 at 83 .. 101.
    Press({83, 27 + 19});
    EXPECT_EQ(g_activeValuePtr.load(), &g_liveKnobs[kParamOsc1Tune]);
    Release();
    Press({82, 27 + 19});
    EXPECT_EQ(g_activeValuePtr.load(), nullptr);
    Release();
    // The mixer: 56 pixels left, its top at 185.
    Press({130 - 56, 351 - 336 + 185});
    EXPECT_EQ(g_activeValuePtr.load(), &g_mixerSettings.pan[0]);
}

TEST_F(PanelTest, DoubleClickIsASecondPress) {
    g_liveKnobs[kParamChannel] = 3;
    g_liveKnobs[kParamOscSync] = 0;
    // Down, up, double click, up.
    for (CPoint p : {SynthCentre(53), SynthCentre(43)}) {
        Press(p);
        Release();
        Press(p);
        Release();
    }
    EXPECT_EQ(Live(kParamChannel), 5);
    EXPECT_EQ(Live(kParamOscSync), 0);
}

// Step buttons and the view timer's repeats.
class StepButtonTest : public PanelTest {
protected:
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) ViewTimerTick(timerView);
    }
    QuietTimerView timerView;
};

TEST_F(StepButtonTest, OutputChannelStopsAtItsEnds) {
    g_liveKnobs[kParamChannel] = 8;
    Press(SynthCentre(53));
    EXPECT_EQ(Live(kParamChannel), 8);
    EXPECT_EQ(g_channelButtonState, 1);
    Ticks(10);
    EXPECT_EQ(Live(kParamChannel), 8);
    EXPECT_EQ(g_channelButtonState, 1);  // drawn pressed until the release
    Release();
    EXPECT_EQ(g_channelButtonState, 0);

    g_liveKnobs[kParamChannel] = 1;
    Press(SynthCentre(54));
    EXPECT_EQ(Live(kParamChannel), 1);
    EXPECT_EQ(g_channelButtonState, 2);
    Release();

    // Held: after six ticks one step per tick.
    g_liveKnobs[kParamChannel] = 2;
    Press(SynthCentre(53));
    EXPECT_EQ(Live(kParamChannel), 3);
    Ticks(6);
    EXPECT_EQ(Live(kParamChannel), 3);
    Ticks(3);
    EXPECT_EQ(Live(kParamChannel), 6);
    Release();
    Ticks(3);
    EXPECT_EQ(Live(kParamChannel), 6);
}

TEST_F(StepButtonTest, SoundStepDropsEditsUnlessStored) {
    g_storeAutomatically = 0;
    g_curSound = 99;
    LoadSoundToKnobs(99);
    const int32_t original = Live(kParamAmpAttack);
    // An edit the panel update has stored into the bank.
    g_liveKnobs[kParamAmpAttack] = original == 7 ? 8 : 7;
    StoreKnobsToSound(99);
    g_soundEdited = 1;
    Press(SynthCentre(55));
    EXPECT_EQ(g_curSound.load(), 99u);
    EXPECT_EQ(g_soundBank[kParamAmpAttack][99], original);
    EXPECT_EQ(Live(kParamAmpAttack), original);
    EXPECT_EQ(g_soundEdited, 0);
    EXPECT_EQ(view.marks, 0);
    EXPECT_EQ(g_soundButtonState, 1);
    Release();

    // The store button keeps the edits once, and marks.
    g_curSound = 10;
    LoadSoundToKnobs(10);
    g_liveKnobs[kParamAmpAttack] = 33;
    StoreKnobsToSound(10);
    Click(SynthCentre(60));
    EXPECT_EQ(g_keepSoundEdits, 1);
    EXPECT_EQ(view.marks, 1);
    Press(SynthCentre(56));
    EXPECT_EQ(g_curSound.load(), 9u);
    EXPECT_EQ(g_soundBank[kParamAmpAttack][10], 33);
    EXPECT_EQ(g_keepSoundEdits, 0);
    EXPECT_EQ(view.marks, 2);
    Release();
    // The next change drops again.
    g_liveKnobs[kParamAmpAttack] = 44;
    StoreKnobsToSound(9);
    const uint8_t loaded9 = g_knobUndo[kParamAmpAttack];
    Click(SynthCentre(55));
    EXPECT_EQ(g_soundBank[kParamAmpAttack][9], loaded9);
    EXPECT_EQ(view.marks, 2);
}

TEST_F(StepButtonTest, HeldSoundButtonLoadsEachSoundWithoutTheRuleAgain) {
    g_storeAutomatically = 0;
    g_curSound = 20;
    LoadSoundToKnobs(20);
    g_soundBank[kParamAmpGain][22] = 61;
    Press(SynthCentre(55));
    EXPECT_EQ(g_curSound.load(), 21u);
    g_liveKnobs[kParamAmpGain] = 5;  // edited while held: kept in the bank by nothing
    Ticks(7);
    EXPECT_EQ(g_curSound.load(), 22u);
    EXPECT_EQ(Live(kParamAmpGain), 61);
    Release();
}

TEST_F(StepButtonTest, TempoStepsWithinTheirLimitsAndMarkWhenChanged) {
    struct Case {
        uint32_t from;
        int row;
        uint32_t to;
    };
    const Case cases[] = {{40, 58, 41}, {59, 58, 60}, {120, 58, 121}, {399, 58, 400}, {400, 58, 400},
                          {40, 59, 40}, {59, 59, 59}, {60, 59, 60},   {61, 59, 60},   {400, 59, 399}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " row " << c.row);
        g_tempoDisplay = c.from;
        g_soundEdited = 0;
        view.marks = 0;
        Press(SynthCentre(c.row));
        EXPECT_EQ(g_tempoDisplay.load(), c.to);
        EXPECT_EQ(g_tempoButtonState, c.row == 58 ? 1 : 2);
        EXPECT_EQ(view.marks, c.to != c.from ? 1 : 0);
        EXPECT_EQ(g_soundEdited, 0);
        Release();
    }
    // Held, the repeats mark through the document byte the timer passes on.
    g_tempoDisplay = 100;
    g_docModified = 0;
    Press(SynthCentre(58));
    Ticks(8);
    EXPECT_EQ(g_tempoDisplay.load(), 103u);
    EXPECT_EQ(timerView.marks, std::vector<bool>{true});
    Release();
    g_tempoDisplay = 400;
    g_docModified = 0;
    timerView.marks.clear();
    Press(SynthCentre(58));
    Ticks(10);
    EXPECT_TRUE(timerView.marks.empty());
}

// What marks the sound and the document, with "Store automatically" on and off.
TEST_F(PanelTest, WhatMarksWhat) {
    struct Case {
        const char* what;
        std::function<void(PanelTest&)> act;
        int edited;  // g_soundEdited after, from 0 (-1: left at 1)
        int marksOn, marksOff;
    };
    auto press = [](CPoint p) { return [p](PanelTest& t) { t.Click(p); }; };
    auto drag = [](CPoint from, CPoint to) {
        return [from, to](PanelTest& t) {
            t.Press(from);
            t.Move(to);
            t.Release();
        };
    };
    const Case cases[] = {
        {"knob drag", drag(SynthCentre(9), {SynthCentre(9).x, SynthCentre(9).y - 2}), 1, 1, 0},
        {"bipolar drag", drag(SynthCentre(0), {SynthCentre(0).x, SynthCentre(0).y + 2}), 1, 1, 0},
        {"pan drag", drag(MixerCentre(2), {MixerCentre(2).x, MixerCentre(2).y - 2}), 1, 1, 0},
        {"send drag", drag(MixerCentre(9), {MixerCentre(9).x, MixerCentre(9).y - 2}), 1, 1, 0},
        {"fader drag", drag(MixerToView(110, 348 + 20), MixerToView(110, 348 + 15)), 1, 1, 0},
        {"selector", press(SynthPoint(38, 0, 0)), 1, 2, 1},
        {"filter mode", press(SynthPoint(37, 0, 0)), 1, 1, 0},
        {"toggle", press(SynthCentre(43)), 1, 1, 0},
        {"channel step", press(SynthCentre(53)), 1, 1, 0},
        {"sound step", press(SynthCentre(55)), 0, 0, 0},
        {"tempo step", press(SynthCentre(58)), 0, 1, 1},
        {"store", press(SynthCentre(60)), 0, 1, 1},
        {"fader step", press(MixerToView(110, 348)), 0, 1, 1},
        {"mixer toggle", press(MixerCentre(33)), 0, 1, 1},
    };
    for (bool automatic : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << (automatic ? " automatic" : " manual"));
            g_storeAutomatically = automatic ? 1 : 0;
            g_soundEdited = 0;
            g_keepSoundEdits = 0;
            g_mixerSettings.volume[0] = 40;  // handle at 16 .. 39 of the fader
            g_liveKnobs[kParamChannel] = 3;
            g_curSound = 5;
            view.marks = 0;
            view.calls.clear();
            c.act(*this);
            EXPECT_EQ(g_soundEdited, c.edited);
            EXPECT_EQ(view.marks, automatic ? c.marksOn : c.marksOff);
            // The document takes the "Save changes" setting.
            if (view.marks) {
                EXPECT_TRUE(view.Called("modified on"));
            }
        }
    }
    g_saveChanges = 0;
    view.calls.clear();
    Click(SynthCentre(60));
    EXPECT_TRUE(view.Called("modified off"));
}

}  // namespace
