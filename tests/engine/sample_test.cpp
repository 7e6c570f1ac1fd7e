// Sample playback: 32.32 position, loop, guard frame and interpolation.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/tables.h"
#include "tests/engine/voice_fixture.h"

namespace {

class SampleTest : public VoiceTest {
protected:
    static constexpr int kN = 12;

    // A sample of `length` frames with distinct values.
    static std::vector<int16_t> Frames(uint32_t length) {
        std::vector<int16_t> f(length);
        for (uint32_t k = 0; k < length; ++k) f[k] = static_cast<int16_t>(static_cast<int>(k * 37 % 20011) - 10000);
        return f;
    }
    // Oscillator 1 playing sample kN at pitch p from position pos.frac.
    static void Play(uint32_t pitch, int32_t pos, uint32_t frac) {
        VoiceState& vs = V();
        vs.osc1Wave = 6;
        vs.osc1Sample = kN;
        vs.osc1Pitch = pitch;
        vs.osc1SamplePos = pos;
        vs.osc1SampleFrac = frac;
    }
    // Output of one frame at position p0's frame with fraction frac (as defined).
    static int32_t Interpolate(int32_t p0, int32_t p1, uint32_t frac) {
        const int64_t w = frac >> 1;
        int64_t d = int64_t{p1} - p0;
        int64_t prod = d * w;
        int64_t q = prod >= 0 ? prod / 65536 : -((-prod + 65535) / 65536);  // floor
        return static_cast<int32_t>(int64_t{p0} * 65536 + 2 * q);
    }
    // The smallest pitch index whose step is 1 frame plus at least one half.
    static uint32_t PitchOfStepOneAndAHalf() {
        uint32_t p = 0x4800;
        while (!(g_sampleStepHigh[p] == 1 && g_sampleStepLow[p] >= 0x80000000u)) ++p;
        return p;
    }
};

TEST_F(SampleTest, LoopJumpDropsTheFraction) {
    // Length 1,000, loop 200, step 1.5 frames: from 998.5 the next frame reaches
    // 1,000.0, the end: the position becomes 200.0 and the frame plays frame 200.
    const std::vector<int16_t>& data = Sample(kN, Frames(1000), 200);
    const uint32_t p = PitchOfStepOneAndAHalf();
    ASSERT_LT(g_sampleStepLow[p], 0x80200000u) << "within 0.05 % of 1.5";
    Play(p, 998, 0x80000000u);
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[0], data[200] * 65536);
    // The next frames go on from 200.0 by the step.
    uint64_t pos = uint64_t{200} << 32;
    const uint64_t step = (uint64_t{g_sampleStepHigh[p]} << 32) | g_sampleStepLow[p];
    for (int i = 1; i < 4; ++i) {
        pos += step;
        const uint32_t whole = static_cast<uint32_t>(pos >> 32);
        const uint32_t frac = static_cast<uint32_t>(pos);
        EXPECT_EQ(V().osc1Out[i], Interpolate(data[whole], data[whole + 1], frac)) << i;
        pos &= ~uint64_t{1};
    }
    EXPECT_EQ(V().osc1SamplePos, static_cast<int32_t>(pos >> 32));
    EXPECT_EQ(V().osc1SampleFrac, static_cast<uint32_t>(pos));
}

