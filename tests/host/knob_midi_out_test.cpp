// Knob changes sent as MIDI controllers, through the test back-end: the data
// byte of each control kind, the three send rules around g_lastTweakData, the
// channel that plays the current sound, the controller found by the value's
// address, and what sends nothing.
#include <gtest/gtest.h>

#include <vector>

#include "tests/host/midi_fixture.h"
#include "ui/knob_midi_out.h"

namespace {

// Controller number of controllable word i in these tests.
uint32_t ControllerOf(int index) { return uint32_t(20 + index); }

// Controllable-word indices of the words used below.
constexpr int kIndexOsc1Tune = 1;       // bipolar knob
constexpr int kIndexOsc2Volume = 13;    // knob
constexpr int kIndexOsc1Wave = 0;       // selector
constexpr int kIndexFilterType = 27;    // FILTER mode
constexpr int kIndexOsc2On = 5;         // toggle
constexpr int kIndexBus3Volume = 54;    // fader
constexpr int kIndexMaster = 60;        // fader
constexpr int kIndexBus3Pan = 63;       // pan
constexpr int kIndexBus3Send2 = 79;     // send

class KnobMidiOutTest : public MidiTest {
protected:
    void SetUp() override {
        MidiTest::SetUp();
        for (int i = 0; i < kControllerKnobs; ++i) g_midiControllerMap[i] = ControllerOf(i);
        g_channelSound[4] = int32_t(g_curSound.load());  // channel 5 plays the current sound
        g_transmitTweaks = 1;
        g_lastTweakData = 0;
        g_midiOutActivity = 0;
        backend->ClearSent();
    }
    void TearDown() override {
        g_lastTweakData = 0;
        g_transmitTweaks = 0;
        MidiTest::TearDown();
    }

    std::vector<uint32_t> SentNow() {
        MidiOutFlush();
        return backend->Sent();
    }
    static const void* Word(int index) { return g_paramValuePtrs[index].Address(); }
    static uint32_t Cc(int channel, int index, int data) { return Control(channel, int(ControllerOf(index)), data); }
};

// The data byte of each kind at the ends and centres of its range: the
// products 127/80 and 127/40 of the value, x21, x25, x64, and the fader's
// 2.267857142857 that gives 126 at the top.
TEST_F(KnobMidiOutTest, EachKindSendsItsDataByteOnItsController) {
    struct Case {
        int32_t kind;
        int index;
        int32_t value;
        int data;
    };
    const Case cases[] = {
        {1, kIndexOsc1Tune, -40, 0},   {1, kIndexOsc1Tune, 0, 63},     {1, kIndexOsc1Tune, 40, 127},
        {1, kIndexOsc1Tune, -39, 1},   {2, kIndexOsc2Volume, 0, 0},    {2, kIndexOsc2Volume, 1, 1},
        {2, kIndexOsc2Volume, 2, 3},   {2, kIndexOsc2Volume, 40, 63},  {2, kIndexOsc2Volume, 79, 125},
        {2, kIndexOsc2Volume, 80, 127}, {3, kIndexOsc1Wave, 1, 21},    {3, kIndexOsc1Wave, 6, 126},
        {4, kIndexFilterType, 1, 25},  {4, kIndexFilterType, 5, 125},  {5, kIndexOsc2On, 1, 64},
        {5, kIndexOsc2On, 0, 0},       {10, kIndexBus3Pan, -20, 0},    {10, kIndexBus3Pan, 0, 63},
        {10, kIndexBus3Pan, 20, 127},  {11, kIndexBus3Send2, 1, 3},    {11, kIndexBus3Send2, 40, 127},
        {12, kIndexBus3Volume, 0, 0},  {12, kIndexBus3Volume, 28, 63}, {12, kIndexBus3Volume, 55, 124},
        {12, kIndexMaster, 56, 126},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " value " << c.value);
        backend->ClearSent();
        g_lastTweakData = -1;  // a fresh press
        g_midiOutActivity = 0;
        TransmitControlTweak(c.kind, Word(c.index), c.value, true);
        EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(4, c.index, c.data)});
        EXPECT_EQ(g_midiOutActivity, 6);
    }
}

// A drag from 0 to 80 after a release, each value reached twice (the mouse
// also moves sideways): every distinct data byte once, in order; the next
// press sends its first value again although it equals the last one sent.
TEST_F(KnobMidiOutTest, KnobSweepSendsEachDistinctDataByteOnceInOrder) {
    g_lastTweakData = -1;
    for (int32_t v = 0; v <= 80; ++v)
        for (int repeat = 0; repeat < 2; ++repeat) TransmitControlTweak(2, Word(kIndexOsc2Volume), v, true);
    std::vector<uint32_t> expected;
    for (int v = 0; v <= 80; ++v) expected.push_back(Cc(4, kIndexOsc2Volume, 127 * v / 80));
    EXPECT_EQ(SentNow(), expected);

    backend->ClearSent();
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 80, true);
    EXPECT_TRUE(SentNow().empty());
    g_lastTweakData = -1;  // the release
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 80, true);
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(4, kIndexOsc2Volume, 127)});
}

