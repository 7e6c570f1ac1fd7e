// The Sounds menu's commands on the current sound: Copy and Paste through
// sound 0, Undo changes, Reset knobs against the new-song values, Randomize
// with a pinned clock, and the song marked by each command that changed it.
//
// The expectations number the parameters backwards (index i is bank parameter
// 60 - i), apart from the SoundParam names the code uses, so the mapping onto
// the bank's own order is checked too.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "tests/editor/editor_fixture.h"
#include "ui/panel_state.h"
#include "ui/sound_commands.h"

namespace {

constexpr uint32_t kSound = 12;

// Bank parameter of backward index i.
SoundParam Ref(int i) { return SoundParam(60 - i); }

class SoundCommandsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetSoundRandomClock([this] { return seconds; });
        // Sound 12: every byte its own value, a name; loaded as the current sound.
        for (int p = 0; p < kSoundParams; ++p) g_soundBank[p][kSound] = uint8_t(3 + p);
        g_soundNames[kSound] = "BRASS 2";
        g_curSound = kSound;
        LoadSoundToKnobs(kSound);
        g_soundClipboardFull = 0;
        g_soundEdited = 0;
        g_docModified = 0;
    }
    void TearDown() override {
        SetSoundRandomClock({});
        g_soundClipboardFull = 0;
        g_soundEdited = 0;
        g_docModified = 0;
        EditorTest::TearDown();
    }

    static std::array<uint8_t, kSoundParams> Column(uint32_t sound) {
        std::array<uint8_t, kSoundParams> c{};
        for (int p = 0; p < kSoundParams; ++p) c[size_t(p)] = g_soundBank[p][sound];
        return c;
    }
    // A knob turned on the panel and stored by the view's timer.
    static void TurnKnob(SoundParam p, int32_t v) {
        g_liveKnobs[p] = v;
        g_soundEdited = 1;
        StoreKnobsToSound(g_curSound);
    }
    // The live knobs hold the sound's bank bytes (signed knobs without their bias).
    static void ExpectLiveKnobsHold(uint32_t sound) {
        for (int p = 0; p < kSoundParams; ++p) {
            const int32_t bias = IsSignedKnob(p) ? 40 : 0;
            EXPECT_EQ(g_liveKnobs[p], int32_t(g_soundBank[p][sound]) - bias) << p;
            EXPECT_EQ(g_knobUndo[p], g_liveKnobs[p]) << p;
        }
    }

    std::time_t seconds = 1700000000;
};

TEST_F(SoundCommandsTest, CopyAndPasteCarryTheSoundAndItsNameThroughSoundZero) {
    TurnKnob(kParamFilterCutoff, 5);
    g_docModified = 0;
    CopySound();
    EXPECT_EQ(g_soundClipboardFull, 1);
    EXPECT_EQ(Column(0), Column(kSound));
    EXPECT_EQ(g_soundNames[0], "BRASS 2");
    EXPECT_EQ(g_docModified, 1) << "sound 0 is saved with the song";

    // Copying the same sound again changes nothing and marks nothing.
    g_docModified = 0;
    CopySound();
    EXPECT_EQ(g_docModified, 0);

    // Pasted over sound 30: bytes and name, live knobs and undo copy follow.
    g_curSound = 30;
    LoadSoundToKnobs(30);
    PasteSound();
    EXPECT_EQ(Column(30), Column(kSound));
    EXPECT_EQ(g_soundNames[30], "BRASS 2");
    EXPECT_EQ(g_curSoundName, "BRASS 2");
    ExpectLiveKnobsHold(30);
    EXPECT_EQ(g_docModified, 1);

    // Pasting what is already there marks nothing.
    g_docModified = 0;
    PasteSound();
    EXPECT_EQ(g_docModified, 0);
}

