// Oscillators 1, 2 and 3: outputs and phases after one or more chunks, against
// the wave definitions written out here.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/tables.h"
#include "engine/voice_output.h"
#include "shared/fixed.h"
#include "tests/engine/voice_fixture.h"

namespace {

class OscillatorTest : public VoiceTest {
protected:
    // Oscillator 1 alone, at pitch p, without FM or sync.
    static void Osc1(uint32_t wave, uint32_t pitch, uint32_t phase = 0) {
        VoiceState& vs = V();
        vs.osc1Wave = wave;
        vs.osc1Pitch = pitch;
        vs.osc1Phase = phase;
    }
    static int32_t Sine(uint32_t phase) { return g_sineTable[phase >> 19]; }
};

TEST_F(OscillatorTest, SineFollowsItsPhaseAndHigherSelectorsPlayAsSine) {
    const uint32_t pitch = 0x5123;
    const uint32_t step = g_phaseStepTable[pitch];
    for (uint32_t wave : {1u, 7u, 200u}) {
        const uint32_t phase0 = 0xF1234567u;
        Osc1(wave, pitch, phase0);
        RenderOscillator1(V());
        for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(V().osc1Out[i], Sine(phase0 + i * step)) << wave << " " << i;
        EXPECT_EQ(V().osc1Phase, phase0 + 4 * step) << wave;
    }
}

TEST_F(OscillatorTest, FirstFrameOfANote) {
    Set(kParamOsc1PulseWidth, 20);
    const int32_t key = 60;
    const uint32_t p = key * 256 + 6143;
    struct Case {
        int wave;
        int32_t expected;
    } const cases[] = {
        {1, 0},
        {2, 0},
        {3, g_pitchCurveC[p]},
        {4, -g_oscSineTable[(20u * 0x1966666u + 0x1000020u) >> 19]},
    };
    for (const Case& c : cases) {
        Set(kParamOsc1Wave, c.wave);
        ASSERT_TRUE(StartFrame(key));
        ASSERT_EQ(V().osc1Pitch, p);
        RenderOscillator1(V());
        EXPECT_EQ(V().osc1Out[0], c.expected) << c.wave;
    }
}

TEST_F(OscillatorTest, TriangleCrossfadesIntoTheSineAtHighPitch) {
    // out = hi(triangle[k], fadeOut[p]) + 2 hi(sine[k], fadeIn[p]), k = phase >> 19.
    for (uint32_t pitch : {0x2000u, 0x5FFFu, 0x6000u, 0x6800u, 0x7400u, 0x9800u}) {
        const uint32_t step = g_phaseStepTable[pitch];
        const uint32_t phase0 = 0x3A000000u;
        Osc1(2, pitch, phase0);
        RenderOscillator1(V());
        for (uint32_t i = 0; i < 4; ++i) {
            const uint32_t k = (phase0 + i * step) >> 19;
            EXPECT_EQ(V().osc1Out[i], hi(g_triangleTable[k], g_waveFadeOut[pitch]) +
                                          2 * hi(g_sineTable[k], g_waveFadeIn[pitch]))
                << pitch << " " << i;
        }
    }
    // Below 0x6000 the wave is the triangle at +-2^30; at the top it is the sine
    // to within 0.03 %.
    for (uint32_t k = 0; k < 8192; k += 97) {
        Osc1(2, 0x5FFF, k << 19);
        RenderOscillator1(V());
        EXPECT_EQ(V().osc1Out[0], hi(g_triangleTable[k], 0x7FFFFFFF));
        Osc1(2, 0x9800, k << 19);
        RenderOscillator1(V());
        EXPECT_NEAR(V().osc1Out[0], g_sineTable[k], 1073741824 * 3e-4) << k;
    }
}

// The self-feedback sine of waves 3 and 4, frame by frame as defined: read with
// the phase the frame starts with, push the phase by 2 hi(s - s[two frames
// earlier], fb).
struct FeedbackSine {
    uint32_t phase = 0;
    int32_t history[4] = {};
    int32_t Frame(int i, const int32_t* table, uint32_t step, int32_t fb, uint32_t offset = 0) {
        const int32_t s = table[(phase + offset) >> 19];
        history[i] = s;
        phase += step + static_cast<uint32_t>(2 * hi(wrapSub(s, history[(i + 2) % 4]), fb));
        return s;
    }
};

TEST_F(OscillatorTest, SawIsAFeedbackSinePlusItsOffset) {
    for (uint32_t pitch : {0x2800u, 0x5000u, 0x8000u}) {
        SetUp();
        Osc1(3, pitch);
        const uint32_t step = g_phaseStepTable[pitch];
        FeedbackSine ref;
        for (int chunk = 0; chunk < 50; ++chunk) {
            RenderOscillator1(V());
            for (int i = 0; i < 4; ++i) {
                const int32_t s = ref.Frame(i, g_sineTable, step, g_pitchCurveA[pitch]);
                ASSERT_EQ(V().osc1Out[i], s + g_pitchCurveC[pitch]) << pitch << " " << chunk << " " << i;
            }
            ASSERT_EQ(V().osc1Phase, ref.phase);
        }
    }
    // At low pitch the feedback bends the sine into a falling sawtooth: over one
    // cycle the output spends far longer falling than rising.
    const uint32_t pitch = 0x3000;
    Osc1(3, pitch);
    int falling = 0, rising = 0;
    int32_t last = 0;
    const int frames = static_cast<int>(4294967296.0 / g_phaseStepTable[pitch]);
    for (int f = 0; f < frames; f += 4) {
        RenderOscillator1(V());
        for (int32_t x : V().osc1Out) {
            (x < last ? falling : rising) += 1;
            last = x;
        }
    }
    EXPECT_GT(falling, 3 * rising);
}

TEST_F(OscillatorTest, PulseIsTheDifferenceOfTwoFeedbackSines) {
    const uint32_t pitch = 0x5000;
    const uint32_t step = g_phaseStepTable[pitch];
    const int32_t fb = g_pitchCurveB[pitch];
    for (uint32_t width : {0x80000000u, 0x40000000u, 0x12345678u}) {
        SetUp();
        Osc1(4, pitch);
        V().osc1PulseOffset = width;
        FeedbackSine a, b;
        int64_t sum = 0;
        for (int chunk = 0; chunk < 400; ++chunk) {
            RenderOscillator1(V());
            for (int i = 0; i < 4; ++i) {
                const int32_t va = a.Frame(i, g_oscSineTable, step, fb);
                const int32_t vb = b.Frame(i, g_oscSineTable, step, fb, width);
                ASSERT_EQ(V().osc1Out[i], va - vb) << width << " " << chunk << " " << i;
                sum += va - vb;
            }
        }
        if (width == 0x80000000u) {
            // A square: mean near 0 against a peak of about 1.25 x 2^30.
            EXPECT_LT(std::llabs(sum / 1600), 1073741824 / 50);
        }
    }
    // Width 0: both phases and histories stay equal, silence.
    SetUp();
    Osc1(4, pitch);
    for (int chunk = 0; chunk < 100; ++chunk) {
        RenderOscillator1(V());
        for (int32_t x : V().osc1Out) ASSERT_EQ(x, 0);
    }
}

TEST_F(OscillatorTest, PulseWidthSweepShowsFromTheNextChunk) {
    Osc1(4, 0x5000);
    V().osc1PulseWidth = 0x80000000u;
    V().osc1PulseOffset = 0x80000000u;
    V().osc1PwmRate = 16384 * 80;
    VoiceChunkEnvelopes(V());  // the sweep belongs to the chunk's envelope steps
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1PulseWidth, 0x80000000u + 1310720u);
    EXPECT_EQ(V().osc1PulseOffset, 0x80000000u) << "the chunk used the offset formed before";
    V().osc1PulseWidth = 0xFFFFFFFFu;
    VoiceChunkEnvelopes(V());  // the sweep belongs to the chunk's envelope steps
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1PulseWidth, 1310719u) << "wraps through the whole cycle";
}

