// Note start, control tick and chunk step of a voice, read back from its state.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/sound_params.h"
#include "engine/tables.h"
#include "shared/fixed.h"
#include "tests/engine/voice_fixture.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
// Tune scaling: floor(K x 10,066,329 / 65,536).
int32_t Tune(int k) { return static_cast<int32_t>(FloorDiv(int64_t{k} * 10066329, 65536)); }

class NoteStartTest : public VoiceTest {};
class ControlTickTest : public VoiceTest {};
class ChunkStepTest : public VoiceTest {};

// --- Note start --------------------------------------------------------------

TEST_F(NoteStartTest, CountdownStartsTheNote239Or255FramesAfterTheNoteOn) {
    for (int countdown : {240, 256}) {
        SetUp();
        VoiceState& vs = V();
        vs.sound = vs.pendingSound = kSound;
        vs.pendingKey = 60;
        vs.noteOnCountdown = countdown;  // written in frame 0 by the note-on
        int startFrame = -1;
        for (int f = 0; f < 300 && startFrame < 0; ++f) {
            StartNote(kVoice);
            if (vs.noteOnCountdown == 0) startFrame = f;
        }
        EXPECT_EQ(startFrame, countdown - 1) << countdown;
        EXPECT_EQ(vs.voiceGain, 0x7E000000u);
        EXPECT_EQ(vs.key, 60);
        EXPECT_EQ(vs.controlCounter, 0);
    }
}

TEST_F(NoteStartTest, RenderCallStartsAQueuedNoteAt239Frames) {
    VoiceState& vs = V();
    vs.sound = vs.pendingSound = kSound;
    vs.pendingKey = 60;
    vs.noteOnCountdown = 240;  // as a note-on event leaves it before frame 0's step
    Render(239);
    EXPECT_EQ(vs.noteOnCountdown, 1);
    EXPECT_EQ(vs.voiceGain, 0u);
    Render(1);
    EXPECT_EQ(vs.noteOnCountdown, 0);
    EXPECT_EQ(vs.voiceGain, 0x7E000000u);
    // The control tick of the start frame has loaded the wave and the pitch.
    EXPECT_EQ(vs.osc1Wave, 1u);
    EXPECT_EQ(vs.osc1BasePitch, 60 * 256 + 6143);
}

TEST_F(NoteStartTest, ZeroAmplifierGainNeverStarts) {
    Set(kParamAmpGain, 0);
    VoiceState& vs = V();
    vs.sound = 2;  // the previous note's sound
    vs.voiceGain = 0x40000000;
    for (int f = 0; f < 10; ++f) {
        StartFrame(60);
        EXPECT_EQ(vs.noteOnCountdown, 1) << "the attempt repeats every frame";
        EXPECT_EQ(vs.sound, kSound);
    }
    EXPECT_EQ(vs.ampEnv, 0u) << "nothing was loaded";

    // Any of knob, modulation offset or per-note offset lets it start.
    Mod(kModAmpGain, 1);
    StartFrame(60);
    EXPECT_EQ(vs.noteOnCountdown, 0);
    EXPECT_EQ(vs.ampLevel, 1 * 16 / 41);
}

