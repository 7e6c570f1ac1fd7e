// Output stage: sum, equaliser, limiter, master volume, clipping and packing.
#include <climits>
#include <cmath>
#include <complex>
#include <numbers>

#include "engine/stages.h"
#include "tests/engine/engine_fixture.h"

namespace {

int32_t Mul31(int64_t a, int64_t b) { return static_cast<int32_t>((a * b) >> 31); }

class OutputTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        g_bassTrebleEq = 0;
        g_trebleLimiter = 0;
        g_masterState.masterVolume = 0x40000000;  // 0.5: the stage's value >> 1
    }
    // One frame with dry values on sub-frame k.
    static uint32_t Frame(int32_t left, int32_t right, int k = 0) {
        g_masterState.chunkPhase = k;
        g_masterState.dryLeft[k] = left;
        g_masterState.dryRight[k] = right;
        return OutputStage();
    }
};

TEST_F(OutputTest, SumsDryAndEffectOutputsThenAppliesTheMasterVolume) {
    struct Case {
        int k;
        int32_t dry, fx1, fx2, volume;
    };
    const Case cases[] = {
        {0, 1000, 0, 0, 0x40000000},        {1, 1000, 200, 30, 0x40000000},
        {2, -1000, 200, -30, 0x7FFFFFFF},   {3, 123456, -100000, -20000, 0x2000000},
        {0, 5, 5, 5, 1},                    {1, -5, 0, 0, 1},
        {2, 0, 0, -1, 1},                   {3, 30000, 0, 0, 2147482624},
        {0, 70000, 0, 0, 0},
    };
    for (const Case& c : cases) {
        g_masterState.masterVolume = c.volume;
        g_masterState.fx1OutLeft = c.fx1;
        g_masterState.fx2OutLeft = c.fx2;
        g_masterState.fx1OutRight = -c.fx1;
        g_masterState.fx2OutRight = -c.fx2;
        const uint32_t w = Frame(c.dry, -c.dry, c.k);
        const int32_t left = Mul31(c.dry + c.fx1 + c.fx2, c.volume);
        const int32_t right = Mul31(-c.dry - c.fx1 - c.fx2, c.volume);
        EXPECT_EQ(Left(w), left) << c.dry << " " << c.volume;
        EXPECT_EQ(Right(w), right) << c.dry << " " << c.volume;
        EXPECT_EQ(g_lastOutLeft, left);
        EXPECT_EQ(g_lastOutRight, right);
        if (c.volume == 1) {
            EXPECT_EQ(left, c.dry + c.fx1 + c.fx2 < 0 ? -1 : 0) << "the mute gain leaves 0 or -1";
        }
    }
}

TEST_F(OutputTest, ClipsTo16BitsAndPacksLeftLow) {
    struct Case {
        int32_t value;     // the stage's value; the volume 0.5 halves it
        int32_t expected;
    };
    const Case cases[] = {
        {65534, 32767},   {65535, 32767},    {65536, 32767},   {2000000000, 32767}, {INT_MAX, 32767},
        {-65536, -32768}, {-65537, -32768},  {-65538, -32768}, {INT_MIN, -32768},   {-3, -2},
        {-1, -1},         {1, 0},
    };
    for (const Case& c : cases) {
        const uint32_t w = Frame(c.value, 0);
        EXPECT_EQ(Left(w), c.expected) << c.value;
        EXPECT_EQ(w >> 16, 0u);
        EXPECT_EQ(g_lastOutLeft, c.expected);
        const uint32_t r = Frame(0, c.value);
        EXPECT_EQ(r & 0xFFFF, 0u);
        EXPECT_EQ(Right(r), c.expected) << c.value;
    }
    EXPECT_EQ(Frame(-70000, 70000), 0x7FFF8000u) << "left -32,768 as 0x8000 in bits 0-15";
    // Overloads before the clipping wrap in 32 bits.
    g_masterState.fx1OutLeft = INT_MAX;
    EXPECT_EQ(Left(Frame(2, 0)), -32768);
}

// ---------------------------------------------------------------- equaliser