// The noise as defined: a signed clock advanced by c per frame; on overflow the
// clock keeps the wrapped sum without bit 31, count += 1, seed := (seed +
// count)^2, value := (seed AND 0x7FFFFFFF) - 2^30.
struct NoiseModel {
    int32_t clock = 0;
    uint32_t count = 0;
    uint32_t seed = 0;
    int32_t held = 0;
    std::vector<int32_t> drawn;
    std::vector<uint32_t> seeds;
    bool Frame(int32_t c) {
        const int64_t sum = int64_t{clock} + c;
        if (sum <= INT32_MAX) {
            clock = static_cast<int32_t>(sum);
            return false;
        }
        clock = static_cast<int32_t>(sum - 2147483648LL);
        ++count;
        seed = (seed + count) * (seed + count);
        held = static_cast<int32_t>(seed & 0x7FFFFFFFu) - 0x40000000;
        drawn.push_back(held);
        seeds.push_back(seed);
        return true;
    }
};

TEST_F(OscillatorTest, NoiseDrawsTheSeedSequence) {
    const uint32_t pitch = 0x8000;  // a draw every few frames
    const int32_t step = static_cast<int32_t>(g_phaseStepTable[pitch]);
    Osc1(5, pitch);
    NoiseModel ref;
    for (int chunk = 0; chunk < 12; ++chunk) {
        RenderOscillator1(V());
        for (int i = 0; i < 4; ++i) {
            ref.Frame(step);
            ASSERT_EQ(V().osc1Out[i], ref.held) << chunk << " " << i;
        }
        ASSERT_EQ(V().osc1NoisePhase, ref.clock);
        ASSERT_EQ(V().osc1NoiseCount, ref.count);
        ASSERT_EQ(V().osc1NoiseSeed, ref.seed);
        ASSERT_EQ(V().osc1History[0], ref.held) << "the held value is kept for the next chunk";
    }
    // From seed 0 and count 0: the count is incremented before it is added.
    ASSERT_GE(ref.drawn.size(), 5u);
    const int32_t outputs[] = {-1073741823, -1073741815, -1073741680, -1073719920, -593737543};
    const uint32_t seeds[] = {1, 9, 144, 21904, 480004281};
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(ref.drawn[n], outputs[n]) << n;
        EXPECT_EQ(ref.seeds[n], seeds[n]) << n;
    }
}

