// Effect set-up, the three effect units and the clearing of their memory.
//
// The units are driven the way the master loop drives them: each frame advances
// the master's chunkPhase, writes the effect sends at that sub-frame and calls
// RunEffectUnits; the outputs are read back from the master state. Expected
// values are worked out below from the units' fixed-point arithmetic.
#include <cstring>
#include <utility>
#include <vector>

#include "engine/effect_dsp.h"
#include "engine/stages.h"
#include "tests/engine/engine_fixture.h"

namespace {

// floor(a * b / 2^32) of the signed 64-bit product.
int32_t Hi(int64_t a, int64_t b) { return static_cast<int32_t>((a * b) >> 32); }

constexpr int32_t kPercent = 21474836;      // slider step of the delay feedback, Q31
constexpr int32_t kAllPass = 1503238553;    // 0.7, Q31

struct Sends {
    int32_t l1 = 0, r1 = 0, l2 = 0, r2 = 0;
};
struct Outs {
    int32_t l1, r1, l2, r2;
    int32_t feedL, feedR;  // the effect-2 send after the serial feed
};

class EffectsTest : public EngineTest {
protected:
    // Sets one unit's type and sliders (unit 0..2) and runs the set-up.
    static void Configure(int unit, int32_t type, int32_t s1 = 0, int32_t s2 = 0, int32_t s3 = 0) {
        g_effectSettings.fxType[unit] = type;
        g_effectSettings.fxParam[unit][0] = s1;
        g_effectSettings.fxParam[unit][1] = s2;
        g_effectSettings.fxParam[unit][2] = s3;
        UpdateEffectUnits();
    }