TEST_F(OutputTest, EqualiserImpulseResponseByHand) {
    // w = (x << 8) + floor(w[n-3] x 21/64); a = w - (a[n-1] >> 1);
    // b = a - (b[n-1] >> 1); out = b >> 8. An impulse of 1,000:
    //   n0: w 256,000  a 256,000   b 256,000  -> 1,000
    //   n1: w 0        a -128,000  b -256,000 -> -1,000
    //   n2: w 0        a 64,000    b 192,000  -> 750
    //   n3: w 84,000   a 52,000    b -44,000  -> -172 (floor of -171.9)
    //   n4: w 0        a -26,000   b -4,000   -> -16
    //   n5: w 0        a 13,000    b 15,000   -> 58
    //   n6: w 27,562   a 21,062    b 13,562   -> 52
    // The master volume 2^31 - 1 takes 1 off each positive value.
    g_bassTrebleEq = 1;
    g_masterState.masterVolume = 0x7FFFFFFF;
    const int32_t expected[] = {1000, -1000, 750, -172, -16, 58, 52};
    for (int n = 0; n < 7; ++n) {
        const uint32_t w = Frame(n == 0 ? 1000 : 0, n == 0 ? 1000 : 0, n % 4);
        const int32_t y = expected[n] > 0 ? expected[n] - 1 : expected[n];
        EXPECT_EQ(Left(w), y) << n;
        EXPECT_EQ(Right(w), y) << n;
    }
}

TEST_F(OutputTest, EqualiserRoundsTowardMinusInfinity) {
    // A step of -1, worked by hand; the shifts and the comb product round down:
    //   n0: w -256  a -256  b -256      n4: w -340  a -218  b -144
    //   n1: w -256  a -128  b 0         n5: w -340  a -231  b -159
    //   n2: w -256  a -192  b -192      n6: w -256 + floor(-340 x 21/64) = -368,
    //   n3: w -340  a -244  b -148          a -368 + 116 = -252, b -252 + 80 = -172
    // The output b >> 8 is -1, 0, then -1.
    g_bassTrebleEq = 1;
    g_masterState.masterVolume = 0x7FFFFFFF;
    const int32_t expected[] = {-1, 0, -1, -1, -1, -1, -1};
    for (int n = 0; n < 7; ++n) EXPECT_EQ(Left(Frame(-1, 0)), expected[n]) << n;
    EXPECT_EQ(g_masterState.eqDelayLeft[0], -368);
    EXPECT_EQ(g_masterState.eqDelayLeft[1], -340);
    EXPECT_EQ(g_masterState.eqDelayLeft[2], -340);
    EXPECT_EQ(g_masterState.eqPoleALeft, -252);
    EXPECT_EQ(g_masterState.eqPoleBLeft, -172);
    EXPECT_EQ(g_masterState.eqPoleBRight, 0);
}

TEST_F(OutputTest, StagesKeepTheirStateWhileSwitchedOff) {
    g_bassTrebleEq = 1;
    g_trebleLimiter = 1;
    Frame(1000, -3000000);
    const MasterState before = g_masterState;
    g_bassTrebleEq = 0;
    g_trebleLimiter = 0;
    for (int n = 0; n < 10; ++n) EXPECT_EQ(Left(Frame(4000, 4000)), 2000);  // both off: plain
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g_masterState.eqDelayLeft[c], before.eqDelayLeft[c]);
    EXPECT_EQ(g_masterState.eqPoleARight, before.eqPoleARight);
    EXPECT_EQ(g_masterState.limTargetRight, before.limTargetRight);
    EXPECT_EQ(g_masterState.limGainRight, before.limGainRight);
    EXPECT_EQ(g_masterState.limPrevRight, before.limPrevRight);
    // Switched on again the equaliser resumes: the next value of the impulse.
    g_bassTrebleEq = 1;
    g_trebleLimiter = 0;
    EXPECT_EQ(Left(Frame(0, 0)), -1000 >> 1);
}

// |H| of the equaliser's difference equation,
// H(z) = 1 / ((1 - 21/64 z^-3) (1 + z^-1 / 2)^2).
double EqualiserGainDb(double hz) {
    const std::complex<double> zi = std::polar(1.0, -2.0 * std::numbers::pi * hz / 44100.0);
    const std::complex<double> h = 1.0 / ((1.0 - 21.0 / 64.0 * zi * zi * zi) * (1.0 + 0.5 * zi) * (1.0 + 0.5 * zi));
    return 20.0 * std::log10(std::abs(h));
}