TEST_F(SoundCommandsTest, UndoChangesReturnsTheSoundAsLoadedAndClearsTheEditedFlag) {
    const auto loaded = Column(kSound);
    TurnKnob(kParamAmpGain, 70);
    TurnKnob(kParamOsc2Tune, -33);
    g_curSoundName = "RENAMED";
    StoreKnobsToSound(kSound);
    g_docModified = 0;

    UndoSoundChanges();
    EXPECT_EQ(Column(kSound), loaded);
    EXPECT_EQ(g_soundNames[kSound], "BRASS 2");
    EXPECT_EQ(g_curSoundName, "BRASS 2");
    ExpectLiveKnobsHold(kSound);
    EXPECT_EQ(g_soundEdited, 0);
    EXPECT_EQ(g_docModified, 1);

    // Nothing left to undo: nothing marked.
    g_docModified = 0;
    UndoSoundChanges();
    EXPECT_EQ(g_docModified, 0);
}

// Reset writes the new-song values of indices 6 to 60; the split sets,
// the samples (indices 0 to 5) and the name stay.
TEST_F(SoundCommandsTest, ResetKnobsWritesTheNewSongValuesAndKeepsSamplesAndName) {
    struct Reset {
        int index;
        uint8_t value;
    };
    const Reset resets[] = {
        {6, 1},   {7, 0},   {8, 0},   {9, 0},   {10, 0},  {11, 0},  {12, 0},  {13, 0},  {14, 1},  {15, 0},
        {16, 0},  {17, 0},  {18, 0},  {19, 0},  {20, 0},  {21, 0},  {22, 0},  {23, 1},  {24, 1},  {25, 0},
        {26, 0},  {27, 0},  {28, 0},  {29, 0},  {30, 0},  {31, 0},  {32, 0},  {33, 80}, {34, 1},  {35, 0},
        {36, 80}, {37, 0},  {38, 0},  {39, 20}, {40, 0},  {41, 1},  {42, 80}, {43, 40}, {44, 40}, {45, 1},
        {46, 0},  {47, 80}, {48, 0},  {49, 0},  {50, 0},  {51, 1},  {52, 40}, {53, 40}, {54, 1},  {55, 0},
        {56, 1},  {57, 0},  {58, 80}, {59, 40}, {60, 1},
    };
    const auto before = Column(kSound);
    ResetSoundKnobs();
    for (const Reset& r : resets) EXPECT_EQ(g_soundBank[Ref(r.index)][kSound], r.value) << "index " << r.index;
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(g_soundBank[Ref(i)][kSound], before[size_t(Ref(i))]) << "index " << i;
    EXPECT_EQ(g_soundNames[kSound], "BRASS 2");
    ExpectLiveKnobsHold(kSound);
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 0) << "tunes at their centre";
    EXPECT_EQ(g_docModified, 1);

    g_docModified = 0;
    ResetSoundKnobs();
    EXPECT_EQ(g_docModified, 0) << "a sound already reset";
}

// The reference generator: the C standard's portable rand, seeded by srand.
class ReferenceRand {
public:
    explicit ReferenceRand(uint32_t seed) : next_(seed) {}
    uint32_t operator()() {
        next_ = next_ * 1103515245u + 12345u;
        return (next_ / 65536u) % 32768u;
    }

private:
    uint32_t next_;
};

