// Amplifier and filter envelopes and the amplifier stage: stage durations and end
// points, the envelope ramp, the oscillator mix, ring modulation and the filter
// envelope's cutoff, against the arithmetic written out here.
#include <cstdint>
#include <limits>

#include "engine/tables.h"
#include "engine/voice_output.h"
#include "shared/fixed.h"
#include "tests/engine/voice_fixture.h"

namespace {

class EnvelopeTest : public VoiceTest {
protected:
    // The amplifier at the start of a note: stage 0, phases 0, gate held.
    static void ArmAmp(int32_t level, uint32_t attack, uint32_t decay, uint32_t sustain, uint32_t release) {
        VoiceState& vs = V();
        vs.ampLevel = level;
        vs.ampAttackRate = attack;
        vs.ampDecayRate = decay;
        vs.ampSustainLevel = sustain;
        vs.ampReleaseRate = release;
        vs.ampGate = 1;
        vs.ampStage = 0;
        vs.ampAttackPhase = vs.ampDecayPhase = vs.ampReleasePhase = 0;
        vs.ampEnv = 2;
    }
    static void ArmFilter(int32_t level, uint32_t attack, uint32_t decay, uint32_t sustain, uint32_t release) {
        VoiceState& vs = V();
        vs.filterEnvLevel = level;
        vs.filterEnvAttackRate = attack;
        vs.filterEnvDecayRate = decay;
        vs.filterEnvSustainLevel = sustain;
        vs.filterEnvReleaseRate = release;
        vs.filterEnvGate = 1;
        vs.filterEnvStage = 0;
        vs.filterEnvAttackPhase = vs.filterEnvDecayPhase = vs.filterEnvReleasePhase = 0;
    }
    static const uint32_t* Rise(int level) { return g_shapeRiseCurve[level]; }
    static const uint32_t* Fall() { return g_shapeFallCurve[31]; }
};

// --- Stage durations and end points --------------------------------------------

TEST_F(EnvelopeTest, AttackAndDecayLastCeilOfHalfAMillionOverTheRateChunks) {
    const uint32_t sustain = 40u * 1599078u * 31u;  // Sustain knob 40 at level 31
    struct Case {
        uint32_t attackRate;
        int attackChunks;  // ceil(0x80000 / rate)
        uint32_t decayRate;
        int decayChunks;
    } const cases[] = {
        // Attack knob 0 / decay knob 0: 18 x 28,021 = 504,378 < 524,288 <= 19 x 28,021;
        // 154 x 3,392 = 522,368 < 524,288 <= 155 x 3,392.
        {28021, 19, 3392, 155},
        // Knob 10: 159 x 3,277 = 521,043 < 524,288 <= 160 x 3,277;
        // 1,048 x 500 = 524,000 < 524,288 <= 1,049 x 500.
        {3277, 160, 500, 1049},
        // Knob 40: 1,852 x 283 = 524,116 < 524,288 <= 1,853 x 283.
        {283, 1853, 87, 6027},  // 6,026 x 87 = 524,262 < 524,288 <= 6,027 x 87
    };
    for (const Case& c : cases) {
        SetUp();
        VoiceState& vs = V();
        ArmAmp(31, c.attackRate, c.decayRate, sustain, 500);
        int n = 0;
        for (; n < c.attackChunks; ++n) {
            AmpEnvelope(vs);
            ASSERT_EQ(vs.ampStage, 0) << c.attackRate << " chunk " << n;
            ASSERT_EQ(vs.ampEnv, Rise(31)[(n * c.attackRate) >> 8] >> 1) << n;
        }
        // The chunk whose starting phase has bit 19 set gives the first decay value.
        const uint32_t peak = Rise(31)[((n - 1) * c.attackRate) >> 8];
        AmpEnvelope(vs);
        EXPECT_EQ(vs.ampStage, -1) << c.attackRate;
        EXPECT_EQ(vs.ampPeak, peak);
        EXPECT_EQ(vs.ampEnv, (sustain + hiu(peak - sustain, 0xFFFFFFFFu)) >> 1);
        EXPECT_EQ(vs.ampEnv, (peak - 1) >> 1) << "F[0] = 2^32 - 1 takes exactly 1 off";
        for (int d = 1; d < c.decayChunks; ++d) {
            AmpEnvelope(vs);
            ASSERT_EQ(vs.ampStage, -1) << d;
            ASSERT_EQ(vs.ampEnv, (sustain + hiu(peak - sustain, Fall()[(d * c.decayRate) >> 8])) >> 1) << d;
        }
        // The decay's end switches to the sustain value and runs the held sustain in
        // the same chunk: hiu(S, 2^32 - 1) = S - 1.
        AmpEnvelope(vs);
        EXPECT_EQ(vs.ampStage, 1);
        EXPECT_EQ(vs.ampValue, sustain);
        EXPECT_EQ(vs.ampEnv, (sustain - 1) >> 1);
        AmpEnvelope(vs);
        EXPECT_EQ(vs.ampEnv, (sustain - 1) >> 1) << "held while the gate is";
        EXPECT_EQ(vs.fading, 0u);
    }
}

TEST_F(EnvelopeTest, ReleaseStepsFirstAndEndsAt0x7C000) {
    VoiceState& vs = V();
    const uint32_t value = 0xC0000000u;
    const uint32_t rate = 3392;  // Release knob 0
    ArmAmp(31, 0, 0, 0, rate);
    vs.ampStage = 1;
    vs.ampGate = 0;
    vs.ampValue = value;
    // 149 x 3,392 = 505,408 < 507,904 (0x7C000) <= 150 x 3,392: 150 chunks read the
    // curve, the last one at phase 508,800 (entry 1,987), then the end mark.
    for (uint32_t n = 1; n <= 150; ++n) {
        AmpEnvelope(vs);
        ASSERT_EQ(vs.ampEnv, hiu(value, Fall()[(n * rate) >> 8]) >> 1) << n;
    }
    EXPECT_EQ(vs.ampReleasePhase, 508800u);
    EXPECT_EQ(vs.fading, 0u);
    const uint32_t envBefore = vs.ampEnv;
    AmpEnvelope(vs);
    EXPECT_EQ(vs.ampEnv, 0u);
    EXPECT_EQ(vs.ampEnvPrev, envBefore);
    EXPECT_EQ(vs.ampReleasePhase, 508800u) << "the end mark changes no field";
    EXPECT_EQ(vs.fading, 1u);
    AmpEnvelope(vs);
    EXPECT_EQ(vs.fading, 2u);

    // One below the end still advances and reads; exactly the end does not.
    struct Case {
        uint32_t phase;
        uint32_t env;
        uint32_t phaseAfter;
    } const cases[] = {
        {0x7BFFF, hiu(value, Fall()[((0x7BFFFu + rate) >> 8) & 0x7FF]) >> 1, 0x7BFFF + rate},
        {0x7C000, 0, 0x7C000},
    };
    for (const Case& c : cases) {
        vs.ampReleasePhase = c.phase;
        AmpEnvelope(vs);
        EXPECT_EQ(vs.ampEnv, c.env) << c.phase;
        EXPECT_EQ(vs.ampReleasePhase, c.phaseAfter) << c.phase;
    }
}

TEST_F(EnvelopeTest, NoteStartsAtTwoAndALevelZeroNoteFadesOutIn63Chunks) {
    // Amplifier - Gain 2: the note starts (2 is not 0) with level 2 x 16 / 41 = 0.
    Set(kParamAmpGain, 2);
    VoiceState& vs = V();
    ASSERT_TRUE(StartFrame(60));
    EXPECT_EQ(vs.ampLevel, 0);
    EXPECT_EQ(vs.ampEnv, 2u);
    int chunks = 0;
    RenderVoiceChunk(kVoice, 0);
    ++chunks;
    EXPECT_EQ(vs.ampEnv, 0u);
    EXPECT_EQ(vs.ampEnvPrev, 2u);
    EXPECT_EQ(vs.fading, 1u);
    for (int f = 0; f < 4 * 80; ++f) {
        if (Frame()) {
            RenderVoiceChunk(kVoice, 0);
            ++chunks;
        }
    }
    // From the second chunk on the gain falls by 0x2000000: 0x7E000000 / 0x2000000 =
    // 63 falls, the last of them in a chunk that still renders.
    EXPECT_EQ(chunks, 64);
    EXPECT_EQ(vs.voiceGain, 0u);
    EXPECT_EQ(vs.fading, 64u);

    // A full level: the first chunk reads entry 0 of the rising parabola, which is
    // raised to 4, so ampEnv stays 2 and so does its predecessor.
    SetUp();
    ASSERT_TRUE(StartFrame(60));
    RenderVoiceChunk(kVoice, 0);
    EXPECT_EQ(Rise(31)[0], 4u);
    EXPECT_EQ(vs.ampEnv, 2u);
    EXPECT_EQ(vs.ampEnvPrev, 2u);
    EXPECT_EQ(vs.ampAttackPhase, 28021u) << "Amplifier - Attack 0";
}

// --- Amplifier stage -----------------------------------------------------------

TEST_F(EnvelopeTest, EnvelopeRampAndOscillatorMix) {
    constexpr int32_t kFull = 1 << 30;  // a full-scale sine
    struct Case {
        const char* what;
        uint32_t osc2Wave, osc3Wave;
        int32_t o1, o2, o3;
        uint32_t vol2, vol3;
        uint32_t prev, env;
        int32_t out[4];
    } const cases[] = {
        // e_i = env + i x ((env - prev) >> 2); oscillator 1 alone gives hi(o1, e_i).
        {"steady", 0, 0, kFull, 0, 0, 0, 0, 0x60000000, 0x60000000,
         {0x18000000, 0x18000000, 0x18000000, 0x18000000}},
        // delta 0x4000000: e = 0x50.., 0x54.., 0x58.., 0x5C000000; hi(2^30, e) = e / 4.
        {"rising ramp goes on past env", 0, 0, kFull, 0, 0, 0, 0, 0x40000000, 0x50000000,
         {0x14000000, 0x15000000, 0x16000000, 0x17000000}},
        // Falling to 0: delta -0x10000000, e = 0, -0x10.., -0x20.., -0x30000000: the
        // sign-inverted remainder.
        {"falls to zero", 0, 0, kFull, 0, 0, 0, 0, 0x40000000, 0,
         {0, -0x4000000, -0x8000000, -0xC000000}},
        // Two oscillators at e = 2^31 - 1: s = 2^29 + hi(2^30, 2^30) = 0x30000000;
        // floor(s x (2^31 - 1) / 2^31) = s - 1.
        {"two at half volume", 4, 0, kFull, kFull, 0, 0x40000000, 0, 0x7FFFFFFF, 0x7FFFFFFF,
         {0x2FFFFFFF, 0x2FFFFFFF, 0x2FFFFFFF, 0x2FFFFFFF}},
        // Two oscillators, volume 0: oscillator 1 at 0.5 as if alone (2^29 - 1).
        {"two, second silent", 1, 0, kFull, kFull, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF,
         {0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF}},
        // Three oscillators with volumes 0: s = 2^28, P = 2^28 (2^31 - 1);
        // (P >> 31) + ((P >> 32) >> 1) = (2^28 - 1) + ((2^27 - 1) >> 1) = 0x13FFFFFE,
        // 5/16 of 2^30 less 2.
        {"three, volumes 0", 1, 2, kFull, kFull, kFull, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF,
         {0x13FFFFFE, 0x13FFFFFE, 0x13FFFFFE, 0x13FFFFFE}},
        // Three at full volume 0x7FFFFFD0 (>> 1 = 0x3FFFFFE8): hi(2^30, 0x3FFFFFE8) =
        // 0xFFFFFFA; s = 0x10000000 + 2 x 0xFFFFFFA = 0x2FFFFFF4; at e = 2^31 - 1,
        // P >> 31 = s - 1 = 0x2FFFFFF3 and (P >> 32) >> 1 = (s / 2 - 1) >> 1 =
        // 0xBFFFFFC: 0x3BFFFFEF, 15/16 of 2^30.
        {"three at full volume", 3, 5, kFull, kFull, kFull, 0x7FFFFFD0, 0x7FFFFFD0, 0x7FFFFFFF, 0x7FFFFFFF,
         {0x3BFFFFEF, 0x3BFFFFEF, 0x3BFFFFEF, 0x3BFFFFEF}},
    };
    for (const Case& c : cases) {
        VoiceState& vs = V();
        vs.osc2RingMod = 0;
        vs.osc2Wave = c.osc2Wave;
        vs.osc3Wave = c.osc3Wave;
        vs.osc2Volume = c.vol2;
        vs.osc3Volume = c.vol3;
        vs.ampEnvPrev = c.prev;
        vs.ampEnv = c.env;
        for (int i = 0; i < 4; ++i) {
            vs.osc1Out[i] = c.o1;
            vs.osc2Out[i] = c.o2;
            vs.osc3Out[i] = c.o3;
        }
        AmpStage(vs);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(vs.voiceOut[i], c.out[i]) << c.what << " frame " << i;
    }
}

TEST_F(EnvelopeTest, RingModulationSaturatesInsteadOfWrapping) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        const char* what;
        int32_t o1, o2;
        int32_t expected;  // (o1 x o2) >> 30 within the 32-bit range, else its end
    } const cases[] = {
        {"two full-scale sines", 1 << 30, 1 << 30, 1 << 30},
        {"opposite sines", 1 << 30, -(1 << 30), -(1 << 30)},
        {"oscillator 2 silent", 123456789, 0, 0},
        // 1.5 x 2^30 x 2^30 >> 30 = 1.5 x 2^30 = 1,610,612,736: inside, unchanged.
        {"in range", 0x60000000, 1 << 30, 0x60000000},
        // (2^31 - 1) x 1.25 x 2^30 >> 30 = 2,684,354,558: beyond 2^31 - 1 (wrapped it
        // would be -1,610,612,738).
        {"sample against pulse", kMax, 0x50000000, kMax},
        // -2^31 x 1.25 x 2^30 >> 30 = -2,684,354,560 (wrapped: +1,610,612,736).
        {"negative sample against pulse", kMin, 0x50000000, kMin},
        // -2^31 x -2^31 >> 30 = 2^32 (wrapped: 0).
        {"sample against sample", kMin, kMin, kMax},
        // 1.5 x 2^30 squared >> 30 = 2.25 x 2^30 = 2,415,919,104 (wrapped: negative).
        {"offset saw against itself", 0x60000000, 0x60000000, kMax},
    };
    for (const Case& c : cases) {
        VoiceState& vs = V();
        vs.osc2RingMod = 1;
        vs.osc2Wave = 1;
        vs.osc3Wave = 0;
        vs.osc2Volume = 0;
        vs.ampEnv = vs.ampEnvPrev = 0x7FFFFFFF;
        for (int i = 0; i < 4; ++i) {
            vs.osc1Out[i] = c.o1;
            vs.osc2Out[i] = c.o2;
        }
        AmpStage(vs);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(vs.osc1Out[i], c.expected) << c.what;
        // Mixed as oscillator 1's share only (volume 0): floor((x >> 1) x (2^31 - 1) / 2^31).
        const int64_t s = c.expected >> 1;
        const int32_t mixed = static_cast<int32_t>((s * 0x7FFFFFFF) >> 31);
        EXPECT_EQ(vs.voiceOut[0], mixed) << c.what;
    }
}