TEST_F(NoteStartTest, ScalesTheSoundParameters) {
    struct Case {
        const char* what;
        void (*setup)();
        int32_t (*field)();
        int64_t expected;
    };
    const Case cases[] = {
        {"tune centre", [] {}, [] { return V().osc1Tune; }, 6143},
        {"tune 80", [] { Set(kParamOsc1Tune, 80); }, [] { return V().osc1Tune; }, 12287},
        {"tune 80 + offset 80", [] { Set(kParamOsc1Tune, 80); Mod(kModOsc1Tune, 80); },
         [] { return V().osc1Tune; }, 24575},
        {"tune 0", [] { Set(kParamOsc1Tune, 0); }, [] { return V().osc1Tune; }, 0},
        {"tune 2 + fine 50", [] { Set(kParamOsc2Tune, 2); Set(kParamOsc2FineTune, 50); },
         [] { return V().osc2Tune; }, Tune(2) + 10 * 4},
        {"osc 3 tune + fine 0", [] { Set(kParamOsc3Tune, 57); Set(kParamOsc3FineTune, 0); },
         [] { return V().osc3Tune; }, Tune(57) - 160},
        {"amp gain 80 + note offset 79", [] { Set(kParamAmpGain, 80); V().ampGainOffset = 79; },
         [] { return V().ampLevel; }, 31},
        {"amp gain 40", [] { Set(kParamAmpGain, 40); }, [] { return V().ampLevel; }, 15},
        {"amp attack 40", [] { Set(kParamAmpAttack, 40); },
         [] { return static_cast<int32_t>(V().ampAttackRate); }, 283},
        {"amp decay 10", [] { Set(kParamAmpDecay, 10); },
         [] { return static_cast<int32_t>(V().ampDecayRate); }, 500},
        {"amp release 0 + offset 10", [] { Mod(kModAmpRelease, 10); },
         [] { return static_cast<int32_t>(V().ampReleaseRate); }, 500},
        {"amp sustain 40 at level 31", [] { Set(kParamAmpSustain, 40); },
         [] { return static_cast<int32_t>(V().ampSustainLevel); },
         static_cast<int32_t>(40u * 1599078u * 31u)},
        {"cutoff 80 + offsets 80, 79", [] {
             Set(kParamFilterOn, 1); Set(kParamFilterCutoff, 80); Mod(kModFilterCutoff, 80);
             V().cutoffOffset = 79; },
         [] { return V().cutoffBase; }, 0x1FFE},
        {"cutoff 0, key tracking, key 36", [] {
             Set(kParamFilterOn, 1); Set(kParamFilterKeyTrack, 1); V().pendingKey = 36; },
         [] { return V().cutoffSmooth; }, (36 - 24) * 64},
        {"cutoff 40 + offset 3", [] { Set(kParamFilterOn, 1); Set(kParamFilterCutoff, 40);
                                      V().cutoffOffset = 3; },
         [] { return V().cutoffBase; }, 43 * 93},
        {"filter gain 70 + offset 20 limited", [] {
             Set(kParamFilterOn, 1); Set(kParamFilterGain, 70); V().filterEnvGainOffset = 20; },
         [] { return V().filterEnvLevel; }, 31},
        {"filter off leaves the cutoff", [] { V().cutoffBase = 1234; },
         [] { return V().cutoffBase; }, 1234},
        {"pulse width 0", [] {}, [] { return static_cast<int32_t>(V().osc1PulseWidth); }, 0x1000020},
        {"pulse width 80", [] { Set(kParamOsc1PulseWidth, 80); },
         [] { return static_cast<int32_t>(V().pulseWidthSmooth); }, INT32_MIN},
        {"pulse width 80 + offset 80", [] { Set(kParamOsc1PulseWidth, 80); Mod(kModOsc1PulseWidth, 80); },
         [] { return static_cast<int32_t>(V().osc1PulseWidth); }, static_cast<int32_t>(0xFEFFFFE0u)},
        {"osc 2 volume 80", [] { Set(kParamOsc2Volume, 80); }, [] { return V().osc2VolumeBase; },
         0x7FFFFFD0},
        {"osc 3 volume 60 + offset 60", [] { Set(kParamOsc3Volume, 60); Mod(kModOsc3Volume, 60); },
         [] { return static_cast<int32_t>(V().osc3Volume); }, 0x7FFFFFD0},
        {"channel 8", [] { Set(kParamChannel, 8); }, [] { return static_cast<int32_t>(V().bus); }, 7},
        {"channel 0 plays on bus 0", [] { Set(kParamChannel, 0); },
         [] { return static_cast<int32_t>(V().bus); }, 0},
        {"channel 9 plays on bus 0", [] { Set(kParamChannel, 9); },
         [] { return static_cast<int32_t>(V().bus); }, 0},
        {"channel 255 plays on bus 0", [] { Set(kParamChannel, 255); },
         [] { return static_cast<int32_t>(V().bus); }, 0},
        {"vibrato delay 10", [] { Set(kParamVibratoDelay, 10); }, [] { return V().vibratoDelay; }, 160},
        {"gate time 5", [] { Set(kParamGateTime, 5); }, [] { return V().gateTimer; }, 10},
        {"distortion 60 + offset 60", [] { Set(kParamDistortion, 60); Mod(kModDistortion, 60); },
         [] { return static_cast<int32_t>(V().drive); }, 80 << 18},
        {"user envelope gain 41", [] { Set(kParamUserEnvOn, 1); Set(kParamUserEnvGain, 41);
                                       Set(kParamUserEnvDestination, 6); },
         [] { return V().userEnvLevel; }, 16},
        {"user envelope destination", [] { Set(kParamUserEnvOn, 1); Set(kParamUserEnvDestination, 6); },
         [] { return V().userEnvTarget; }, 6},
        {"user envelope off: target 0, level kept", [] {
             Set(kParamUserEnvDestination, 6); Set(kParamUserEnvGain, 80); V().userEnvTarget = 3;
             V().userEnvLevel = 9; },
         [] { return V().userEnvTarget * 100 + V().userEnvLevel; }, 9},
    };
    for (const Case& c : cases) {
        SetUp();
        c.setup();
        NoteStartOnly(V().pendingKey != 0 ? V().pendingKey : 60);
        ASSERT_EQ(V().noteOnCountdown, 0) << c.what;
        EXPECT_EQ(c.field(), c.expected) << c.what;
    }
}

TEST_F(NoteStartTest, ClearsTheNoteStateButKeepsTheLfoAndNoise) {
    VoiceState& vs = V();
    vs.osc1Phase = 5;
    vs.osc1History[2] = 7;
    vs.osc2Out[1] = 9;
    vs.osc3SampleFrac = 11;
    vs.ampStage = 1;
    vs.userEnvReleasePhase = 3;
    vs.filterMem2Y1 = 13;
    vs.resonanceHalved = 1;
    vs.fading = 4;
    vs.vibratoPhase = 99;
    vs.lfoPhase = 1234;
    vs.lfoRandomSeed = 77;
    vs.osc1NoiseSeed = 55;
    vs.osc1SyncMask = 5;
    vs.glidePitch = 4000;
    NoteStartOnly(60);
    EXPECT_EQ(vs.osc1Phase, 0u);
    EXPECT_EQ(vs.osc1History[2], 0);
    EXPECT_EQ(vs.osc2Out[1], 0);
    EXPECT_EQ(vs.osc3SampleFrac, 0u);
    EXPECT_EQ(vs.ampStage, 0);
    EXPECT_EQ(vs.userEnvReleasePhase, 0u);
    EXPECT_EQ(vs.filterMem2Y1, 0);
    EXPECT_EQ(vs.resonanceHalved, 0);
    EXPECT_EQ(vs.fading, 0u);
    EXPECT_EQ(vs.vibratoPhase, 0u);
    EXPECT_EQ(vs.ampGate, 1);
    EXPECT_EQ(vs.filterEnvGate, 1);
    EXPECT_EQ(vs.userEnvGate, 1);
    EXPECT_EQ(vs.ampEnv, 2u);
    // Not touched by a note start.
    EXPECT_EQ(vs.lfoPhase, 1234u);
    EXPECT_EQ(vs.lfoRandomSeed, 77);
    EXPECT_EQ(vs.osc1NoiseSeed, 55u);
    EXPECT_EQ(vs.osc1SyncMask, 5u);
    EXPECT_EQ(vs.glidePitch, 4000) << "no glide-from value: the glide pitch stays";

    vs.pendingGlideFrom = 48 * 256;
    NoteStartOnly(60);
    EXPECT_EQ(vs.glidePitch, 48 * 256);
    EXPECT_EQ(vs.pendingGlideFrom, 48 * 256) << "not cleared";
}