TEST_F(SampleTest, WithoutLoopTheEndIsSilentForGood) {
    // Loop point equal to the length: no loop. Between 999 and 1,000 the output
    // falls from frame 999 towards the zero guard frame; at 1,000 it is 0.
    const std::vector<int16_t>& data = Sample(kN, Frames(1000), 1000);
    const uint32_t p = 0x4800 - 3072 + 600;  // a step between 1/2 and 1
    ASSERT_EQ(g_sampleStepHigh[p], 0u);
    Play(p, 999, 0);
    uint64_t pos = uint64_t{999} << 32;
    const uint64_t step = g_sampleStepLow[p];
    bool ended = false;
    for (int chunk = 0; chunk < 20; ++chunk) {
        RenderOscillator1(V());
        for (int i = 0; i < 4; ++i) {
            pos += step;
            if ((pos >> 32) >= 1000) {
                pos = uint64_t{1000} << 32;
                ended = true;
            }
            const uint32_t whole = static_cast<uint32_t>(pos >> 32);
            const int32_t expected =
                ended ? 0 : Interpolate(data[whole], whole + 1 < 1000 ? data[whole + 1] : 0, static_cast<uint32_t>(pos));
            ASSERT_EQ(V().osc1Out[i], expected) << chunk << " " << i;
            pos &= ~uint64_t{1};
        }
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(V().osc1SamplePos, 1000);
    EXPECT_EQ(V().osc1SampleFrac, 0u);
}

TEST_F(SampleTest, StoredRateLagsByOneUnitPerFrame) {
    // Pitch 0x4800: step one 2^-32 under a whole frame. From position 0 frame k
    // plays stored frame k + 1 within 2 (on a gentle ramp); the fraction starts
    // just under 1 and falls by 2 per frame.
    std::vector<int16_t> ramp(500);
    for (int k = 0; k < 500; ++k) ramp[k] = static_cast<int16_t>(k * 50 - 12000);
    const std::vector<int16_t>& data = Sample(kN, ramp, 500);
    ASSERT_EQ(g_sampleStepHigh[0x4800], 0u);
    ASSERT_EQ(g_sampleStepLow[0x4800], 0xFFFFFFFFu);
    Play(0x4800, 0, 0);
    for (int chunk = 0; chunk < 100; ++chunk) {
        RenderOscillator1(V());
        for (int i = 0; i < 4; ++i) {
            const int k = chunk * 4 + i;
            const uint32_t frac = 0xFFFFFFFFu - 2u * static_cast<uint32_t>(k);
            ASSERT_EQ(V().osc1Out[i], Interpolate(data[k], data[k + 1], frac)) << k;
            ASSERT_LE(std::abs(V().osc1Out[i] - data[k + 1] * 65536), 2) << k;
        }
        ASSERT_EQ(V().osc1SamplePos, chunk * 4 + 3);
        ASSERT_EQ(V().osc1SampleFrac, 0xFFFFFFFEu - 2u * static_cast<uint32_t>(chunk * 4 + 3));
    }
}

TEST_F(SampleTest, HalfwayBetweenOppositeValuesIsZero) {
    Sample(kN, {-30000, 30000, 5}, 3);
    // Pitch 0: 1/64 frame per frame, fraction only.
    ASSERT_EQ(g_sampleStepHigh[0], 0u);
    const uint32_t low = g_sampleStepLow[0];
    Play(0, 0, 0x80000000u - low);
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[0], 0);
    EXPECT_EQ(V().osc1Out[1], Interpolate(-30000, 30000, 0x80000000u + low));
}

TEST_F(SampleTest, MissingDataAndEmptySamples) {
    // No data (sample 255, or a free slot): silence, position unchanged.
    for (uint32_t n : {255u, 40u}) {
        Play(0x4800, 17, 5);
        V().osc1Sample = n;
        V().osc1Out[2] = 99;
        RenderOscillator1(V());
        for (int32_t x : V().osc1Out) EXPECT_EQ(x, 0) << n;
        EXPECT_EQ(V().osc1SamplePos, 17);
        EXPECT_EQ(V().osc1SampleFrac, 5u);
    }
    // Length 0 with data: every frame jumps to loop point 0, the zero frame.
    Sample(kN, {}, 0);
    Play(0x6000, 0, 0);
    RenderOscillator1(V());
    for (int32_t x : V().osc1Out) EXPECT_EQ(x, 0);
    EXPECT_EQ(V().osc1SamplePos, 0);
}