// The first channel that plays the current sound: mapped to it, or following
// program changes with it as the last program.
TEST_F(KnobMidiOutTest, ChannelIsTheFirstThatPlaysTheCurrentSound) {
    g_curSound = 5;
    for (int c = 0; c < kMidiChannels; ++c) g_channelSound[c] = 0;
    g_channelSound[2] = 5;  // channel 3 mapped to sound 5
    g_midiProgram[0] = 5;   // channel 1 follows programs, last program 5
    TransmitControlTweak(3, Word(kIndexOsc1Wave), 2, true);
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(0, kIndexOsc1Wave, 42)});

    // A channel mapped to another sound does not follow its program.
    backend->ClearSent();
    g_channelSound[0] = 9;
    TransmitControlTweak(3, Word(kIndexOsc1Wave), 2, true);
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(2, kIndexOsc1Wave, 42)});

    // No channel plays it: nothing goes out, mixer controls included.
    backend->ClearSent();
    g_channelSound[2] = 0;
    g_midiOutActivity = 0;
    TransmitControlTweak(3, Word(kIndexOsc1Wave), 2, true);
    TransmitControlTweak(12, Word(kIndexMaster), 30, true);
    EXPECT_TRUE(SentNow().empty());
    EXPECT_EQ(g_midiOutActivity, 0);
    EXPECT_EQ(g_lastTweakData, 68) << "the fader's data is kept all the same";
}

// What sends nothing: a controller mapped to none, PROGRAM tie note (no
// controller entry), a sound kind given a mixer word, the kinds without MIDI,
// and a toggle that did not change.
TEST_F(KnobMidiOutTest, UnmappedWordsAndSilentKindsSendNothing) {
    g_midiControllerMap[kIndexOsc2Volume] = kNoController;
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 50, true);
    EXPECT_EQ(g_lastTweakData, 79);
    TransmitControlTweak(5, &g_liveKnobs[kParamLegato], 1, true);
    TransmitControlTweak(2, Word(kIndexBus3Volume), 10, true);  // the sound kinds search the first 52 only
    for (int32_t kind : {0, 6, 7, 8, 9, 13, 14})
        TransmitControlTweak(kind, Word(kIndexOsc2On), 1, true);
    TransmitControlTweak(5, Word(kIndexOsc2On), 0, false);  // the OSCILLATOR 3 strip that could not flip
    EXPECT_TRUE(SentNow().empty());
    EXPECT_EQ(g_midiOutActivity, 0);
}

// A selector pressed on the cell it shows sends again; a toggle sends on
// every change; neither touches g_lastTweakData.
TEST_F(KnobMidiOutTest, SelectorsResendAndTogglesSendOnChange) {
    g_lastTweakData = 21;
    TransmitControlTweak(3, Word(kIndexOsc1Wave), 1, false);
    TransmitControlTweak(3, Word(kIndexOsc1Wave), 1, false);
    TransmitControlTweak(4, Word(kIndexFilterType), 3, false);
    TransmitControlTweak(5, Word(kIndexOsc2On), 1, true);
    TransmitControlTweak(5, Word(kIndexOsc2On), 0, true);
    EXPECT_EQ(SentNow(), (std::vector<uint32_t>{Cc(4, kIndexOsc1Wave, 21), Cc(4, kIndexOsc1Wave, 21),
                                                Cc(4, kIndexFilterType, 75), Cc(4, kIndexOsc2On, 64),
                                                Cc(4, kIndexOsc2On, 0)}));
    EXPECT_EQ(g_lastTweakData, 21);
}

// Without an open output nothing is computed: g_lastTweakData stays. With
// transmission off it follows the drag, so switching on mid-drag sends from
// the next changed data on.
TEST_F(KnobMidiOutTest, LastDataFollowsTheDragOnlyWhileAPortIsOpen) {
    // At start g_lastTweakData is 0: a first press on a knob at 0 sends nothing.
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 0, true);
    EXPECT_TRUE(SentNow().empty());

    CloseMidiOut();
    g_lastTweakData = 17;
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 10, true);
    TransmitControlTweak(12, Word(kIndexMaster), 10, true);
    EXPECT_EQ(g_lastTweakData, 17);
    EXPECT_EQ(g_midiOutActivity, 0);

    ASSERT_TRUE(OpenMidiOut());
    backend->ClearSent();
    g_transmitTweaks = 0;
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 10, true);
    EXPECT_EQ(g_lastTweakData, 15);
    g_transmitTweaks = 1;
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 10, true);  // same data: not sent
    TransmitControlTweak(2, Word(kIndexOsc2Volume), 11, true);
    EXPECT_EQ(SentNow(), std::vector<uint32_t>{Cc(4, kIndexOsc2Volume, 17)});
    EXPECT_EQ(g_midiOutActivity, 6);
}

}  // namespace