TEST_F(NoteStartTest, SampleChoiceFromSplitSetOrSampleNumber) {
    Set(kParamOsc1Wave, 6);
    Set(kParamOsc2Wave, 6);
    Set(kParamOsc3Wave, 6);
    Set(kParamOsc1SplitSet, 3);
    Set(kParamOsc2SplitSet, 3);
    Set(kParamOsc3SplitSet, 3);
    Set(kParamOsc1KeyTrack, 0);  // oscillators 1 and 2 subtract the position transpose
    Set(kParamOsc2KeyTrack, 0);
    const int set3 = 2 * 128;
    g_splitSample[set3 + 62] = 10;
    g_splitTranspose[set3 + 62] = -2;
    g_splitSample[set3 + 60] = 20;
    g_splitTranspose[set3 + 60] = 5;
    V().positionTranspose = 2;
    NoteStartOnly(62);
    EXPECT_EQ(V().osc1Sample, 20u);
    EXPECT_EQ(V().osc1SplitTranspose, 5 * 256);
    EXPECT_EQ(V().osc2Sample, 20u);
    EXPECT_EQ(V().osc3Sample, 10u) << "oscillator 3 uses the transposed key";
    EXPECT_EQ(V().osc3SplitTranspose, -2 * 256);

    // With key tracking on, oscillator 1 also uses the played key.
    Set(kParamOsc1KeyTrack, 1);
    NoteStartOnly(62);
    EXPECT_EQ(V().osc1Sample, 10u);

    // Split set 0: the direct sample number, no transpose.
    Set(kParamOsc1SplitSet, 0);
    Set(kParamOsc1Sample, 42);
    NoteStartOnly(62);
    EXPECT_EQ(V().osc1Sample, 42u);
    EXPECT_EQ(V().osc1SplitTranspose, 0);

    // A wave other than 6 in the bank leaves the sample field alone.
    Set(kParamOsc1Wave, 1);
    Set(kParamOsc1Sample, 43);
    NoteStartOnly(62);
    EXPECT_EQ(V().osc1Sample, 42u);
}

TEST_F(NoteStartTest, SplitGuardsStayInsideTheTables) {
    Set(kParamOsc1Wave, 6);
    Set(kParamOsc1Sample, 9);
    // Split set 33 does not exist: the direct sample number.
    Set(kParamOsc1SplitSet, 33);
    NoteStartOnly(60);
    EXPECT_EQ(V().osc1Sample, 9u);
    EXPECT_EQ(V().osc1SplitTranspose, 0);

    // Keys beyond the set are held at its ends: the last set's key 127 and its
    // first key 0.
    Set(kParamOsc1SplitSet, 32);
    g_splitSample[31 * 128 + 127] = 77;
    g_splitSample[31 * 128 + 0] = 66;
    V().pendingKey = 200;
    NoteStartOnly(200);
    EXPECT_EQ(V().osc1Sample, 77u);
    V().positionTranspose = 24;
    Set(kParamOsc1KeyTrack, 0);
    NoteStartOnly(10);  // 10 - 24 < 0
    EXPECT_EQ(V().osc1Sample, 66u);

    // A split entry that is no sample number reads as no sample.
    g_splitSample[31 * 128 + 0] = 4096;
    NoteStartOnly(10);
    EXPECT_EQ(V().osc1Sample, 255u);
}