TEST_F(OutputTest, EqualiserGainOfASineMatchesTheDifferenceEquation) {
    struct Case {
        double hz, statedDb;
    };
    const Case cases[] = {{100, -3.6},   {1000, -4.1},  {5000, -7.7},    {10000, -4.3},
                          {12000, -0.2}, {14700, 6.0},  {22050, 9.6}};
    for (const Case& c : cases) {
        EXPECT_NEAR(EqualiserGainDb(c.hz), c.statedDb, 0.05) << c.hz;

        ResetEngineGlobals();
        g_bassTrebleEq = 1;
        g_trebleLimiter = 0;
        g_masterState.masterVolume = 0x40000000;
        const double w = 2.0 * std::numbers::pi * c.hz / 44100.0;
        std::complex<double> in = 0, out = 0;
        for (int n = 0; n < 2205 + 44100; ++n) {
            const int32_t x = static_cast<int32_t>(std::lround(6000.0 * std::sin(w * n + 0.3)));
            const int32_t y = Left(Frame(x, 0, n & 3));
            if (n >= 2205) {  // settled: the slowest pole, (21/64)^(1/3) = 0.69, has died away
                const std::complex<double> e = std::polar(1.0, -w * n);
                in += static_cast<double>(x) * e;
                out += 2.0 * y * e;  // undo the master volume of 0.5
            }
        }
        const double measuredDb = 20.0 * std::log10(std::abs(out) / std::abs(in));
        EXPECT_NEAR(measuredDb, EqualiserGainDb(c.hz), 0.02) << c.hz;
    }
}

// ---------------------------------------------------------------- limiter

TEST_F(OutputTest, LimiterDetectorIndexWrapsAndTheTableDropsAt4096) {
    // From rest, one frame x = 4m: p = x, s1 = s0 = m, h = 3m, detector i =
    // (3m >> 8) mod 16,384; target t = table[i] / 2; the frame's attack moves the
    // gain to floor(t / 128) and the release moves the target by floor((1 - t) /
    // 2048), except that 0 stays 0.
    struct Case {
        uint32_t detector;  // i before the wrap
        uint32_t entry;     // g_limiterGainTable at i mod 16,384
    };
    const Case cases[] = {
        {31, 0},
        {32, 0},
        {33, 1u << 25},
        {84, 0x40000000u + (20u << 23)},
        {4095, 0x7E000000u + (2047u << 13)},  // 0x7EFFE000
        {4096, 0x7D000000u},                  // lower than entry 4,095
        {16383, 0x7D800000u + (8191u << 9)},  // 0x7DBFFE00
        {16384 + 65, 0x40000000u + (1u << 23)},  // |h| of 4,210,944 reads entry 65
    };
    for (const Case& c : cases) {
        ResetEngineGlobals();
        g_bassTrebleEq = 0;
        g_trebleLimiter = 1;
        const int32_t m = static_cast<int32_t>((c.detector * 256 + 2) / 3);
        ASSERT_EQ(static_cast<uint32_t>(3 * m) >> 8, c.detector);
        Frame(4 * m, 0);
        const int32_t t = static_cast<int32_t>(c.entry >> 1);
        EXPECT_EQ(g_masterState.limGainLeft, t >> 7) << c.detector;
        EXPECT_EQ(g_masterState.limTargetLeft,
                  static_cast<uint32_t>(t == 0 ? 0 : t + static_cast<int32_t>(std::floor((1.0 - t) / 2048.0))))
            << c.detector;
        EXPECT_EQ(g_masterState.limTargetRight, 0u);
    }
}

TEST_F(OutputTest, LimiterSmallValuesByHand) {
    // p = x + (prev >> 1), prev = -x; s0 = p >> 2; s(j+1) = s(j) + (tap[j] >> 1);
    // h = p - s1; out = s4 + floor(h (2^31 - 1) / 2^31) while the gain is 0:
    //   x -7: p -7  s0..s4 -2 -2 -2 -2 -2   h -5  out -2 - 5 = -7
    //   x -7: p -4  s -1 -2 -3 -4 -5        h -2  out -5 - 2 = -7
    //   x  5: p  8  s  2  1  0 -2 -4        h  7  out -4 + 6 = 2
    //   x  0: p -3  s -1  0  0  0 -1        h -3  out -1 - 3 = -4
    // and the master volume 2^31 - 1 takes 1 off the positive value.
    g_trebleLimiter = 1;
    g_masterState.masterVolume = 0x7FFFFFFF;
    const int32_t in[] = {-7, -7, 5, 0};
    const int32_t expected[] = {-7, -7, 1, -4};
    for (int n = 0; n < 4; ++n) EXPECT_EQ(Left(Frame(in[n], 0)), expected[n]) << n;
    EXPECT_EQ(g_masterState.limPrevLeft, 0);
    EXPECT_EQ(g_masterState.limTapLeft[0], -1);
    EXPECT_EQ(g_masterState.limTapLeft[1], 0);
    EXPECT_EQ(g_masterState.limTapLeft[2], 0);
    EXPECT_EQ(g_masterState.limTapLeft[3], 0);
    EXPECT_EQ(g_masterState.limTargetLeft, 0u);
}