TEST_F(SampleTest, PositionsOutsideTheSampleStayInsideIt) {
    // A start at or beyond the end jumps to the loop point on the first frame.
    const std::vector<int16_t>& data = Sample(kN, Frames(100), 10);
    Play(0x4800, 100, 0);
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[0], data[10] * 65536);
    // A negative position counts as past the end.
    Play(0x4800, -5000, 0);
    RenderOscillator1(V());
    EXPECT_EQ(V().osc1Out[0], data[10] * 65536);
    // A loop point beyond the length is held at the length: silence at the end.
    Sample(kN, Frames(100), 5000);
    Play(0x4800, 99, 0x80000000u);
    RenderOscillator1(V());
    for (int32_t x : V().osc1Out) EXPECT_EQ(x, 0);
    EXPECT_EQ(V().osc1SamplePos, 100);
}

TEST_F(SampleTest, OscillatorsTwoAndThreePlayWithTheirOwnFields) {
    const std::vector<int16_t>& data = Sample(kN, Frames(1000), 1000);
    VoiceState& vs = V();
    vs.osc2Wave = 6;
    vs.osc2Sample = kN;
    vs.osc2Pitch = 0x4800 + 3072;  // two frames per frame
    vs.osc2SamplePos = 10;
    vs.osc2Sync = 1;
    vs.osc3Wave = 6;
    vs.osc3Sample = kN;
    vs.osc3Pitch = 0x4800 + 3072;
    vs.osc3SamplePos = 500;
    ASSERT_EQ(g_sampleStepHigh[0x4800 + 3072], 1u);
    ASSERT_TRUE(RenderOscillator2(vs));
    RenderOscillator3(vs);
    const uint64_t step = (uint64_t{g_sampleStepHigh[0x4800 + 3072]} << 32) | g_sampleStepLow[0x4800 + 3072];
    uint64_t p2 = uint64_t{10} << 32, p3 = uint64_t{500} << 32;
    for (int i = 0; i < 4; ++i) {
        p2 += step;
        p3 += step;
        EXPECT_EQ(vs.osc2Out[i], Interpolate(data[p2 >> 32], data[(p2 >> 32) + 1], static_cast<uint32_t>(p2)));
        EXPECT_EQ(vs.osc3Out[i], Interpolate(data[p3 >> 32], data[(p3 >> 32) + 1], static_cast<uint32_t>(p3)));
        p2 &= ~uint64_t{1};
        p3 &= ~uint64_t{1};
    }
    EXPECT_EQ(vs.osc1SyncMask, 0u) << "no sync bits from a sample";
    EXPECT_EQ(vs.osc2SamplePos, static_cast<int32_t>(p2 >> 32));
    EXPECT_EQ(vs.osc3SampleFrac, static_cast<uint32_t>(p3));
}

TEST_F(SampleTest, NoteStartWithSplitTransposeAndStartOffset) {
    // A split set maps key 60 to the sample, one octave down; the note starts 50 %
    // into it. The position advances before the first read.
    const std::vector<int16_t>& data = Sample(kN, Frames(1000), 1000);
    Set(kParamOsc1Wave, 6);
    Set(kParamOsc1SplitSet, 1);
    g_splitSample[60] = kN;
    g_splitTranspose[60] = -12;
    V().sampleStartPercent = 50;
    ASSERT_TRUE(StartFrame(60));
    EXPECT_EQ(V().osc1SamplePos, 500);
    EXPECT_EQ(V().osc1Pitch, static_cast<uint32_t>(60 * 256 + 6143 - 12 * 256));
    RenderVoiceChunk(kVoice, 0);
    const uint32_t p = V().osc1Pitch;
    uint64_t pos = uint64_t{500} << 32;
    const uint64_t step = (uint64_t{g_sampleStepHigh[p]} << 32) | g_sampleStepLow[p];
    pos += step;
    EXPECT_EQ(V().osc1Out[0], Interpolate(data[pos >> 32], data[(pos >> 32) + 1], static_cast<uint32_t>(pos)));
}

}  // namespace