TEST_F(NoteStartTest, StartOffsetPlacesTheSamplePosition) {
    Set(kParamOsc1Wave, 6);
    struct Case {
        uint32_t sample, length;
        int percent;
        int32_t pos;
    } const cases[] = {
        {4, 1000, 50, 500},
        {4, 99, 70, 0},      // 99 / 100 is 0
        {4, 12345, 99, 123 * 99},
        {255, 0, 50, 0},    // no sample: no position
        {4, 1000, 0, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        Set(kParamOsc1Wave, 6);
        Set(kParamOsc1Sample, static_cast<int>(c.sample));
        if (c.length != 0) Sample(static_cast<int>(c.sample), std::vector<int16_t>(c.length, 1), c.length);
        V().sampleStartPercent = c.percent;
        V().osc1SamplePos = 777;
        NoteStartOnly(60);
        EXPECT_EQ(V().osc1SamplePos, c.pos) << c.length << " " << c.percent;
    }
}

TEST_F(NoteStartTest, SoundsBeyondTheBankAreSilent) {
    // A note-on carrying sound 200: the voice reads an empty sound.
    V().ampGainOffset = 60;
    EXPECT_FALSE(StartFrame(60, 200));
    EXPECT_EQ(V().sound, 200);
    EXPECT_EQ(V().osc1Wave, 0u) << "no oscillator, so no audio";
    for (int f = 0; f < 200; ++f) EXPECT_FALSE(Frame());
    // The next note with a real sound plays.
    EXPECT_TRUE(StartFrame(60, kSound));
}

// --- Control tick --------------------------------------------------------------

TEST_F(ControlTickTest, BasePitchOfAKey) {
    struct Case {
        int key, tune, keyTrack;
        int32_t expected;
    } const cases[] = {
        {60, 40, 1, 60 * 256 + 6143},  // 21,503
        {0, 40, 1, 6143},
        {60, 40, 0, 18429},             // tune x 3 for every key
        {107, 40, 0, 18429},
        {-30, 40, 1, 0},                // below 0
        {-1, 0, 1, 0},
        {150, 80, 1, 0x9800},           // above the top
        {60, 0, 1, 60 * 256},
    };
    for (const Case& c : cases) {
        SetUp();
        Set(kParamOsc1Tune, c.tune);
        Set(kParamOsc1KeyTrack, c.keyTrack);
        StartFrame(c.key);
        EXPECT_EQ(V().osc1BasePitch, c.expected) << c.key << " " << c.tune << " " << c.keyTrack;
        EXPECT_EQ(V().osc1Pitch, static_cast<uint32_t>(c.expected));
    }
}

TEST_F(ControlTickTest, KeyAtCentreTunePlaysItsFrequency) {
    // C-4 (key 48) at centre tune: pitch index 48 x 256 + 6,143, one 1/256 semitone
    // below 16.3516 Hz x 2^4.
    ASSERT_TRUE(StartFrame(48));
    EXPECT_EQ(V().osc1Pitch, 18431u);
    const double hz = 16.3516 * 16.0 * std::pow(2.0, -1.0 / 3072.0);
    const double step = hz * 4294967296.0 / 44100.0;
    EXPECT_NEAR(g_phaseStepTable[18431], step, step * 2e-4);
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Phase, 4u * g_phaseStepTable[18431]);

    // Oscillators 2 and 3 at their centre tunes with a transpose: key + transpose.
    Set(kParamOsc2On, 1);
    Set(kParamOsc2Wave, 1);
    Set(kParamOsc3On, 1);
    Set(kParamOsc3Wave, 1);
    StartFrame(48);
    V().osc2Transpose = 4 * 256;
    V().osc3Transpose = 7 * 256;
    ToNextTick();
    EXPECT_EQ(V().osc2BasePitch, 52 * 256 + 6143);
    EXPECT_EQ(V().osc3Pitch, 55u * 256 + 6143);
    // Oscillator 2 without key tracking: tune x 3; oscillator 3 always follows the key.
    Set(kParamOsc2KeyTrack, 0);
    ToNextTick();
    EXPECT_EQ(V().osc2BasePitch, 18429);
}

TEST_F(ControlTickTest, GlideMovesByItsShareOfTheDistance) {
    Set(kParamPortamento, 80);
    V().pendingGlideFrom = 48 * 256;
    StartFrame(60);
    // The start frame's tick has taken the first step already.
    int32_t expected = 48 * 256;
    const int32_t target = 60 * 256;
    auto next = [&](int32_t g, int speed) {
        int64_t s = FloorDiv(int64_t{target - g} * (81 - speed), 512);
        return g + static_cast<int32_t>(s == 0 ? 1 : s);
    };
    expected = next(expected, 80);
    EXPECT_EQ(V().glidePitch, expected);
    for (int t = 0; t < 50; ++t) {
        ToNextTick();
        expected = next(expected, 80);
        ASSERT_EQ(V().glidePitch, expected) << t;
    }
    EXPECT_EQ(V().osc1BasePitch, expected + 6143);

    // A slide command stands in for the knob.
    V().slideSpeed = 55;
    ToNextTick();
    expected = next(expected, 55);
    EXPECT_EQ(V().glidePitch, expected);

    // At the target the glide alternates between the target and one above.
    V().glidePitch = target;
    ToNextTick();
    EXPECT_EQ(V().glidePitch, target + 1);
    ToNextTick();
    EXPECT_EQ(V().glidePitch, target);

    // Portamento 0 without a slide jumps.
    V().slideSpeed = 0;
    Set(kParamPortamento, 0);
    V().pendingGlideFrom = 30 * 256;
    StartFrame(60);
    EXPECT_EQ(V().glidePitch, target);
}

TEST_F(ControlTickTest, VibratoDelayCountsOnlyWithDepth) {
    // Depth 0: the delay does not run down.
    Set(kParamVibratoDelay, 10);
    Set(kParamVibratoRate, 80);
    StartFrame(60);
    for (int tick = 0; tick < 20; ++tick) ToNextTick();
    EXPECT_EQ(V().vibratoDelay, 160);
    EXPECT_EQ(V().vibratoPhase, 0u);

    // With depth the sound's vibrato starts 160 ticks (10,240 frames) after the
    // note start.
    Set(kParamVibratoDepth, 80);
    StartFrame(60);
    int frames = 0;
    while (V().vibratoPhase == 0) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 160 * 64);
    const uint32_t step = 80u << 20;
    EXPECT_EQ(V().vibratoPhase, step);
    EXPECT_EQ(V().osc1Tune, 6143) << "the first vibrato tick reads the phase 0";
    ToNextTick();
    const int32_t vib = hi(g_triangleTable[step >> 19], 80 * 8);  // +-C x 4 at most
    EXPECT_EQ(vib, static_cast<int32_t>(FloorDiv(int64_t{1048575} * 160 * 640, int64_t{1} << 32)));
    EXPECT_EQ(V().osc1Tune, 6143 + static_cast<int32_t>(FloorDiv(vib, 16)));
    EXPECT_EQ(V().vibratoPhase, 2 * step);

    // A vibrato command overrides the knobs and ignores the delay; pitch bend adds.
    StartFrame(60);
    V().vibratoRateCmd = 40;
    V().vibratoDepthCmd = 72;
    V().pitchBend = 320;
    ToNextTick();
    EXPECT_EQ(V().vibratoPhase, 40u << 20);
    EXPECT_EQ(V().vibratoDelay, 159) << "only the start frame's tick counted it";
    EXPECT_EQ(V().osc1Tune, 6143 + 320 / 16);
}