TEST_F(OutputTest, LimiterAttackAndReleaseTiming) {
    // x alternating +-16,384 from rest: the high band h is 12,288, then 20,480,
    // then +-21,504 for good (detector 48, 80, then 84), so the held target is
    // table/2 = 0x10000000, 0x24000000, then 0x25000000; s4 settles at +-384.
    g_trebleLimiter = 1;
    const int32_t targets[3] = {0x10000000, 0x24000000, 0x25000000};
    const int32_t T = targets[2];
    int32_t gain = 0;
    int reach63 = -1;
    for (int n = 0; n < 3000; ++n) {
        const int32_t x = n % 2 ? -16384 : 16384;
        ASSERT_EQ(g_masterState.limGainLeft, gain) << n;
        const uint32_t w = Frame(x, 0);
        if (n >= 6) {  // the reduction of the frame before applies
            const int32_t h = x > 0 ? 21504 : -21504, s4 = x > 0 ? 384 : -384;
            ASSERT_EQ(Left(w), (s4 + Mul31(h, 0x7FFFFFFF - 2 * gain)) >> 1) << n;
        }
        const int32_t target = targets[std::min(n, 2)];
        gain += static_cast<int32_t>(std::floor((target - gain) / 128.0));
        if (reach63 < 0 && gain >= T * (1.0 - std::exp(-1.0))) reach63 = n + 1;
    }
    // Attack: 1/128 per frame, a time constant of 128 frames (2.9 ms).
    EXPECT_GE(reach63, 125);
    EXPECT_LE(reach63, 131);
    EXPECT_GT(gain, T - 128);
    // The remaining share of the band at this detector value is about 32 / 84.
    EXPECT_NEAR((0x7FFFFFFF - 2.0 * gain) / 2147483648.0, 32.0 / 84.0, 0.05);

    // Release: silence; the detector falls below the held target at once, and the
    // target sinks by floor((1 - target) / 2048) per frame toward 1.
    int64_t target = g_masterState.limTargetLeft;
    EXPECT_EQ(target, T + static_cast<int64_t>(std::floor((1.0 - T) / 2048.0)));
    const int64_t start = target;
    int fall37 = -1;
    for (int n = 0; n < 40000; ++n) {
        Frame(0, 0);
        target += static_cast<int64_t>(std::floor((1.0 - static_cast<double>(target)) / 2048.0));
        ASSERT_EQ(g_masterState.limTargetLeft, static_cast<uint32_t>(target)) << n;
        if (fall37 < 0 && target <= start * std::exp(-1.0)) fall37 = n + 1;
    }
    // 1/2048 per frame: a time constant of 2,048 frames (46 ms).
    EXPECT_GE(fall37, 2040);
    EXPECT_LE(fall37, 2060);
    EXPECT_EQ(g_masterState.limTargetLeft, 1u) << "the target sinks to 1, not 0";
    EXPECT_EQ(g_masterState.limGainLeft, 1);
}

TEST_F(OutputTest, QuietHighBandIsNeverReduced) {
    // A 14 kHz sine of amplitude 3,000 keeps |h| under 8,192 (detector below 32):
    // the target never leaves 0 and the band passes whole.
    g_trebleLimiter = 1;
    for (int n = 0; n < 20000; ++n) {
        const double phase = 2.0 * std::numbers::pi * 14000.0 * n / 44100.0;
        const int32_t x = static_cast<int32_t>(std::lround(3000.0 * std::sin(phase)));
        Frame(x, -x);
    }
    EXPECT_EQ(g_masterState.limTargetLeft, 0u);
    EXPECT_EQ(g_masterState.limTargetRight, 0u);
    EXPECT_EQ(g_masterState.limGainLeft, 0);
    EXPECT_EQ(g_masterState.limGainRight, 0);
}

}  // namespace