// --- Filter envelope -------------------------------------------------------------

TEST_F(EnvelopeTest, FilterEnvelopeOpensTheCutoff) {
    const uint32_t* riseLine = g_shapeRiseLine[31];
    const uint32_t* fallLine = g_shapeFallLine[31];
    VoiceState& vs = V();

    // Attack near its top: R = rise line [2,047] = trunc(2,047 x 2,097,664.124542 /
    // 32 x 31 + 1) = 4,159,733,512, R >> 19 = 7,934; 8,000 + that is held at 8,190.
    ArmFilter(31, 283, 87, 0, 500);
    vs.cutoff = 8000;
    vs.filterEnvAttackPhase = 0x7FF00;
    FilterEnvelope(vs);
    EXPECT_EQ(riseLine[0x7FF] >> 19, 7934u);
    EXPECT_EQ(vs.filterCutoff, 8190u);
    // A low cutoff: 200 + 7,934.
    ArmFilter(31, 283, 87, 0, 500);
    vs.cutoff = 200;
    vs.filterEnvAttackPhase = 0x7FF00;
    FilterEnvelope(vs);
    EXPECT_EQ(vs.filterCutoff, 200u + 7934u);

    // Decay: the sum is formed at full width. R + 8,000 x 2^19 carries past 2^32
    // once R exceeds 2^32 - 4,194,304,000 = 100,663,296: then 0xF4000000 >> 19 = 7,808.
    ArmFilter(31, 283, 87, 0, 500);
    vs.filterEnvStage = -1;
    vs.filterEnvPeak = 0xF0000000u;
    vs.cutoff = 8000;
    FilterEnvelope(vs);
    EXPECT_GT(hiu(0xF0000000u, fallLine[0]), 100663296u);
    EXPECT_EQ(vs.filterCutoff, 7808u);
    // Without a carry: cutoff 8,190 (8,190 x 2^19 = 4,293,918,720) and R of about
    // 600,000 (at least 2^19, below 2^20) give 8,191.
    ArmFilter(31, 283, 87, 0, 500);
    vs.filterEnvStage = -1;
    vs.filterEnvPeak = 620000;
    vs.cutoff = 8190;
    FilterEnvelope(vs);
    const uint32_t r = hiu(620000u, fallLine[0]);
    ASSERT_GE(r, 1u << 19);
    ASSERT_LT(r, 1u << 20);
    EXPECT_EQ(vs.filterCutoff, 8191u);

    // Release (gate 0, stage 1) of a large value: min(8,190, 8,000 + R >> 19).
    ArmFilter(31, 283, 87, 0, 500);
    vs.filterEnvStage = 1;
    vs.filterEnvGate = 0;
    vs.filterEnvValue = 0xF0000000u;
    vs.cutoff = 8000;
    FilterEnvelope(vs);
    EXPECT_EQ(vs.filterCutoff, 8190u);
    // Held sustain: R = hiu(S, fall line [0]), about 0.968 S.
    ArmFilter(31, 283, 87, 0, 500);
    vs.filterEnvStage = 1;
    vs.filterEnvValue = 0x40000000u;
    vs.cutoff = 2000;
    FilterEnvelope(vs);
    EXPECT_EQ(vs.filterCutoff, 2000u + (hiu(0x40000000u, fallLine[0]) >> 19));
    EXPECT_EQ(vs.filterCutoff, 2000u + 1982u) << "0.968 x 2^30 >> 19 = 1,982.6";

    // The end mark and level 0 give the cutoff itself.
    ArmFilter(31, 283, 87, 0, 500);
    vs.filterEnvStage = 1;
    vs.filterEnvGate = 0;
    vs.filterEnvReleasePhase = 0x7C000;
    vs.cutoff = 3000;
    FilterEnvelope(vs);
    EXPECT_EQ(vs.filterCutoff, 3000u);
    ArmFilter(0, 283, 87, 0, 500);
    vs.cutoff = 3001;
    FilterEnvelope(vs);
    EXPECT_EQ(vs.filterCutoff, 3001u);
    EXPECT_EQ(vs.filterEnvAttackPhase, 0u) << "level 0 changes no field";
}

TEST_F(EnvelopeTest, FilterEnvelopeRunsOnlyWithAFilterType) {
    Set(kParamFilterOn, 1);
    Set(kParamFilterType, 1);
    Set(kParamFilterCutoff, 20);
    Set(kParamFilterGain, 80);
    Set(kParamFilterAttack, 40);
    VoiceState& vs = V();
    ASSERT_TRUE(StartFrame(60));
    RenderVoiceChunk(kVoice, 0);
    // Attack entry 0 of the rising line (raised to 4): 4 >> 19 adds nothing.
    EXPECT_EQ(vs.filterCutoff, 20u * 93u);
    EXPECT_EQ(vs.filterEnvAttackPhase, 283u);

    // Filter off: neither the envelope nor the cutoff moves.
    vs.filterType = 0;
    vs.filterCutoff = 777;
    RenderVoiceChunk(kVoice, 0);
    EXPECT_EQ(vs.filterCutoff, 777u);
    EXPECT_EQ(vs.filterEnvAttackPhase, 283u);
}

}  // namespace