TEST_F(ControlTickTest, SmoothingStopsShortFromBelowAndReachesFromAbove) {
    StartFrame(60);
    Set(kParamOsc1Tune, 41);
    for (int t = 0; t < 200; ++t) ToNextTick();
    const int32_t gap = Tune(41) - V().osc1Tune;
    EXPECT_GE(gap, 1);
    EXPECT_LE(gap, 15);
    Set(kParamOsc1Tune, 40);
    for (int t = 0; t < 200; ++t) ToNextTick();
    EXPECT_EQ(V().osc1Tune, Tune(40));

    // The cutoff moves by 1/32 and stops up to 31 below.
    Set(kParamFilterOn, 1);
    Set(kParamFilterType, 1);
    Set(kParamFilterCutoff, 10);
    StartFrame(60);
    Set(kParamFilterCutoff, 11);
    ToNextTick();
    EXPECT_EQ(V().cutoffBase, 930 + 93 / 32);
    for (int t = 0; t < 300; ++t) ToNextTick();
    EXPECT_GE(11 * 93 - V().cutoffBase, 1);
    EXPECT_LE(11 * 93 - V().cutoffBase, 31);
    EXPECT_EQ(V().cutoff, V().cutoffBase);
}

TEST_F(ControlTickTest, OscillatorSwitches) {
    Set(kParamOsc2Wave, 3);
    Set(kParamOscSync, 1);
    Set(kParamRingMod, 1);
    Set(kParamOsc2FmAmount, 80);
    Set(kParamOsc3On, 1);
    Set(kParamOsc3Wave, 2);
    Set(kParamOsc3Volume, 40);
    // Oscillator 2 off: oscillator 3 is off too, whatever its switch; the FM depth
    // keeps its value.
    V().osc1FmDepthBase = 12345;
    StartFrame(60);
    EXPECT_EQ(V().osc2Wave, 0u);
    EXPECT_EQ(V().osc2Sync, 0u);
    EXPECT_EQ(V().osc2RingMod, 0u);
    EXPECT_EQ(V().osc3Wave, 0u);
    EXPECT_EQ(V().osc1FmDepthBase, 12345);

    Set(kParamOsc2On, 1);
    ToNextTick();
    EXPECT_EQ(V().osc2Wave, 3u);
    EXPECT_EQ(V().osc2Sync, 1u);
    EXPECT_EQ(V().osc2RingMod, 1u);
    EXPECT_EQ(V().osc3Wave, 2u);
    EXPECT_EQ(V().osc1FmDepthBase, 80 << 24);
    EXPECT_EQ(V().osc1FmDepth, 80 << 24);
    EXPECT_EQ(V().osc3Volume, static_cast<uint32_t>(40 * 0x1999999));

    Set(kParamOsc3On, 0);
    ToNextTick();
    EXPECT_EQ(V().osc3Wave, 0u);
}

TEST_F(ControlTickTest, PulseWidthGlidesOrSweeps) {
    Set(kParamOsc1Wave, 4);
    Set(kParamOsc1PulseWidth, 40);
    StartFrame(60);
    const uint32_t w40 = 40u * 0x1966666u + 0x1000020u;
    EXPECT_EQ(V().osc1PulseWidth, w40);
    EXPECT_EQ(V().osc1PulseOffset, w40);
    EXPECT_EQ(V().osc1PwmRate, 0u);

    Set(kParamOsc1PulseWidth, 80);
    ToNextTick();
    const uint32_t w80 = 0x80000000u;
    EXPECT_EQ(V().osc1PulseWidth, w40 + (w80 - w40) / 16);

    // A PWM knob hands the width over to the oscillator's sweep.
    Set(kParamOsc1Pwm, 1);
    const uint32_t before = V().osc1PulseWidth;
    ToNextTick();
    EXPECT_EQ(V().osc1PwmRate, 1u << 14);
    EXPECT_EQ(V().osc1PulseWidth, before);
}

TEST_F(ControlTickTest, ResonanceAndFilterType) {
    Set(kParamFilterOn, 1);
    Set(kParamFilterResonance, 80);
    Set(kParamFilterType, 1);
    StartFrame(60);
    EXPECT_EQ(V().resonance, 30);
    V().resonanceHalved = 1;
    ToNextTick();
    EXPECT_EQ(V().resonance, 15);
    V().resonanceHalved = 0;
    Set(kParamFilterResonance, 41);
    ToNextTick();
    EXPECT_EQ(V().resonance, static_cast<int32_t>((41ull * 0x63333332ull) >> 32));

    // Knob 0..5 through the type map; a change clears the six filter memories.
    const int32_t map[] = {0, 1, 4, 3, 2, 5};
    for (int knob = 0; knob <= 5; ++knob) {
        Set(kParamFilterType, knob);
        ToNextTick();
        EXPECT_EQ(V().filterType, map[knob]) << knob;
    }
    V().filterMem1Y1 = V().filterMem1Y2 = V().filterMem2Y1 = 5;
    V().filterMem2Y2 = V().filterMem3Y1 = V().filterMem3Y2 = 5;
    ToNextTick();  // same type: kept
    EXPECT_EQ(V().filterMem3Y2, 5);
    Set(kParamFilterType, 1);
    ToNextTick();
    EXPECT_EQ(V().filterType, 1);
    EXPECT_EQ(V().filterTypeActive, 1);
    for (int32_t m : {V().filterMem1Y1, V().filterMem1Y2, V().filterMem2Y1, V().filterMem2Y2,
                      V().filterMem3Y1, V().filterMem3Y2})
        EXPECT_EQ(m, 0);

    // Types beyond the knob's range read as the 12 dB low pass; filter off is 0.
    for (int knob : {6, 200}) {
        Set(kParamFilterType, knob);
        ToNextTick();
        EXPECT_EQ(V().filterType, 1) << knob;
    }
    Set(kParamFilterOn, 0);
    ToNextTick();
    EXPECT_EQ(V().filterType, 0);
}

