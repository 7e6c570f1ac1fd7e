// The controller map: the factory assignment, the custom set placed at its
// knobs, and what incoming controllers then drive.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/host/midi_fixture.h"

namespace {

class MidiMapTest : public MidiTest {
protected:
    // The knob controller c drives (the first match), -1 for none.
    static int KnobOf(uint32_t c) {
        for (int p = 0; p < kControllerKnobs; ++p)
            if (g_midiControllerMap[p] == c) return p;
        return -1;
    }
};

TEST_F(MidiMapTest, FactoryAssignment) {
    g_useCustomControllers = 0;
    ApplyMidiControllerMap();
    EXPECT_EQ(KnobOf(12), 0);
    EXPECT_EQ(KnobOf(63), 51);  // distortion
    for (int b = 0; b < 8; ++b) {
        EXPECT_EQ(KnobOf(70 + b), 52 + b);  // volumes
        EXPECT_EQ(KnobOf(79 + b), 61 + b);  // pans
        EXPECT_EQ(KnobOf(b < 4 ? 87 + b : 98 + b), 69 + b);  // first sends: 87..90, 102..105
        EXPECT_EQ(KnobOf(106 + b), 77 + b);  // second sends
    }
    EXPECT_EQ(KnobOf(78), 60);  // master
    for (uint32_t c : {0u, 1u, 11u, 64u, 69u, 91u, 101u, 114u, 127u}) EXPECT_EQ(KnobOf(c), -1) << c;
    for (int p = 0; p < kControllerKnobs; ++p) EXPECT_EQ(g_midiControllerMap[p], g_factoryControllerMap[p]);
}

TEST_F(MidiMapTest, CustomSetAtItsKnobsTheRestUncontrolled) {
    g_useCustomControllers = 1;
    for (int r = 0; r < kCustomControllers; ++r) g_customControllerSet[r] = 20 + r;
    ApplyMidiControllerMap();
    const int knobs[kCustomControllers] = {1,  3,  4,  7,  10, 16, 19, 20, 21, 22, 23, 25, 26, 29, 30, 31, 32, 33,
                                           37, 38, 41, 42, 43, 44, 45, 49, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60};
    int controlled = 0;
    for (int p = 0; p < kControllerKnobs; ++p)
        if (g_midiControllerMap[p] != kNoController) ++controlled;
    EXPECT_EQ(controlled, kCustomControllers);
    for (int r = 0; r < kCustomControllers; ++r) EXPECT_EQ(g_midiControllerMap[knobs[r]], uint32_t(20 + r)) << r;
    // The labels name the knobs of their rows.
    EXPECT_STREQ(g_customControllerNames[0], "OSC1 Tune");
    EXPECT_STREQ(g_customControllerNames[26], "Distortion");
    EXPECT_STREQ(g_customControllerNames[35], "Master volume");
}

TEST_F(MidiMapTest, CustomDefaultsDriveOnlyTheFirstKnobAndOneIsAlwaysTheWheel) {
    g_useCustomControllers = 1;
    ApplyMidiControllerMap();  // all 36 at 0
    g_channelPolyphony[0] = 1;
    Send(NoteOn(0, 60, 64));
    const int32_t pulseWidth = g_liveKnobs[kParamOsc1PulseWidth];
    const int32_t master = g_mixerSettings.master.load();
    Send(Control(0, 0, 127));
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 40);  // "OSC1 Tune" at its top
    EXPECT_EQ(g_liveKnobs[kParamOsc1PulseWidth], pulseWidth);
    EXPECT_EQ(g_mixerSettings.master.load(), master);
    // Controller 1 stays the modulation wheel.
    g_customControllerSet[0] = 1;
    ApplyMidiControllerMap();
    Send(Control(0, 1, 0));
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 40);
    Send(Control(0, 1, 100));
    EXPECT_EQ(g_voiceState[0].vibratoDepthCmd, 50);
    // Numbers outside 0..127 (while typing) are kept and never match.
    g_customControllerSet[0] = 300;
    ApplyMidiControllerMap();
    EXPECT_EQ(g_midiControllerMap[1], 300u);
}

TEST_F(MidiMapTest, ARebuildNeverPassesAKeptEntryThroughNone) {
    // While the GUI thread rebuilds the map again and again, a controller whose
    // number stays the same always finds its knob.
    g_useCustomControllers = 1;
    for (int r = 0; r < kCustomControllers; ++r) g_customControllerSet[r] = 100;
    g_customControllerSet[26] = 20;  // Distortion
    ApplyMidiControllerMap();
    g_channelPolyphony[0] = 1;
    std::atomic<bool> run{true};
    std::thread gui([&] {
        int i = 0;
        while (run) {
            g_customControllerSet[1] = 30 + (i++ & 7);
            ApplyMidiControllerMap();
        }
    });
    for (int v = 0; v < 200; ++v) {
        Send(Control(0, 20, v & 127));
        ASSERT_EQ(g_liveKnobs[kParamDistortion], ControllerValueForKind(4, uint32_t(v & 127))) << v;
    }
    run = false;
    gui.join();
}

}  // namespace