TEST_F(OscillatorTest, NoiseHoldsZeroAfterANoteStartAndTakesFmFromFrame0) {
    Set(kParamOsc1Wave, 5);
    VoiceState& vs = V();
    vs.osc1NoiseSeed = 1234;  // runs on from note to note
    vs.osc1History[0] = 999;
    StartFrame(10);
    vs.osc1NoisePhase = 0;
    RenderOscillator1(vs);
    for (int32_t x : vs.osc1Out) EXPECT_EQ(x, 0);
    EXPECT_EQ(vs.osc1NoiseSeed, 1234u);

    // FM: one increment for the chunk, from oscillator 2's frame 0, without the
    // pitch's FM curve.
    vs.osc1FmDepth = 0x40000000;
    vs.osc2Out[0] = 0x8000000;
    vs.osc2Out[1] = vs.osc2Out[2] = vs.osc2Out[3] = -0x40000000;
    vs.osc1NoisePhase = 0;
    RenderOscillator1(vs);
    const int32_t c = static_cast<int32_t>(g_phaseStepTable[vs.osc1Pitch]) + 4 * hi(0x8000000, 0x40000000);
    EXPECT_EQ(vs.osc1NoisePhase, 4 * c);

    // A strongly negative increment runs the clock down and draws below -2^31.
    vs.osc2Out[0] = -0x40000000;
    vs.osc1FmDepth = 0x7FFFFFFF;
    vs.osc1NoisePhase = INT32_MIN + 5;
    const uint32_t count = vs.osc1NoiseCount;
    RenderOscillator1(vs);
    EXPECT_EQ(vs.osc1NoiseCount, count + 2) << "draws in frames 0 and 2";
}

TEST_F(OscillatorTest, FmReachesOscillator1OneChunkLate) {
    Set(kParamOsc2On, 1);
    Set(kParamOsc2Wave, 1);
    Set(kParamOsc2Tune, 52);  // oscillator 2 higher than oscillator 1
    Set(kParamOsc2FmAmount, 40);
    ASSERT_TRUE(StartFrame(48));
    VoiceState& vs = V();
    const int32_t depth = 40 << 24;
    ASSERT_EQ(vs.osc1FmDepth, depth);
    const uint32_t p = vs.osc1Pitch;
    const uint32_t step = g_phaseStepTable[p];
    const int32_t curve = g_fmDepthCurve[p];

    // Chunk 1: oscillator 2's output is still the cleared one, no FM.
    RenderVoiceChunk(kVoice, 0);
    EXPECT_EQ(vs.osc1Phase, 4 * step);
    int32_t previous[4];
    std::copy(std::begin(vs.osc2Out), std::end(vs.osc2Out), previous);
    EXPECT_NE(previous[3], 0);

    // Chunk 2: frame i is modulated by oscillator 2's frame i of chunk 1.
    for (int chunk = 2; chunk < 6; ++chunk) {
        ASSERT_TRUE(ChunkOnly());
        uint32_t phase = vs.osc1Phase;
        RenderVoiceChunk(kVoice, 0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(vs.osc1Out[i], Sine(phase)) << chunk << " " << i;
            phase += step + static_cast<uint32_t>(hi(wrapMul(4, hi(previous[i], depth)), curve));
        }
        EXPECT_EQ(vs.osc1Phase, phase) << chunk;
        std::copy(std::begin(vs.osc2Out), std::end(vs.osc2Out), previous);
    }
}