TEST_F(ControlTickTest, LfoSettingsAndGuards) {
    Set(kParamLfoOn, 1);
    Set(kParamLfoShape, 2);
    Set(kParamLfoDepth, 80);
    Set(kParamLfoRate, 80);
    const int32_t targets[] = {0, 2, 3, 1, 4};
    for (int dest = 0; dest <= 4; ++dest) {
        Set(kParamLfoDestination, dest);
        StartFrame(60);
        EXPECT_EQ(V().lfoTarget, targets[dest]) << dest;
    }
    EXPECT_EQ(V().lfoShape, 2);
    EXPECT_EQ(V().lfoDepth, 0x78000000);
    EXPECT_EQ(V().lfoRate, 14796800);
    Set(kParamLfoRate, 0);
    Set(kParamLfoDepth, 1);
    ToNextTick();
    EXPECT_EQ(V().lfoRate, 51200);
    EXPECT_EQ(V().lfoDepth, 0x1800000);

    // Selectors beyond 4: no LFO, no target.
    Set(kParamLfoShape, 5);
    Set(kParamLfoDestination, 9);
    ToNextTick();
    EXPECT_EQ(V().lfoShape, 0);
    EXPECT_EQ(V().lfoTarget, 0);

    // LFO off clears only the target.
    Set(kParamLfoShape, 3);
    Set(kParamLfoDestination, 1);
    ToNextTick();
    Set(kParamLfoOn, 0);
    ToNextTick();
    EXPECT_EQ(V().lfoTarget, 0);
    EXPECT_EQ(V().lfoShape, 3);
}

TEST_F(ControlTickTest, GateTimeReleasesTheNote) {
    Set(kParamGateTime, 3);
    Set(kParamAmpRelease, 10);
    Set(kParamUserEnvOn, 1);
    Set(kParamUserEnvRelease, 0);
    StartFrame(60);
    int frame = 0;
    while (V().ampGate != 0 && frame < 10000) {
        Frame();
        ++frame;
    }
    EXPECT_EQ(frame, (2 * 3 - 1) * 64);
    EXPECT_EQ(V().filterEnvGate, 0);
    EXPECT_EQ(V().userEnvGate, 0);
    EXPECT_EQ(V().ampDecayRate, 500u);
    EXPECT_EQ(V().userEnvDecayRate, 3392u);
    EXPECT_EQ(V().ampStage, 0) << "the stages are left alone";
    EXPECT_EQ(V().gateTimer, 0);
}

TEST_F(ControlTickTest, DriveSmoothsTowardTheKnob) {
    Set(kParamDistortion, 1);
    StartFrame(60);
    EXPECT_EQ(V().drive, 1u << 18);
    Set(kParamDistortion, 80);
    ToNextTick();
    EXPECT_EQ(V().drive, (1u << 18) + ((80u << 18) - (1u << 18)) / 16);
}

// --- Chunk step -----------------------------------------------------------------

TEST_F(ChunkStepTest, AudioRunsOnlyInChunkFramesOfASoundingVoice) {
    EXPECT_TRUE(StartFrame(60));
    int due = 0;
    for (int f = 1; f <= 64; ++f) due += Frame() ? 1 : 0;
    EXPECT_EQ(due, 16);
    // Idle voice, silent voice, no oscillator: nothing.
    V().osc1Wave = 0;
    V().controlCounter = 5;
    EXPECT_FALSE(ChunkOnly());
    Set(kParamOsc1Wave, 0);
    EXPECT_FALSE(StartFrame(60));
    Set(kParamOsc1Wave, 1);
    EXPECT_TRUE(StartFrame(60));
    V().voiceGain = 0;
    EXPECT_FALSE(ChunkOnly());
    V().sound = 0;
    V().voiceGain = 0x7E000000;
    EXPECT_FALSE(StartNote(kVoice));
}

TEST_F(ChunkStepTest, FadeLasts63Chunks) {
    StartFrame(60);
    V().fading = 1;
    int chunks = 0;
    while (ChunkOnly()) {
        ++chunks;
        EXPECT_EQ(V().voiceGain, 0x7E000000u - chunks * 0x2000000u);
        ASSERT_LT(chunks, 100);
    }
    EXPECT_EQ(chunks, 63) << "the chunk in which the gain reaches 0 still renders";
    EXPECT_EQ(V().voiceGain, 0u);
}