// One draw per entry in the drawing order of indices, rand mod n (+ 1 for
// the selectors); then oscillator 3 off when oscillator 2 is off.
std::array<uint8_t, kSoundParams> ExpectedRandomSound(const std::array<uint8_t, kSoundParams>& before,
                                                      uint32_t seed) {
    struct Draw {
        int index, n, plus;
    };
    const Draw draws[] = {
        {60, 5, 1}, {59, 80, 0}, {56, 2, 0},  {58, 80, 0}, {57, 80, 0}, {55, 2, 0},  {54, 5, 1},  {53, 80, 0},
        {52, 80, 0}, {51, 2, 0}, {50, 80, 0}, {49, 2, 0},  {48, 2, 0},  {47, 80, 0}, {46, 2, 0},  {45, 5, 1},
        {44, 80, 0}, {43, 80, 0}, {42, 80, 0}, {40, 80, 0}, {39, 80, 0}, {38, 80, 0}, {37, 80, 0}, {36, 80, 0},
        {35, 2, 0},  {33, 80, 0}, {32, 80, 0}, {34, 5, 1},  {31, 80, 0}, {30, 80, 0}, {29, 80, 0}, {28, 80, 0},
        {27, 80, 0}, {26, 2, 0},  {25, 2, 0},  {24, 4, 1},  {23, 4, 1},  {22, 80, 0}, {21, 80, 0}, {20, 2, 0},
        {14, 6, 1},  {19, 80, 0}, {18, 80, 0}, {17, 80, 0}, {16, 80, 0}, {15, 80, 0}, {13, 80, 0}, {12, 80, 0},
        {11, 80, 0}, {10, 80, 0}, {7, 80, 0},
    };
    auto s = before;
    ReferenceRand rand(seed);
    for (const Draw& d : draws) s[size_t(Ref(d.index))] = uint8_t(rand() % uint32_t(d.n) + uint32_t(d.plus));
    for (int i : {9, 0, 1, 2, 3, 4, 5}) s[size_t(Ref(i))] = 0;
    if (s[size_t(Ref(55))] == 0) s[size_t(Ref(46))] = 0;
    return s;
}

TEST_F(SoundCommandsTest, RandomizeDrawsInTheTablesOrderFromTheSecondsOfTheClock) {
    const auto before = Column(kSound);
    RandomizeSound();
    EXPECT_EQ(Column(kSound), ExpectedRandomSound(before, uint32_t(seconds)));
    ExpectLiveKnobsHold(kSound);
    EXPECT_EQ(g_soundNames[kSound], "BRASS 2");
    EXPECT_EQ(g_docModified, 1);

    // Within the same second: the same sound again, so nothing changes.
    const auto first = Column(kSound);
    g_docModified = 0;
    RandomizeSound();
    EXPECT_EQ(Column(kSound), first);
    EXPECT_EQ(g_docModified, 0);

    seconds += 1;
    RandomizeSound();
    EXPECT_NE(Column(kSound), first);
}

// Over many seconds: no knob at 80, never the sample wave, oscillator 3 never
// on while oscillator 2 is off; samples 0, split sets none, the note timer
// off; the mixer channel, the legato switch and index 41 kept.
TEST_F(SoundCommandsTest, RandomizeStaysInsideEachParametersRange) {
    const auto before = Column(kSound);
    bool sawOsc2Off = false, sawOsc3On = false;
    for (int k = 0; k < 400; ++k) {
        seconds = 1000000 + k * 7919;
        RandomizeSound();
        for (int i = 7; i <= 60; ++i) {
            const uint8_t v = g_soundBank[Ref(i)][kSound];
            if (i == 8 || i == 41) EXPECT_EQ(v, before[size_t(Ref(i))]) << i;
            else EXPECT_LT(v, 80) << i;
        }
        for (int i : {60, 54, 45}) {
            EXPECT_GE(g_soundBank[Ref(i)][kSound], 1) << i;
            EXPECT_LE(g_soundBank[Ref(i)][kSound], 5) << i;
        }
        for (int i = 0; i <= 5; ++i) EXPECT_EQ(g_soundBank[Ref(i)][kSound], 0) << i;
        EXPECT_EQ(g_soundBank[Ref(6)][kSound], before[size_t(Ref(6))]);
        EXPECT_EQ(g_soundBank[Ref(9)][kSound], 0);
        const bool osc2On = g_soundBank[kParamOsc2On][kSound] != 0;
        const bool osc3On = g_soundBank[kParamOsc3On][kSound] != 0;
        EXPECT_TRUE(osc2On || !osc3On);
        sawOsc2Off |= !osc2On;
        sawOsc3On |= osc3On;
        EXPECT_EQ(g_liveKnobs[kParamOsc3On], osc3On ? 1 : 0);
    }
    EXPECT_TRUE(sawOsc2Off && sawOsc3On) << "both branches of the oscillator 3 rule seen";
}

}  // namespace