TEST_F(OscillatorTest, SyncReachesOscillator1OneChunkLate) {
    Set(kParamOsc2On, 1);
    Set(kParamOsc2Wave, 1);
    Set(kParamOscSync, 1);
    Set(kParamOsc2Tune, 30);
    Set(kParamOsc1Wave, 1);
    ASSERT_TRUE(StartFrame(48));
    VoiceState& vs = V();
    const uint32_t step1 = g_phaseStepTable[vs.osc1Pitch];
    const uint32_t step2 = g_phaseStepTable[vs.osc2Pitch];
    // Oscillator 2 wraps past 2^32 in frame 2 of this chunk.
    vs.osc2Phase = 0u - step2 * 5 / 2;
    RenderVoiceChunk(kVoice, 0);
    EXPECT_EQ(vs.osc1SyncMask, 1u << 2);
    EXPECT_EQ(vs.osc1Phase, 4 * step1) << "not reset in the chunk that raised the bit";

    ASSERT_TRUE(ChunkOnly());
    vs.osc2Phase = 0x40000000;  // no further wrap in this chunk
    RenderVoiceChunk(kVoice, 0);
    EXPECT_EQ(vs.osc1Out[0], Sine(4 * step1));
    EXPECT_EQ(vs.osc1Out[1], Sine(5 * step1));
    EXPECT_EQ(vs.osc1Out[2], 0) << "reset before frame 2";
    EXPECT_EQ(vs.osc1Out[3], Sine(step1));
    EXPECT_EQ(vs.osc1Phase, 2 * step1);
    EXPECT_EQ(vs.osc1SyncMask, 0u);
}

TEST_F(OscillatorTest, SyncResetsOfTheFeedbackWaves) {
    const uint32_t pitch = 0x5000;
    // Sawtooth: reset to the quarter cycle, where the sine peaks.
    Osc1(3, pitch, 0x9999999);
    V().osc1SyncMask = 1;
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[0], 1073741824 + g_pitchCurveC[pitch]);
    EXPECT_EQ(V().osc1Phase, 0x40000000u + 4 * g_phaseStepTable[pitch] +
                                 [&] {
                                     // Pushes of frames 0..3 after the reset.
                                     FeedbackSine r;
                                     r.phase = 0x40000000;
                                     r.history[2] = r.history[3] = 0x40000000;
                                     for (int i = 0; i < 4; ++i)
                                         r.Frame(i, g_sineTable, g_phaseStepTable[pitch], g_pitchCurveA[pitch]);
                                     return r.phase - 0x40000000u - 4 * g_phaseStepTable[pitch];
                                 }());
    EXPECT_EQ(V().osc1SyncMask, 0u);

    // Pulse: both phases and their histories to 0 before frame 1.
    Osc1(4, pitch, 0x12345678);
    V().osc1Phase2 = 0x2345678;
    V().osc1PulseOffset = 0x80000000u;
    V().osc1SyncMask = 2;
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[1], g_oscSineTable[0] - g_oscSineTable[0x80000000u >> 19]);

    // Noise and sample leave the bits for a later chunk of waves 1 to 4.
    for (uint32_t wave : {5u, 6u}) {
        Osc1(wave, pitch);
        V().osc1SyncMask = 9;
        RenderOscillator1(V());
        EXPECT_EQ(V().osc1SyncMask, 9u) << wave;
    }
    Osc1(1, pitch, 0x70000000);
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[0], 0);
    EXPECT_EQ(V().osc1Out[3], 0);
    EXPECT_EQ(V().osc1SyncMask, 0u);
}

// --- Oscillators 2 and 3 ----------------------------------------------------------

class Osc23Test : public OscillatorTest {
protected:
    static void Osc2(uint32_t wave, uint32_t pitch, uint32_t phase, bool sync) {
        VoiceState& vs = V();
        vs.osc2Wave = wave;
        vs.osc2Pitch = pitch;
        vs.osc2Phase = phase;
        vs.osc2Sync = sync ? 1 : 0;
        vs.osc1SyncMask = 0;
    }
};