// User envelope: a set-up with FM depth as destination, so osc1FmDepth = E >> 1.
class UserEnvelopeTest : public VoiceTest {
protected:
    void SetUp() override {
        VoiceTest::SetUp();
        Set(kParamOsc2On, 1);
        Set(kParamUserEnvOn, 1);
        Set(kParamUserEnvGain, 80);    // level 31
        Set(kParamUserEnvAttack, 40);  // 283 per chunk
        Set(kParamUserEnvDecay, 40);   // 87 per chunk
        Set(kParamUserEnvSustain, 40);
        Set(kParamUserEnvRelease, 10);  // 500 per chunk
        Set(kParamUserEnvDestination, 1);
        StartFrame(60);
    }
    static uint32_t E() { return static_cast<uint32_t>(V().osc1FmDepth) << 1; }
    static const uint32_t* Fall() { return g_shapeFallLine[31]; }
};

TEST_F(UserEnvelopeTest, AttackDecaySustainRelease) {
    VoiceState& vs = V();
    EXPECT_EQ(vs.userEnvLevel, 31);
    const uint32_t sustain = 40u * 1599078u * 31u;
    EXPECT_EQ(vs.userEnvSustainLevel, sustain);
    // The start frame's chunk read attack entry 0.
    EXPECT_EQ(E(), g_shapeRiseLine[31][0] & ~1u);
    EXPECT_EQ(vs.userEnvAttackPhase, 283u);

    // Attack: reads with the phase before the step.
    vs.userEnvAttackPhase = 0x7FF00;
    ChunkOnly();
    const uint32_t peak = g_shapeRiseLine[31][0x7FF];
    EXPECT_EQ(E(), peak & ~1u);
    EXPECT_EQ(vs.userEnvPeak, peak);

    // Bit 19 set: the decay runs in the same chunk.
    ChunkOnly();
    EXPECT_EQ(vs.userEnvStage, -1);
    EXPECT_EQ(vs.userEnvDecayPhase, 87u);
    EXPECT_EQ(E(), (sustain + hiu(peak - sustain, Fall()[0])) & ~1u);

    // End of the decay: sustain value, and the held sustain reads fall entry 0.
    vs.userEnvDecayPhase = 0x80000;
    ChunkOnly();
    EXPECT_EQ(vs.userEnvStage, 1);
    EXPECT_EQ(vs.userEnvValue, sustain);
    EXPECT_EQ(E(), hiu(sustain, Fall()[0]) & ~1u);
    EXPECT_EQ(vs.userEnvReleasePhase, 0u);

    // Release: steps first, then reads.
    vs.userEnvGate = 0;
    vs.userEnvReleasePhase = 0x7BFFF;
    ChunkOnly();
    EXPECT_EQ(vs.userEnvReleasePhase, 0x7BFFFu + 500);
    EXPECT_EQ(E(), hiu(sustain, Fall()[((0x7BFFF + 500) >> 8) & 0x7FF]) & ~1u);

    // Once the release phase has reached 0x7C000 the envelope has ended: E is 0.
    ChunkOnly();
    EXPECT_EQ(E(), 0u);
    EXPECT_EQ(vs.userEnvReleasePhase, 0x7BFFFu + 500);
    vs.userEnvReleasePhase = 0x7C000;
    ChunkOnly();
    EXPECT_EQ(vs.osc1FmDepth, 0);
}

TEST_F(UserEnvelopeTest, Destinations) {
    VoiceState& vs = V();
    // A fixed E: attack at entry 0x400 of row 31.
    const uint32_t e = g_shapeRiseLine[31][0x400];
    struct Case {
        int dest;
        int32_t (*field)();
        int64_t expected;
    };
    const int32_t basePitch = 60 * 256 + 6143;
    const Case cases[] = {
        {1, [] { return V().osc1FmDepth; }, e >> 1},
        {2, [] { return static_cast<int32_t>(V().osc1PulseOffset); },
         static_cast<int32_t>((e >> 1) + 0x1000020u)},
        {3, [] { return static_cast<int32_t>(V().osc1Pitch); },
         std::min<int64_t>(0x9800, (e >> 17) + basePitch)},
        {4, [] { return static_cast<int32_t>(V().osc2Pitch); },
         std::min<int64_t>(0x9800, (e >> 17) + basePitch)},
        {5, [] { return static_cast<int32_t>(V().osc2Volume); },
         g_shapeRiseCurve[31][(e >> 21) & 0x7FF] >> 1},
        {6, [] { return V().cutoff; }, std::min<int64_t>(0x1FFE, (e >> 19) + 40 * 93)},
        {7, [] { return V().osc1FmDepth; }, 0},  // only the copies
    };
    for (const Case& c : cases) {
        SetUp();
        Set(kParamUserEnvDestination, c.dest);
        Set(kParamFilterOn, 1);
        Set(kParamFilterType, 1);
        Set(kParamFilterCutoff, 40);
        StartFrame(60);
        vs.userEnvAttackPhase = 0x40000;
        ChunkOnly();
        EXPECT_EQ(c.field(), c.expected) << c.dest;
    }
}

TEST_F(UserEnvelopeTest, GainZeroGivesNothingAndDoesNotAdvance) {
    Set(kParamUserEnvGain, 0);
    Set(kParamUserEnvDestination, 5);
    Set(kParamOsc2Volume, 80);
    StartFrame(60);
    for (int i = 0; i < 5; ++i) ChunkOnly();
    EXPECT_EQ(V().osc2Volume, g_shapeRiseCurve[31][0] >> 1) << "E = 0 replaces the volume knob";
    EXPECT_LT(V().osc2Volume, 8u);
    EXPECT_EQ(V().userEnvAttackPhase, 0u);
}