    // Runs `frames` master frames with the sends that input(f) gives for frame f.
    template <typename In>
    static std::vector<Outs> Run(int frames, In input) {
        MasterState& ms = g_masterState;
        std::vector<Outs> out;
        out.reserve(frames);
        for (int f = 0; f < frames; ++f) {
            ms.chunkPhase = (ms.chunkPhase + 1) & 3;
            const int k = ms.chunkPhase;
            const Sends s = input(f);
            ms.fx1InLeft[k] = s.l1;
            ms.fx1InRight[k] = s.r1;
            ms.fx2InLeft[k] = s.l2;
            ms.fx2InRight[k] = s.r2;
            RunEffectUnits();
            out.push_back({ms.fx1OutLeft, ms.fx1OutRight, ms.fx2OutLeft, ms.fx2OutRight, ms.fx2InLeft[k],
                           ms.fx2InRight[k]});
        }
        return out;
    }
    static std::vector<Outs> RunSilence(int frames) {
        return Run(frames, [](int) { return Sends{}; });
    }
};

// ---------------------------------------------------------------------------
// Set-up

struct SetUpCase {
    const char* what;
    uint32_t tempo;
    uint32_t doubleSteps;
    int unit;
    int32_t type, s1, s2, s3;
    int64_t (*field)();
    int64_t expected;
};
#define FIELD(expr) [] { return static_cast<int64_t>(expr); }

TEST_F(EffectsTest, SetUpComputesTheCoefficientsOfEachKind) {
    const SetUpCase cases[] = {
        // Delay length in ring bytes: floor(floor(661,500,000 / tempo) x steps / 250).
        {"1 step at 120", 120, 0, 0, 1, 1, 0, 0, FIELD(g_fx1State.delayLength), 22050},
        {"1 step at 400", 400, 0, 0, 2, 1, 0, 0, FIELD(g_fx1State.delayLength), 6615},
        {"1 step at 120, 8/12 steps", 120, 1, 0, 3, 1, 0, 0, FIELD(g_fx1State.delayLength), 11025},
        {"16 steps at 40", 40, 0, 1, 4, 16, 0, 0, FIELD(g_fx2State.delayLength), 1058400},
        {"tempo 0 taken as 1", 0, 0, 2, 1, 1, 0, 0, FIELD(g_fx3State.delayLength), 661500000 / 250},
        // Feedback s2 / 100 in Q31; negative in units 1 and 2 only.
        {"unit 1 feedback 90", 120, 0, 0, 1, 1, 90, 0, FIELD(g_fx1State.feedback), -1932735240},
        {"unit 2 feedback 90", 120, 0, 1, 4, 1, 90, 0, FIELD(g_fx2State.feedback), -1932735240},
        {"unit 3 feedback 90", 120, 0, 2, 3, 1, 90, 0, FIELD(g_fx3State.feedback), 1932735240},
        // Phasers: rate 16 s1^2, base s2, feedback s3 / 100.
        {"phaser rate 10", 120, 0, 0, 5, 10, 0, 0, FIELD(g_fx1State.sweepRate), 1600},
        {"phaser rate 180", 120, 0, 1, 5, 180, 0, 0, FIELD(g_fx2State.sweepRate), 518400},
        {"phaser base", 120, 0, 0, 6, 10, 140, 0, FIELD(g_fx1State.baseDelay), 140},
        {"phaser feedback", 120, 0, 0, 6, 10, 0, 90, FIELD(g_fx1State.feedback), 90 * kPercent},
        // Flangers: rate 32 s1^2, feedback 0.4375 + s3 / 198.
        {"flanger rate 100", 120, 0, 1, 6, 100, 0, 0, FIELD(g_fx2State.sweepRate), 320000},
        {"flanger feedback 0", 120, 0, 0, 7, 10, 0, 0, FIELD(g_fx1State.feedback), 939524096},
        {"flanger feedback 90", 120, 0, 0, 8, 10, 0, 90, FIELD(g_fx1State.feedback), 90 * 10845877 + 939524096},
        // Choruses: base 44 s1 frames, depth s2 x 2.25 x 2^24, rate s3 x 4,096 + 49,152.
        {"chorus base", 120, 0, 0, 11, 40, 10, 1, FIELD(g_fx1State.baseDelay), 1760},
        {"chorus depth 100", 120, 0, 0, 9, 10, 100, 1, FIELD(g_fx1State.sweepDepth), 3774873600},
        {"chorus rate 1", 120, 0, 1, 7, 10, 10, 1, FIELD(g_fx2State.sweepRate), 53248},
        {"chorus rate 100", 120, 0, 0, 10, 10, 10, 100, FIELD(g_fx1State.sweepRate), 458752},
        // Reverbs: pre-delay s1 ms in line bytes; comb gains.
        {"room pre-delay", 120, 0, 2, 5, 10, 0, 0, FIELD(g_fx3State.preDelay), 10 * 44 * 4},
        {"hall pre-delay", 120, 0, 2, 6, 92, 0, 0, FIELD(g_fx3State.preDelay), 92 * 44 * 4},
        {"room rev time 0", 120, 0, 2, 5, 10, 0, 0, FIELD(g_fx3State.feedback), 1 << 30},
        // u = 128, v = 128^2 / 256 = 64
        {"room rev time 128", 120, 0, 2, 5, 10, 128, 0, FIELD(g_fx3State.feedback), (256 - 64) * 2800000 + (1 << 30)},
        {"room rev time 256", 120, 0, 2, 5, 10, 256, 0, FIELD(g_fx3State.feedback), 256 * 2800000 + (1 << 30)},
        {"hall rev time 256", 120, 0, 2, 6, 5, 256, 0, FIELD(g_fx3State.feedback), -2013265920},
        {"plate rev time 0", 120, 0, 2, 7, 5, 0, 0, FIELD(g_fx3State.feedback), -1610612736},
    };
    // The steps-per-beat setting of 6 does not enter the delay lengths.
    g_stepsPerBeat = 6;
    for (const SetUpCase& c : cases) {
        ResetEngineGlobals();
        g_tempo = c.tempo;
        g_doubleStepsPerBeat = c.doubleSteps;
        Configure(c.unit, c.type, c.s1, c.s2, c.s3);
        EXPECT_EQ(c.field(), c.expected) << c.what;
    }
    g_stepsPerBeat = 4;
}

TEST_F(EffectsTest, TypesMapToCodesAndBadTypesKeepThePreviousSetUp) {
    const uint32_t codes[3][12] = {
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
        {0, 1, 2, 3, 4, 6, 8, 10},
        {0, 1, 2, 3, 4, 5, 7, 8},
    };
    for (int unit = 0; unit < 3; ++unit) {
        for (int32_t type = 0; type < kFxTypeCount[unit]; ++type) {
            Configure(unit, type, 1, 0, 1);
            EXPECT_EQ(g_fxCode[unit], codes[unit][type]) << "unit " << unit + 1 << " type " << type;
        }
    }

    // Type 0 sets the code to 0 and leaves the coefficients.
    Configure(0, 1, 4, 50);
    Configure(0, 0, 16, 90);
    EXPECT_EQ(g_fxCode[0], 0u);
    EXPECT_EQ(g_fx1State.delayLength, 4u * 22050);
    EXPECT_EQ(g_fx1State.feedback, -50 * kPercent);

    // A type outside the unit's list changes nothing.
    const std::pair<int, int32_t> bad[] = {{0, 12}, {1, 8}, {2, -1}, {2, 1000}};
    for (auto [unit, type] : bad) {
        Configure(0, 1, 4, 50);
        Configure(1, 6, 50, 7, 3);
        Configure(2, 5, 20, 128);
        const EffectUnitState s1 = g_fx1State, s2 = g_fx2State;
        const EffectUnit3State s3 = g_fx3State;
        const uint32_t before[3] = {g_fxCode[0], g_fxCode[1], g_fxCode[2]};
        Configure(unit, type, 16, 90, 90);
        EXPECT_EQ(std::memcmp(g_fxCode, before, sizeof(before)), 0) << unit << "/" << type;
        EXPECT_EQ(std::memcmp(&g_fx1State, &s1, sizeof(s1)), 0) << unit << "/" << type;
        EXPECT_EQ(std::memcmp(&g_fx2State, &s2, sizeof(s2)), 0) << unit << "/" << type;
        EXPECT_EQ(std::memcmp(&g_fx3State, &s3, sizeof(s3)), 0) << unit << "/" << type;
        g_effectSettings.fxType[unit] = 0;
    }
}

TEST_F(EffectsTest, TypeListsAndSliderTable) {
    EXPECT_STREQ(FindEffectType(0, 11)->name, "Chorus, dual-voice stereo");
    EXPECT_STREQ(FindEffectType(1, 5)->name, "Phaser, spatial");
    EXPECT_STREQ(FindEffectType(2, 7)->name, "Reverb, plate");
    EXPECT_EQ(FindEffectType(1, 8), nullptr);

    struct Expect {
        int unit;
        int32_t type;
        int slider;
        const char* label;
        int32_t min, max;
    };
    const Expect cases[] = {
        {0, 0, 0, "not used", 0, 0},
        {2, 4, 0, "Delay %lu step(s)", 1, 16},
        {1, 1, 1, "Feedback %lu%%", 0, 90},
        {1, 1, 2, "not used", 0, 0},
        {1, 5, 0, "Phasing speed", 10, 180},
        {0, 5, 2, "Feedback %lu%%", 0, 90},
        {1, 6, 0, "Flanging speed", 10, 100},
        {0, 8, 1, "Sweep distance", 0, 140},
        {1, 7, 0, "Delay %lums", 10, 40},
        {0, 9, 1, "Depth", 10, 100},
        {0, 11, 2, "Rate", 1, 100},
        {2, 5, 0, "Pre delay", 10, 92},
        {2, 6, 0, "Pre delay", 5, 92},
        {2, 7, 1, "Rev time", 0, 256},
    };
    for (const Expect& c : cases) {
        const EffectSlider& s = EffectSliders(FindEffectType(c.unit, c.type)->kind)[c.slider];
        EXPECT_STREQ(s.label, c.label) << c.unit << "/" << c.type << "/" << c.slider;
        EXPECT_EQ(s.min, c.min) << c.label;
        EXPECT_EQ(s.max, c.max) << c.label;
    }
}

// ---------------------------------------------------------------------------
// Delays

struct Event {
    int frame;
    char side;  // 'L' or 'R'
    int32_t value;
    bool operator==(const Event&) const = default;
};

// Second repeat of a delay: 2 x floor(x x feedback / 2^32).
int32_t Repeat(int32_t x, int32_t feedback) { return 2 * Hi(x, feedback); }

TEST_F(EffectsTest, DelayImpulseResponses) {
    constexpr int kD = 5513;  // 1 step at 120 BPM: 22,050 bytes, read ceil(22,050 / 4) frames back
    const int32_t fb12 = -50 * kPercent;
    const int32_t fb3 = 50 * kPercent;
    ASSERT_EQ(Repeat(500, fb12), -250);
    ASSERT_EQ(Repeat(500, fb3), 248);
    struct Case {
        const char* what;
        int unit;
        int32_t type;
        uint32_t tempo;
        int32_t steps, feedback;
        char side;
        std::vector<Event> expected;
    };
    const Case cases[] = {
        {"unit 1 digital, no feedback", 0, 1, 120, 1, 0, 'L', {{kD, 'L', 500}}},
        {"unit 1 digital", 0, 1, 120, 1, 50, 'L',
         {{kD, 'L', 500}, {2 * kD, 'L', -250}, {3 * kD, 'L', Repeat(-250, fb12)}}},
        {"unit 2 digital", 1, 1, 120, 1, 50, 'R',
         {{kD, 'R', 500}, {2 * kD, 'R', -250}, {3 * kD, 'R', Repeat(-250, fb12)}}},
        {"unit 3 digital", 2, 1, 120, 1, 50, 'L',
         {{kD, 'L', 500}, {2 * kD, 'L', 248}, {3 * kD, 'L', Repeat(248, fb3)}}},
        {"unit 1 stereo", 0, 2, 120, 1, 50, 'R', {{kD, 'L', 500}, {2 * kD, 'L', -250}, {3 * kD, 'L', 124}}},
        {"unit 1 spatial, right in", 0, 3, 120, 1, 50, 'R',
         {{kD, 'L', -500}, {2 * kD, 'L', Repeat(-500, fb12)}, {3 * kD, 'L', Repeat(Repeat(-500, fb12), fb12)}}},
        {"unit 2 spatial, left in", 1, 3, 120, 1, 0, 'L', {{kD, 'R', 500}}},
        {"unit 3 spatial, right in", 2, 3, 120, 1, 0, 'R', {{kD, 'L', -500}}},
        {"unit 1 ping-pong", 0, 4, 120, 1, 50, 'L',
         {{kD, 'R', 500}, {2 * kD, 'L', -250}, {3 * kD, 'R', Repeat(-250, fb12)}}},
        {"unit 3 ping-pong", 2, 4, 120, 1, 50, 'L',
         {{kD, 'R', 500}, {2 * kD, 'L', 248}, {3 * kD, 'R', Repeat(248, fb3)}}},
        // 1,058,400 bytes = 264,600 frames: read modulo the ring, 264,600 - 2 x 131,072.
        {"16 steps at 40 BPM", 0, 1, 40, 16, 0, 'L', {{2456, 'L', 500}}},
    };
    for (const Case& c : cases) {
        ResetEngineGlobals();
        g_tempo = c.tempo;
        Configure(c.unit, c.type, c.steps, c.feedback);
        const int32_t l = c.side == 'L' ? 1000 : 0;
        const int32_t r = c.side == 'R' ? 1000 : 0;
        const std::vector<Outs> out = Run(3 * kD + 10, [&](int f) {
            if (f != 0) return Sends{};
            return c.unit == 0 ? Sends{l, r, 0, 0} : Sends{0, 0, l, r};
        });
        std::vector<Event> seen;
        for (int f = 0; f < static_cast<int>(out.size()); ++f) {
            const int32_t ol = c.unit == 0 ? out[f].l1 : out[f].l2;
            const int32_t orr = c.unit == 0 ? out[f].r1 : out[f].r2;
            if (ol != 0) seen.push_back({f, 'L', ol});
            if (orr != 0) seen.push_back({f, 'R', orr});
        }
        EXPECT_EQ(seen, c.expected) << c.what;
    }
}

TEST_F(EffectsTest, DelayStoresHalfTheInputRoundedDownAndClamped) {
    // The stored frame is clamp((input >> 1) + feedback term) per half.
    Configure(0, 1, 1, 90);
    Run(1, [](int) { return Sends{-1001, 100000, 0, 0}; });
    EXPECT_EQ(g_fx1Ring[g_fx1State.writePos / 4], fx::Pack(-501, 32767));
    Run(1, [](int) { return Sends{100000, -100000, 0, 0}; });
    EXPECT_EQ(g_fx1Ring[g_fx1State.writePos / 4], fx::Pack(32767, -32768));
}

// ---------------------------------------------------------------------------
// Phasers, flangers, choruses

TEST_F(EffectsTest, FlangerPassesItsInputUntilTheFirstFrameReturns) {
    // Speed 10: sweep rate 3,200 per frame; distance 0; feedback slider 0 gives
    // 0.4375. From phase 0 the left delay is 100 frames with fraction
    // (3,200 f) >> 9; the stereo right channel runs a quarter period ahead:
    // 64 + 100 frames, fraction (3,200 (f + 1)) >> 9.
    Configure(0, 7, 10, 0, 0);  // unit 1 mono
    Configure(1, 6, 10, 0, 0);  // unit 2 stereo
    const std::vector<Outs> out = Run(201, [](int) { return Sends{100, 100, 100, 100}; });
    for (int f = 0; f < 100; ++f) {
        ASSERT_EQ(out[f].l1, 100) << f;
        ASSERT_EQ(out[f].r1, 100) << f;
        ASSERT_EQ(out[f].l2, 100) << f;
    }
    for (int f = 0; f < 164; ++f) ASSERT_EQ(out[f].r2, 100) << f;

    // Frame 100 reads frame 0 (100) toward the empty frame before it.
    const int32_t f100 = (3200 * 100) >> 9;
    const int32_t y100 = 100 + 2 * ((-100 * f100) >> 16);
    EXPECT_EQ(y100, 98);
    EXPECT_EQ(out[100].l1, 100 + y100);
    EXPECT_EQ(out[100].r1, 100 + y100);  // mono: the right uses the left's sweep
    EXPECT_EQ(out[100].l2, 100 + y100);
    EXPECT_EQ(out[101].l1, 200);  // frames 1 and 0 both hold 100
    const int32_t fr164 = (3200 * 165) >> 9;
    EXPECT_EQ(out[164].r2, 100 + 100 + 2 * ((-100 * fr164) >> 16));

    // Feedback: frame 100 stored 100 + 2 hi(98 x 0.4375); frame 200 reads it
    // toward frame 99's 100.
    const int32_t stored100 = 100 + 2 * Hi(y100, 939524096);
    EXPECT_EQ(stored100, 142);
    const int32_t f200 = (3200 * 200) >> 9;
    EXPECT_EQ(out[200].l1, 100 + stored100 + 2 * (((100 - stored100) * f200) >> 16));
}

TEST_F(EffectsTest, SweepAtMinusHalfTurnGivesTheLongestDelayWithoutFraction) {
    Configure(0, 7, 10, 7, 0);  // mono flanger, distance 7
    g_fx1State.sweepPhase = 0x80000000u;
    g_fx1State.writePos = 1000;
    for (int i = 0; i < 1000; ++i) g_fx1Ring[i] = fx::Pack(3 * i, -5 * i);
    const std::vector<Outs> out = RunSilence(1);
    // Delay 128 + 100 + 7 frames, fraction 0: exactly frame 1000 - 235.
    EXPECT_EQ(out[0].l1, 3 * (1000 - 235));
    EXPECT_EQ(out[0].r1, -5 * (1000 - 235));
}

TEST_F(EffectsTest, PhaserAllPassAroundTheSweptDelay) {
    // Speed 10: rate 1,600; distance 0; delay 100 frames from phase 0. Constant
    // input 1,001: the direct path is hi(1,001 x -0.375 x 2^32) = -376, and the
    // stored frame 1,001 + hi(-376 x 0.375 x 2^32) = 860 while nothing returns.
    Configure(0, 5, 10, 0, 0);   // unit 1 mono, no feedback
    Configure(1, 5, 10, 0, 90);  // unit 2 spatial, feedback 90
    const std::vector<Outs> out = Run(201, [](int) { return Sends{1001, 1001, 1001, 1001}; });
    const int32_t direct = Hi(1001, -1610612736);
    const int32_t stored = 1001 + Hi(direct, 1610612736);
    ASSERT_EQ(direct, -376);
    ASSERT_EQ(stored, 860);
    for (int f = 0; f < 100; ++f) {
        ASSERT_EQ(out[f].l1, direct) << f;
        ASSERT_EQ(out[f].r2, direct) << f;
    }
    // Frame 100 reads frame 0 toward the empty frame before it.
    const int32_t fl = (1600 * 100) >> 9;
    const int32_t yl = stored + 2 * ((-stored * fl) >> 16);
    EXPECT_EQ(out[100].l1, yl + direct);
    EXPECT_EQ(out[100].r1, yl + direct);
    EXPECT_EQ(out[100].l2, yl + direct);
    // Spatial: the right phase is the advanced sweep phase plus a drift phase
    // that grows 4,096 per frame.
    const int32_t fr = (1600 * 101 + 4096 * 100) >> 9;
    const int32_t yr = stored + 2 * ((-stored * fr) >> 16);
    EXPECT_EQ(out[100].r2, yr + direct);
    EXPECT_NE(yr, yl);
    // Unit 2's frame 100 stored 1,001 + hi(out x 0.375) + hi(y x feedback);
    // frame 200 reads it toward frame 99's 860.
    const int32_t stored100 = 1001 + Hi(yl + direct, 1610612736) + Hi(yl, 90 * kPercent);
    const int32_t f200 = (1600 * 200) >> 9;
    EXPECT_EQ(out[200].l2, stored100 + 2 * (((stored - stored100) * f200) >> 16) + direct);
}

// Ring content for the chorus reads: a ramp of 16 per frame, wrapping every
// 1,024 frames; the right half negated, the dual-voice second ring at 8 per frame.
int32_t Ramp(uint32_t i) { return 16 * static_cast<int32_t>(i & 1023); }
int32_t Ramp2(uint32_t i) { return 8 * static_cast<int32_t>(i & 1023); }
// The swept read at delay d, fraction f from write frame 5,000 on a ramp.
int32_t RampRead(int32_t (*ramp)(uint32_t), int32_t sign, uint32_t d, int32_t f) {
    const int32_t c = sign * ramp(5000 - d);
    const int32_t a = sign * ramp(5000 - d - 1);
    return static_cast<int16_t>(c + 2 * (((a - c) * f) >> 16));
}

TEST_F(EffectsTest, ChorusSweepRanges) {
    // Delay 10 ms (440 frames), depth 10 (sweep depth 377,487,360), rate 1
    // (53,248). Left delay 1 + 440 + (m >> 24) with m = 2 hiu(|P| x depth):
    // 0 at phase 0, 22.5 frames at phase -2^31. The stereo right channel sweeps
    // the full 0..128 frames a quarter period ahead of the advanced phase.
    constexpr uint32_t kRate = 53248;
    struct Case {
        const char* what;
        int32_t type;
        uint32_t phase;
        int32_t left, right;
    };
    const uint32_t half = 0x80000000u;
    // m for |P| = 2^31: 2 x hiu(2^31 x 377,487,360) = 377,487,360 = 22 x 2^24 + 2^23.
    const int32_t halfFraction = (377487360 & 0xFFFFFF) >> 9;
    ASSERT_EQ(377487360u >> 24, 22u);
    ASSERT_EQ(halfFraction, 16384);
    // Right at phase -2^31: advanced phase + 2^30 = 0xC000D000, |P'| = 0x3FFF3000.
    const uint32_t tr = 0x3FFF3000u;
    // Left at phase 2^30 - rate: m = 2 hiu(|P| x depth).
    const uint32_t m = 2 * hiu(0x40000000u - kRate, 377487360u);
    const Case cases[] = {
        {"stereo, phase 0", 10, 0, RampRead(Ramp, 1, 441, 0),
         RampRead(Ramp, -1, 441 + ((kRate + 0x40000000u) >> 24), ((kRate + 0x40000000u) & 0xFFFFFF) >> 9)},
        {"stereo, phase -2^31", 10, half, RampRead(Ramp, 1, 441 + 22, halfFraction),
         RampRead(Ramp, -1, 441 + (tr >> 24), (tr & 0xFFFFFF) >> 9)},
        {"stereo, right at its longest", 10, 0x40000000u - kRate, RampRead(Ramp, 1, 441 + (m >> 24), (m & 0xFFFFFF) >> 9),
         RampRead(Ramp, -1, 441 + 128, 0)},
        {"mono, phase -2^31", 9, half, RampRead(Ramp, 1, 463, halfFraction),
         RampRead(Ramp, -1, 463, halfFraction)},
    };
    ASSERT_EQ(RampRead(Ramp, 1, 463, 16384), Ramp(5000 - 463) - 8);  // half-way to the older frame
    for (const Case& c : cases) {
        ResetEngineGlobals();
        Configure(0, c.type, 10, 10, 1);
        g_fx1State.sweepPhase = c.phase;
        g_fx1State.writePos = 5000;
        for (uint32_t i = 0; i < 5000; ++i) g_fx1Ring[i] = fx::Pack(Ramp(i), -Ramp(i));
        const std::vector<Outs> out = RunSilence(1);
        EXPECT_EQ(out[0].l1, c.left) << c.what;
        EXPECT_EQ(out[0].r1, c.right) << c.what;
    }
}

TEST_F(EffectsTest, DualVoiceChorusHalvesBothVoicesAndStoresTheInputInBothRings) {
    constexpr uint32_t kRate = 53248;
    Configure(0, 11, 10, 10, 1);
    g_fx1State.sweepPhase = 0x80000000u;
    g_fx1State.sweepPhase2 = 0;
    g_fx1State.writePos = 5000;
    uint32_t* ring2 = g_fx1Ring + 65536;
    for (uint32_t i = 0; i < 5000; ++i) {
        g_fx1Ring[i] = fx::Pack(Ramp(i), -Ramp(i));
        ring2[i] = fx::Pack(Ramp2(i), -Ramp2(i));
    }
    const std::vector<Outs> out = Run(1, [](int) { return Sends{40000, -40000, 0, 0}; });

    // First voice as the stereo chorus. Second voice: left from phase 0 (delay
    // 1,200 + 440, no sweep); right a quarter ahead of the second phase advanced
    // by rate + 16,384.
    const int32_t first = RampRead(Ramp, 1, 463, 16384);
    const uint32_t p2 = kRate + 16384 + 0x40000000u;
    const int32_t secondLeft = RampRead(Ramp2, 1, 1640, 0);
    const int32_t secondRight = RampRead(Ramp2, -1, 1640 + (p2 >> 24), (p2 & 0xFFFFFF) >> 9);
    const uint32_t tr = 0x3FFF3000u;
    const int32_t firstRight = RampRead(Ramp, -1, 441 + (tr >> 24), (tr & 0xFFFFFF) >> 9);
    EXPECT_EQ(out[0].l1, (first >> 1) + (secondLeft >> 1));
    EXPECT_EQ(out[0].r1, (firstRight >> 1) + (secondRight >> 1));
    EXPECT_EQ(g_fx1State.sweepPhase2, kRate + 16384);
    // The input, clamped but neither halved nor fed back, in both rings.
    EXPECT_EQ(g_fx1Ring[5000], fx::Pack(32767, -32768));
    EXPECT_EQ(ring2[5000], fx::Pack(32767, -32768));
    EXPECT_EQ(g_fx1State.writePos, 5001u);
}

// ---------------------------------------------------------------------------
// Routing

TEST_F(EffectsTest, SerialFeedCarriesUnit1IntoUnits2And3) {
    constexpr int kD = 5513;
    auto impulse1 = [](int f) { return f == 0 ? Sends{1000, -1000, 0, 0} : Sends{}; };
    // g = send level 40 = 40^2 x 1,342,177; the feed is floor(+-500 x g / 2^31).
    const int64_t g40 = 1600LL * 1342177;
    const int32_t fed = static_cast<int32_t>((500 * g40) >> 31);
    const int32_t fedRight = static_cast<int32_t>((-500 * g40) >> 31);
    ASSERT_EQ(fed, 499);
    ASSERT_EQ(fedRight, -500);

    struct Case {
        const char* what;
        int32_t unit2, unit3, serial, amount;
        int32_t fedAtD;     // effect-2 send after the feed at frame kD
        int32_t out2At2D;   // effect-2 output at frame 2 kD
    };
    const Case cases[] = {
        {"parallel", 0, 1, 0, 40, 0, 0},
        {"serial, amount 0", 0, 1, 1, 0, 0, 0},
        {"serial into unit 3", 0, 1, 1, 40, fed, fed >> 1},
        {"serial into unit 2, unit 3 off", 1, 0, 1, 40, fed, fed >> 1},
        {"amount above 40 held at 40", 0, 1, 1, 41, fed, fed >> 1},
        {"amount far above 40", 0, 1, 1, 1 << 30, fed, fed >> 1},
        {"negative amount held at 0", 0, 1, 1, -5, 0, 0},
    };
    for (const Case& c : cases) {
        ResetEngineGlobals();
        g_effectSettings.fxSerial = c.serial;
        g_effectSettings.fxSerialAmount = c.amount;
        Configure(0, 1, 1, 0);
        Configure(1, c.unit2, 1, 0);
        Configure(2, c.unit3, 1, 0);
        const std::vector<Outs> out = Run(2 * kD + 1, impulse1);
        EXPECT_EQ(out[kD].l1, 500) << c.what;  // unit 1 is heard directly either way
        EXPECT_EQ(out[kD].feedL, c.fedAtD) << c.what;
        EXPECT_EQ(out[kD].feedR, c.fedAtD == 0 ? 0 : fedRight) << c.what;
        EXPECT_EQ(out[2 * kD].l2, c.out2At2D) << c.what;
        for (int f = 0; f < 2 * kD; ++f) ASSERT_EQ(out[f].l2, 0) << c.what << " frame " << f;
    }
}

TEST_F(EffectsTest, Unit3HearsUnit2AndAddsToIt) {
    constexpr int kD = 5513;
    Configure(1, 1, 1, 0);
    Configure(2, 1, 1, 0);
    const std::vector<Outs> out = Run(2 * kD + 1, [](int f) { return f == 0 ? Sends{0, 0, 1000, 0} : Sends{}; });
    // Frame kD: unit 2's echo (500) plus unit 3's echo of the send (500). Frame
    // 2 kD: unit 3's echo of unit 2's echo.
    EXPECT_EQ(out[kD].l2, 1000);
    EXPECT_EQ(out[2 * kD].l2, 250);
}

TEST_F(EffectsTest, UnitOffOutputsZeroAndStandsStill) {
    Configure(0, 10, 20, 50, 50);
    Configure(1, 6, 50, 10, 10);
    RunSilence(3);
    for (uint32_t i = 0; i < 4096; ++i) g_fx1Ring[i] = g_fx2Ring[i] = 0x00010001u * (i + 1);
    Configure(0, 0);
    g_fxCode[1] = kFxPhaserMono;  // a code unit 2 does not know counts as off
    const EffectUnitState s1 = g_fx1State, s2 = g_fx2State;
    g_masterState.fx1OutLeft = g_masterState.fx1OutRight = 77;
    const std::vector<Outs> out = Run(2, [](int) { return Sends{1000, 1000, 1000, 1000}; });
    for (const Outs& o : out) {
        EXPECT_EQ(o.l1, 0);
        EXPECT_EQ(o.r1, 0);
        EXPECT_EQ(o.l2, 0);
        EXPECT_EQ(o.r2, 0);
    }
    EXPECT_EQ(std::memcmp(&g_fx1State, &s1, sizeof(s1)), 0);
    EXPECT_EQ(std::memcmp(&g_fx2State, &s2, sizeof(s2)), 0);
    for (uint32_t i = 0; i < 4096; ++i) ASSERT_EQ(g_fx1Ring[i], 0x00010001u * (i + 1)) << i;
    for (uint32_t i = 0; i < 4096; ++i) ASSERT_EQ(g_fx2Ring[i], 0x00010001u * (i + 1)) << i;
    // Unit 3, off, still takes its input: the send plus unit 2's output.
    EXPECT_EQ(g_fx3State.inputLeft, 1000);
}

// ---------------------------------------------------------------------------
// Reverbs

// The three all-passes' direct path on empty lines: v = x, y = 2 hi(-v x a).
int32_t AllPassesDirect(int32_t x, int32_t a1, int32_t a2, int32_t a3) {
    for (int32_t a : {a1, a2, a3}) x = 2 * Hi(-static_cast<int64_t>(x), a);
    return x;
}

// The input low-pass cascade's output for an impulse x at frame 0:
// s_j = x_j + (s_j >> 1) per stage, each stage feeding the next.
std::vector<int32_t> PreFiltered(int32_t x, int stages, int frames) {
    std::vector<int32_t> s(stages, 0), out;
    for (int f = 0; f < frames; ++f) {
        int32_t in = f == 0 ? x : 0;
        for (int32_t& stage : s) in = stage = in + (stage >> 1);
        out.push_back(in);
    }
    return out;
}

TEST_F(EffectsTest, ReverbsStaySilentUntilTheirPreDelayHasPassed) {
    // An impulse of 1,000 in one input. Until the pre-delay has passed, and for
    // the hall until its first comb has returned too, that channel is silent;
    // the other channel stays silent throughout. While the all-pass lines are
    // still empty (88 frames) the output is the all-passes' direct path of the
    // comb sum: room 4 x the pre-delayed value, plate 6 x, hall only the scaled
    // return of comb 1 (1,980 frames left, 2,024 right), 2 hi(p x -0.75).
    constexpr int32_t kHallGain = -1610612736;  // rev time 0
    struct Case {
        const char* what;
        int32_t type, s1;
        bool right;
        int32_t inputGain;
        int stages;
        int first;
        int combs;      // room and plate: combs x p; hall (0): 2 hi(p x gain)
        int32_t allPass2;
        int32_t sign;   // the room's right output is subtracted
    };
    const Case cases[] = {
        {"room, left", 5, 10, false, 32, 4, 440, 4, kAllPass, 1},
        {"room, right", 5, 10, true, 32, 4, 440, 4, kAllPass, -1},
        {"hall, left", 6, 5, false, -48, 4, 220 + 1980, 0, kAllPass, 1},
        {"hall, right", 6, 5, true, 48, 4, 220 + 2024, 0, kAllPass, 1},
        {"plate, left", 7, 5, false, -96, 2, 220, 6, -kAllPass, 1},
        {"plate, right", 7, 5, true, 96, 2, 220, 6, -kAllPass, 1},
    };
    for (const Case& c : cases) {
        ResetEngineGlobals();
        Configure(2, c.type, c.s1, 0);
        const std::vector<Outs> out = Run(c.first + 100, [&](int f) {
            if (f != 0) return Sends{};
            return c.right ? Sends{0, 0, 0, 1000} : Sends{0, 0, 1000, 0};
        });
        const std::vector<int32_t> pre = PreFiltered(1000 * c.inputGain, c.stages, 4);
        for (int f = 0; f < static_cast<int>(out.size()); ++f) {
            const int32_t heard = c.right ? out[f].r2 : out[f].l2;
            const int32_t other = c.right ? out[f].l2 : out[f].r2;
            ASSERT_EQ(other, 0) << c.what << " frame " << f;
            if (f < c.first) {
                ASSERT_EQ(heard, 0) << c.what << " frame " << f;
            }
            if (f >= c.first && f < c.first + 4) {
                const int32_t p = pre[f - c.first];
                const int32_t sum = c.combs != 0 ? c.combs * p : 2 * Hi(p, kHallGain);
                EXPECT_EQ(heard, c.sign * (AllPassesDirect(sum, kAllPass, c.allPass2, kAllPass) >> 12))
                    << c.what << " frame " << f;
            }
        }
        // A positive impulse in the left input starts with a negative value.
        if (!c.right) {
            EXPECT_LT(out[c.first].l2, 0) << c.what;
        }
    }
    // The cascade passes the impulse at once and rises while it smooths it.
    EXPECT_EQ(PreFiltered(32000, 4, 2)[1], 64000);
    EXPECT_EQ(PreFiltered(32000, 2, 2)[1], 32000);
}

TEST_F(EffectsTest, CombsRecirculateTheirLines) {
    // Comb 1 of the left channel (line 18). Until its delay D has passed it
    // reads empty line and writes the pre-delayed value p itself; from then on,
    // frame P + D + n reads back p[n] = the value written at frame P + n:
    //   room:  d = hi(c x g) + (d >> 1); line = d + p
    //   hall:  h = hi(c x g); d = h + (d >> 1); line = d + p
    //   plate: line = p + 2 hi(c x g)
    struct Case {
        const char* what;
        int32_t type, s1, s2;
        int32_t inputGain;
        int stages;
        int preDelay, combDelay;
        int32_t gain;
    };
    const Case cases[] = {
        {"room", 5, 10, 128, 32, 4, 440, 2200, (256 - 64) * 2800000 + (1 << 30)},
        {"hall", 6, 5, 0, -48, 4, 220, 1980, -1610612736},
        {"plate", 7, 5, 0, -96, 2, 220, 1980, -1610612736},
    };
    for (const Case& c : cases) {
        ResetEngineGlobals();
        Configure(2, c.type, c.s1, c.s2);
        const int end = c.preDelay + c.combDelay + 2;
        Run(end, [](int f) { return f == 0 ? Sends{0, 0, 1000, 0} : Sends{}; });
        // The pre-delayed value at frame P + n is the input cascade's output n.
        const std::vector<int32_t> pre = PreFiltered(1000 * c.inputGain, c.stages, c.combDelay + 2);
        EXPECT_EQ(g_reverbLines[18][(c.preDelay + 1) & 4095], pre[1]) << c.what;
        int32_t d = 0;
        for (int n = 0; n < 2; ++n) {
            const int32_t back = pre[n];
            const int32_t p = pre[c.combDelay + n];
            int32_t line;
            if (c.type != 7) {  // room and hall: the damped loop value
                d = Hi(back, c.gain) + (d >> 1);
                line = d + p;
            } else {
                line = p + 2 * Hi(back, c.gain);
            }
            EXPECT_EQ(g_reverbLines[18][(c.preDelay + c.combDelay + n) & 4095], line) << c.what << " " << n;
        }
        if (c.type != 7) {
            EXPECT_EQ(g_fx3State.combDamping[11], d) << c.what;
        }
    }
    // The arithmetic shifts round toward minus infinity, so after a negative
    // impulse the cascade settles below 0 and keeps feeding the lines.
    EXPECT_LT(PreFiltered(-48000, 4, 2000)[1999], 0);
    EXPECT_EQ(PreFiltered(48000, 4, 2000)[1999], 0);
}

TEST_F(EffectsTest, RoomInvertsItsRightChannel) {
    Configure(2, 5, 10, 200);
    const std::vector<Outs> out =
        Run(8000, [](int f) { return f % 1500 == 0 ? Sends{0, 0, 3000 - f, 3000 - f} : Sends{}; });
    int nonZero = 0;
    for (int f = 0; f < 8000; ++f) {
        ASSERT_EQ(out[f].r2, -out[f].l2) << f;
        nonZero += out[f].l2 != 0;
    }
    EXPECT_GT(nonZero, 4000);
}

TEST_F(EffectsTest, ReverbAddsToUnit2) {
    // Unit 2 digital delay echoes 500 at frame 5,513; the room hears that too,
    // but its pre-delay keeps it quiet there, so the sum is unit 2's echo plus
    // the room's tail of the send.
    Configure(2, 5, 10, 0);
    const std::vector<Outs> alone = Run(5600, [](int f) { return f == 0 ? Sends{0, 0, 1000, 0} : Sends{}; });
    ResetEngineGlobals();
    Configure(1, 1, 1, 0);
    Configure(2, 5, 10, 0);
    const std::vector<Outs> both = Run(5600, [](int f) { return f == 0 ? Sends{0, 0, 1000, 0} : Sends{}; });
    for (int f = 0; f < 5513; ++f) ASSERT_EQ(both[f].l2, alone[f].l2) << f;
    EXPECT_EQ(both[5513].l2, alone[5513].l2 + 500);
}

// ---------------------------------------------------------------------------
// Clearing the effect memory

TEST_F(EffectsTest, ResetEngineBuffersSilencesEveryUnitAtTheNextRenderCall) {
    g_effectSettings.fxSerial = 1;
    g_effectSettings.fxSerialAmount = 40;
    Configure(0, 11, 40, 100, 100);  // dual-voice chorus
    Configure(1, 6, 100, 140, 90);   // stereo flanger
    Configure(2, 7, 92, 256);        // plate
    uint32_t noise = 1;
    const auto next = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return static_cast<int32_t>(noise >> 18) - 8192;
    };
    Run(20000, [&](int) { return Sends{next(), next(), next(), next()}; });