TEST_F(Osc23Test, SelectorOffOrAboveSixSilencesAndSkipsOscillator3) {
    for (uint32_t wave : {0u, 7u, 255u}) {
        SetUp();
        Osc2(wave, 0x5000, 0x1000, true);
        V().osc2Out[2] = 55;
        V().osc3Wave = 5;
        V().osc3Pitch = 0x9800;
        V().osc3Phase = 77;
        V().osc3Out[1] = 66;
        V().osc3NoisePhase = 88;
        V().osc1Wave = 1;
        RenderVoiceChunk(kVoice, 0);
        for (int32_t x : V().osc2Out) EXPECT_EQ(x, 0) << wave;
        EXPECT_EQ(V().osc2Phase, 0x1000u);
        EXPECT_EQ(V().osc3Phase, 77u);
        EXPECT_EQ(V().osc3Out[1], 66) << "oscillator 3 not computed";
        EXPECT_EQ(V().osc3NoisePhase, 88);
        EXPECT_EQ(V().osc1SyncMask, 0u);
    }
    // Oscillator 3 with a selector above 6 is silent.
    V().osc3Wave = 7;
    V().osc3Out[1] = 66;
    RenderOscillator3(V());
    for (int32_t x : V().osc3Out) EXPECT_EQ(x, 0);
}

TEST_F(Osc23Test, SineSyncAtTheWrapPast2To32) {
    const uint32_t pitch = 0x5000;
    const uint32_t step = g_phaseStepTable[pitch];
    const uint32_t nearTop = 0u - 0x40000;  // less than one step (and one entry) below 2^32
    Osc2(1, pitch, nearTop, true);
    ASSERT_TRUE(RenderOscillator2(V()));
    EXPECT_EQ(V().osc2Out[0], g_sineTable[8191]);
    EXPECT_EQ(V().osc2Out[1], g_sineTable[(step - 0x40000) >> 19]);
    EXPECT_EQ(V().osc1SyncMask, 1u);
    EXPECT_EQ(V().osc2Phase, step - 0x40000 + 3 * step);
    // Without the switch no bits; the output is the same.
    Osc2(1, pitch, nearTop, false);
    RenderOscillator2(V());
    EXPECT_EQ(V().osc2Out[0], g_sineTable[8191]);
    EXPECT_EQ(V().osc1SyncMask, 0u);
    // Bits are ORed into the mask.
    Osc2(1, pitch, 0u - step * 3 / 2, true);
    V().osc1SyncMask = 8;
    RenderOscillator2(V());
    EXPECT_EQ(V().osc1SyncMask, 8u | 2u);
}

TEST_F(Osc23Test, TriangleSawAndSquareSyncWhereThePhasePasses2To31) {
    const uint32_t pitch = 0x5000;
    const uint32_t step = g_phaseStepTable[pitch];
    const uint32_t justBelowHalf = 0x80000000u - step / 2;
    Osc2(2, pitch, justBelowHalf, true);
    RenderOscillator2(V());
    EXPECT_EQ(V().osc1SyncMask, 1u);
    for (int i = 0; i < 4; ++i) {
        const uint32_t k = (justBelowHalf + i * step) >> 19;
        EXPECT_EQ(V().osc2Out[i], hi(g_triangleTable[k], g_waveFadeOut[pitch]) +
                                      2 * hi(g_sineTable[k], g_waveFadeIn[pitch]));
    }
    Osc2(1, pitch, justBelowHalf, true);  // the sine does not mark the half cycle
    RenderOscillator2(V());
    EXPECT_EQ(V().osc1SyncMask, 0u);

    // Sawtooth: oscillator 1's wave 3 without FM and sync, on its own fields.
    Osc2(3, pitch, 0, true);
    FeedbackSine ref;
    uint32_t expectedBits = 0;
    for (int chunk = 0; chunk < 200; ++chunk) {
        V().osc1SyncMask = 0;
        expectedBits = 0;
        RenderOscillator2(V());
        for (int i = 0; i < 4; ++i) {
            const uint32_t before = ref.phase;
            const int32_t s = ref.Frame(i, g_sineTable, step, g_pitchCurveA[pitch]);
            if (before < 0x80000000u && ref.phase >= 0x80000000u) expectedBits |= 1u << i;
            ASSERT_EQ(V().osc2Out[i], s + g_pitchCurveC[pitch]);
        }
        ASSERT_EQ(V().osc1SyncMask, expectedBits) << chunk;
    }
}

