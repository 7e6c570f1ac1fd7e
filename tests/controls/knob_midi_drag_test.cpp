// Controls worked with the mouse send their controllers: presses, drags and
// releases through the panel's mouse routines, the messages through the MIDI
// test back-end.
#include <gtest/gtest.h>

#include <vector>

#include "tests/controls/panel_fixture.h"
#include "tests/host/midi_fixture.h"

namespace {

uint32_t ControllerOf(int word) { return uint32_t(20 + word); }

class KnobDragMidiTest : public MidiTest {
protected:
    void SetUp() override {
        MidiTest::SetUp();
        for (int i = 0; i < kControllerKnobs; ++i) g_midiControllerMap[i] = ControllerOf(i);
        g_channelSound[0] = int32_t(g_curSound.load());
        g_transmitTweaks = 1;
        g_storeAutomatically = 1;
        g_saveChanges = 1;
        g_soundModuleMode = 0;
        g_panelX = 12, g_panelY = 27, g_mixerShiftX = 0, g_lowerPanelY = 336;
        PanelButtonUp(view);  // as after an earlier press
        backend->ClearSent();
    }
    void TearDown() override {
        PanelButtonUp(view);
        g_lastTweakData = 0;
        g_transmitTweaks = 0;
        MidiTest::TearDown();
    }

    std::vector<uint32_t> SentNow() {
        MidiOutFlush();
        return backend->Sent();
    }
    static uint32_t Cc(int word, int data) { return Control(0, int(ControllerOf(word)), data); }
    static CPoint SynthCentre(int row) {
        const PanelControl& c = g_panelControls[size_t(row)];
        return {g_panelX + (c.left + c.right) / 2, g_panelY + (c.top + c.bottom) / 2};
    }
    static CPoint MixerPoint(int mx, int my) { return {mx - g_mixerShiftX, my - kMixerSpaceTop + g_lowerPanelY}; }

    void Press(CPoint p) { PanelButtonDown(view, p.x, p.y); }
    void Move(CPoint p) { PanelMouseMove(view, MK_LBUTTON, p.x, p.y); }
    void Release() { PanelButtonUp(view); }

    RecordingPanel view;
};

// OSCILLATOR 2 vol dragged from 0 to 80 and beyond, a sideways move at every
// pixel: each distinct data byte 127 v / 80 once, in order; nothing after the
// knob stops at 80.
TEST_F(KnobDragMidiTest, AKnobDraggedFrom0To80SendsEachDistinctDataByteOnceInOrder) {
    constexpr int kRow = 5, kWord = 13;
    g_liveKnobs[kParamOsc2Volume] = 0;
    const CPoint p = SynthCentre(kRow);
    Press(p);
    for (int dy = 0; dy <= 90; ++dy) {
        Move({p.x, p.y - dy});
        Move({p.x + 2, p.y - dy});
    }
    Release();
    EXPECT_EQ(g_liveKnobs[kParamOsc2Volume], 80);
    std::vector<uint32_t> expected;
    for (int v = 0; v <= 80; ++v) expected.push_back(Cc(kWord, 127 * v / 80));
    EXPECT_EQ(SentNow(), expected);
    EXPECT_EQ(g_lastTweakData, -1);
}

// The stated figures through real presses: a bipolar knob and a pan at 0 give
// 63, the master fader stepped to 56 gives 126; a selector pressed on the cell
// it shows sends again; the OSCILLATOR 3 strip that cannot flip and PROGRAM
// tie note send nothing.
TEST_F(KnobDragMidiTest, PressesAndDragsSendTheirKindsDataBytes) {
    g_liveKnobs[kParamOsc1Tune] = 0;
    const CPoint tune = SynthCentre(0);
    Press(tune);
    Move({tune.x + 4, tune.y});
    Release();
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(1, 63)});

    backend->ClearSent();
    g_mixerSettings.pan[0] = 0;
    Press(MixerPoint(137, 358));
    Move(MixerPoint(139, 358));
    Release();
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(61, 63)});

    backend->ClearSent();
    g_mixerSettings.master = 55;
    Press(MixerPoint(606, 348));  // one pixel above the handle
    Release();
    EXPECT_EQ(g_mixerSettings.master, 56);
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(60, 126)});

    backend->ClearSent();
    g_liveKnobs[kParamOsc1Wave] = 1;
    const PanelControl& wave = g_panelControls[34];
    const CPoint firstCell{g_panelX + wave.left + 2, g_panelY + wave.top + 2};
    Press(firstCell);
    Release();
    Press(firstCell);
    Release();
    EXPECT_EQ(SentNow(), (std::vector<uint32_t>{Cc(0, 21), Cc(0, 21)}));

    backend->ClearSent();
    g_liveKnobs[kParamOsc2On] = 0;
    g_liveKnobs[kParamOsc3On] = 0;
    Press(SynthCentre(48));
    Release();
    Press(SynthCentre(46));  // tie note flips, but has no controller
    Release();
    EXPECT_EQ(g_liveKnobs[kParamOsc3On], 0);
    EXPECT_EQ(g_liveKnobs[kParamLegato], 1);
    EXPECT_TRUE(SentNow().empty());
}

}  // namespace