    ResetEngineBuffers();
    // The caller only asks: the memory is the engine's to clear.
    bool held = false;
    for (uint32_t i = 0; i < kFxRingFrames; ++i) held |= g_fx2Ring[i] != 0;
    EXPECT_TRUE(held);
    const EffectUnitState s1 = g_fx1State, s2 = g_fx2State;

    ServeEffectMemoryReset();
    // Codes, coefficients, phases and write positions stay.
    EXPECT_EQ(std::memcmp(&g_fx1State, &s1, sizeof(s1)), 0);
    EXPECT_EQ(std::memcmp(&g_fx2State, &s2, sizeof(s2)), 0);
    EXPECT_EQ(g_fxCode[2], kFxReverbPlate);

    // Served by a render call, before anything is rendered.
    Run(500, [&](int) { return Sends{next(), next(), next(), next()}; });
    for (int k = 0; k < 4; ++k) {
        g_masterState.fx1InLeft[k] = g_masterState.fx1InRight[k] = 0;
        g_masterState.fx2InLeft[k] = g_masterState.fx2InRight[k] = 0;
    }
    ResetEngineBuffers();
    Render(8);
    EXPECT_EQ(g_effectMemoryResetRequest.load(), 0u);
    for (const Outs& o : RunSilence(140000)) {
        ASSERT_EQ(o.l1, 0);
        ASSERT_EQ(o.r1, 0);
        ASSERT_EQ(o.l2, 0);
        ASSERT_EQ(o.r2, 0);
    }
}

}  // namespace