TEST_F(Osc23Test, RoundedSquareSlowsAtThePeaksAndIsTheSineFrom0x7E00) {
    for (uint32_t pitch : {0x7E00u, 0x8800u, 0x9800u}) {
        Osc2(4, pitch, 0x12345678, false);
        V().osc3Wave = 1;
        V().osc3Pitch = pitch;
        V().osc3Phase = 0x12345678;
        for (int chunk = 0; chunk < 20; ++chunk) {
            RenderOscillator2(V());
            RenderOscillator3(V());
            for (int i = 0; i < 4; ++i) ASSERT_EQ(V().osc2Out[i], V().osc3Out[i]) << pitch;
        }
    }
    // Below: increment base + 8 hi(hi(s, s), K), read with the phase before it.
    const uint32_t pitch = 0x4000;
    Osc2(4, pitch, 0x3F000000, true);
    uint32_t phase = 0x3F000000;
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        const int32_t s = g_sineTable[phase >> 19];
        const uint32_t inc = g_osc23StepTable[pitch] +
                             static_cast<uint32_t>(wrapMul(8, hi(hi(s, s), g_feedbackCurve[pitch])));
        if (phase < 0x80000000u && phase + inc >= 0x80000000u) bits |= 1u << i;
        phase += inc;
    }
    RenderOscillator2(V());
    EXPECT_EQ(V().osc2Phase, phase);
    EXPECT_EQ(V().osc1SyncMask, bits);
    // Near the peak the phase barely moves; at the zero crossing it runs.
    const int32_t peak = 1073741824;
    const uint32_t slow = g_osc23StepTable[pitch] +
                          static_cast<uint32_t>(wrapMul(8, hi(hi(peak, peak), g_feedbackCurve[pitch])));
    EXPECT_LT(slow, g_osc23StepTable[pitch] / 50);
}

TEST_F(Osc23Test, NoiseAndItsSyncBits) {
    const uint32_t pitch = 0x8000;
    const int32_t step = static_cast<int32_t>(g_phaseStepTable[pitch]);
    Osc2(5, pitch, 0, true);
    VoiceState& vs = V();
    // Sync: from the chunk's first draw on, frame i sets its bit when the
    // previous chunk's output of frame i is >= the held value.
    NoiseModel ref;
    int32_t previous[4] = {};
    for (int chunk = 0; chunk < 30; ++chunk) {
        vs.osc1SyncMask = 0;
        uint32_t bits = 0;
        bool drew = false;
        RenderOscillator2(vs);
        for (int i = 0; i < 4; ++i) {
            drew |= ref.Frame(step);
            if (drew && previous[i] >= ref.held) bits |= 1u << i;
            ASSERT_EQ(vs.osc2Out[i], ref.held);
        }
        ASSERT_EQ(vs.osc1SyncMask, bits) << chunk;
        std::copy(std::begin(vs.osc2Out), std::end(vs.osc2Out), previous);
    }
    EXPECT_EQ(ref.seeds[2], 144u) << "the same sequence as oscillator 1";
    EXPECT_EQ(vs.osc2NoiseSeed, ref.seed);
    EXPECT_EQ(vs.osc1NoiseCount, 0u) << "oscillator 1's noise is untouched";
    EXPECT_EQ(vs.osc2History[0], vs.osc2Out[3]);

    // Oscillator 3's noise is its own as well.
    vs.osc3Wave = 5;
    vs.osc3Pitch = 0x9800;
    RenderOscillator3(vs);  // clock 0: draws in frames 1, 2 and 3
    EXPECT_EQ(vs.osc3NoiseCount, 3u);
    EXPECT_EQ(vs.osc3NoiseSeed, 144u);
}

TEST_F(Osc23Test, SampleWithoutDataKeepsOscillator3) {
    Osc2(6, 0x4800, 0, true);
    V().osc2Sample = 255;
    V().osc2SamplePos = 12;
    V().osc3Wave = 1;
    V().osc3Pitch = 0x5000;
    V().osc1Wave = 1;
    RenderVoiceChunk(kVoice, 0);
    for (int32_t x : V().osc2Out) EXPECT_EQ(x, 0);
    EXPECT_EQ(V().osc2SamplePos, 12);
    EXPECT_EQ(V().osc1SyncMask, 0u);
    EXPECT_EQ(V().osc3Phase, 4 * g_phaseStepTable[0x5000]) << "oscillator 3 still runs";
}

}  // namespace