TEST_F(ChunkStepTest, LfoStepsEvery16FramesAndAppliesEveryChunk) {
    Set(kParamLfoOn, 1);
    Set(kParamLfoShape, 1);
    Set(kParamLfoDepth, 80);
    Set(kParamLfoRate, 40);
    Set(kParamLfoDestination, 1);  // oscillator 1 pitch
    StartFrame(60);
    VoiceState& vs = V();
    const int32_t base = vs.osc1BasePitch;
    const int32_t rate = 45 * 45 << 11;
    vs.lfoPhase = 0x12345678;
    vs.chunkCount = 0;
    ChunkOnly();
    const int32_t value = hi(g_lfoWaveTables[0x12345678u >> 22], 0x78000000);
    EXPECT_EQ(vs.lfoValue, value);
    EXPECT_EQ(vs.lfoPhase, 0x12345678u + rate);
    EXPECT_EQ(vs.osc1Pitch, static_cast<uint32_t>(std::clamp(base + (value >> 16), 0, 0x9800)));

    // Chunks with chunkCount not 0 keep the value and still apply it.
    for (int count : {1, 2, 3}) {
        vs.chunkCount = count;
        ChunkOnly();
        EXPECT_EQ(vs.lfoPhase, 0x12345678u + rate);
        EXPECT_EQ(vs.osc1Pitch, static_cast<uint32_t>(std::clamp(base + (value >> 16), 0, 0x9800)));
    }

    // Ramp and square read their own thirds of the table.
    for (int shape : {2, 3}) {
        vs.lfoShape = shape;
        vs.lfoPhase = 0x80000000u;
        vs.chunkCount = 0;
        ChunkOnly();
        EXPECT_EQ(vs.lfoValue, hi(g_lfoWaveTables[(shape - 1) * 1024 + 512], 0x78000000));
    }
}

TEST_F(ChunkStepTest, LfoTargetsAndLimits) {
    struct Case {
        int dest;
        int32_t value;
        int32_t (*field)();
        int64_t expected;
    };
    const int32_t pitch = 60 * 256 + 6143;
    const Case cases[] = {
        {3, 0x40000000, [] { return V().osc1PulseOffset == 0x1000020u + 0x40000000u ? 1 : 0; }, 1},
        {1, -0x7FFFFFFF, [] { return static_cast<int32_t>(V().osc1Pitch); },
         std::max(0, pitch + (-0x7FFFFFFF >> 16))},
        {1, 0x7FFFFFFF, [] { return static_cast<int32_t>(V().osc1Pitch); }, 0x9800},
        {2, -0x100000, [] { return static_cast<int32_t>(V().osc2Pitch); }, pitch - 16},
        {4, 0x7FFFFFFF, [] { return V().cutoff; }, 0x1FFE},
        {4, -0x7FFFFFFF, [] { return V().cutoff; }, 0},
        {4, -0x1000000, [] { return V().cutoff; }, 0x1FFE - 64},
        {0, 0x7FFFFFFF, [] { return V().cutoff; }, 0x1FFE},
    };
    for (const Case& c : cases) {
        SetUp();
        Set(kParamLfoOn, 1);
        Set(kParamLfoShape, 1);
        Set(kParamFilterOn, 1);
        Set(kParamFilterType, 1);
        Set(kParamFilterCutoff, 80);
        Mod(kModFilterCutoff, 80);  // cutoff at the top, 0x1FFE
        Set(kParamOsc2On, 1);
        Set(kParamOsc2Wave, 1);
        Set(kParamLfoDestination, c.dest);
        StartFrame(60);
        V().lfoValue = c.value;
        V().chunkCount = 1;  // no step: apply the value as it is
        ChunkOnly();
        EXPECT_EQ(c.field(), c.expected) << c.dest << " " << c.value;
    }
}

TEST_F(ChunkStepTest, RandomLfoDrawsOnPhaseWrapAndGlides) {
    Set(kParamLfoOn, 1);
    Set(kParamLfoShape, 4);
    Set(kParamLfoDepth, 80);
    Set(kParamLfoRate, 80);
    StartFrame(60);
    VoiceState& vs = V();
    const uint32_t rate4 = 14796800u * 4;
    vs.lfoPhase = 0u - rate4 + 1;  // wraps in the next step
    vs.lfoRandomSeed = 0;
    vs.lfoRandomCount = 0;
    vs.lfoRandomSmooth = 0;
    int32_t smooth = 0;
    uint32_t seed = 0;
    int32_t count = 0;
    for (int step = 0; step < 4; ++step) {
        vs.chunkCount = 0;
        const uint32_t before = vs.lfoPhase;
        ChunkOnly();
        EXPECT_EQ(vs.lfoPhase, before + rate4);
        if (before + rate4 < before) {
            ++count;
            seed = (seed + static_cast<uint32_t>(count)) * (seed + static_cast<uint32_t>(count));
        }
        const int32_t g = static_cast<int32_t>(seed) >> 1;
        if (smooth != g) smooth -= static_cast<int32_t>(FloorDiv(int64_t{smooth} - g, 32));
        EXPECT_EQ(vs.lfoRandomCount, count);
        EXPECT_EQ(static_cast<uint32_t>(vs.lfoRandomSeed), seed);
        EXPECT_EQ(vs.lfoRandomSmooth, smooth);
        EXPECT_EQ(vs.lfoValue, hi(static_cast<int32_t>(static_cast<uint32_t>(smooth) * 2), 0x78000000));
        vs.lfoPhase = 0u - rate4 + 1;
    }
    EXPECT_EQ(seed, 21904u);  // seeds 1, 9, 144, 21,904
}

}  // namespace
