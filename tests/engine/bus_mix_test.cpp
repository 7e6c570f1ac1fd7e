// Mix of a filtered voice into its bus: the voice-gain ramp (and its hold at
// 0x7FFFFFFF in the first chunk after a fade), the distortion's pre-gain and
// clipper, and voices adding on one bus.
#include <cstdint>

#include "engine/voice_output.h"
#include "shared/fixed.h"
#include "tests/engine/voice_fixture.h"

namespace {

class BusMixTest : public VoiceTest {};

constexpr int32_t kX = 1 << 30;  // voiceOut of every frame: hi(2^30, g) = g / 4

TEST_F(BusMixTest, GainRamp) {
    struct Case {
        const char* what;
        uint32_t prev, gain;
        int32_t add[4];  // hi(2^30, g_i), g_i = G - i x ((prev - G) >> 2)
    } const cases[] = {
        {"steady gain", 0x7E000000, 0x7E000000, {0x1F800000, 0x1F800000, 0x1F800000, 0x1F800000}},
        // A fading voice: sigma 0x800000, gains 0x7C000000, 0x7B800000, 0x7B000000, 0x7A800000.
        {"fading", 0x7E000000, 0x7C000000, {0x1F000000, 0x1EE00000, 0x1EC00000, 0x1EA00000}},
        // The chunk in which the gain reaches 0: 0, -0x800000, -0x1000000, -0x1800000.
        {"faded out", 0x2000000, 0, {0, -0x200000, -0x400000, -0x600000}},
        // First chunk after a completed fade: sigma = (0 - 0x7E000000) >> 2 = -0x1F800000,
        // g = 0x7E000000 then 0x9D800000, 0xBD000000, 0xDC800000, which lie above
        // 0x7FFFFFFF and are held there (wrapped, frame 1 would get -0x18A00000).
        {"note after a fade", 0, 0x7E000000, {0x1F800000, 0x1FFFFFFF, 0x1FFFFFFF, 0x1FFFFFFF}},
        // sigma -0x1000000: 0x7E000000, 0x7F000000 pass; 0x80000000, 0x81000000 held.
        {"held only above the top", 0x7A000000, 0x7E000000, {0x1F800000, 0x1FC00000, 0x1FFFFFFF, 0x1FFFFFFF}},
    };
    for (const Case& c : cases) {
        VoiceState& vs = V();
        vs.drive = 0;
        vs.voiceGainPrev = c.prev;
        vs.voiceGain = c.gain;
        for (int32_t& x : vs.voiceOut) x = kX;
        int32_t bus[4] = {7, 7, 7, 7};  // another voice's chunk on the same bus
        MixVoiceToBus(vs, bus);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(bus[i], 7 + c.add[i]) << c.what << " frame " << i;
        EXPECT_EQ(vs.voiceGainPrev, c.gain) << c.what;
    }
}

// The first chunk of a voice's first note meets voiceGainPrev 0 as after a fade.
// The pulse wave's first frame is -oscSine[W >> 19], so the chunk is slightly
// negative even at ampEnv 2, and the held factor keeps its sign.
TEST_F(BusMixTest, FirstChunkOfANoteHoldsTheRampAtTheTop) {
    Set(kParamOsc1Wave, 4);
    Set(kParamOsc1PulseWidth, 20);
    Set(kParamFilterOn, 1);
    Set(kParamFilterType, 1);
    Set(kParamFilterCutoff, 80);
    VoiceState& vs = V();
    ASSERT_TRUE(StartFrame(60));
    ASSERT_EQ(vs.voiceGainPrev, 0u);
    RenderVoiceChunk(kVoice, 0);
    const int32_t* bus = g_mixBuffer.row[0];  // Channel 1: bus 0
    const int32_t gains[4] = {0x7E000000, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    bool negative = false;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bus[i], hi(vs.voiceOut[i], gains[i])) << i;
        negative |= vs.voiceOut[i] < 0;
    }
    EXPECT_TRUE(negative);
    EXPECT_GE(vs.voiceOut[1], -2) << "the envelope of the first chunk is 2";
    EXPECT_EQ(vs.voiceGainPrev, 0x7E000000u);
}

TEST_F(BusMixTest, Distortion) {
    constexpr int32_t kGain = 0x7E000000;  // t = hi(x, gain) = floor(x x 0.4921875)
    struct Case {
        const char* what;
        uint32_t drive;
        int32_t x;
        int32_t add;  // clip(hi(t, P) x 8) to -C..C
    } const cases[] = {
        // Knob 1 (0x40000): P = 0x20000000 (1.0), C = 0xD00000 - 0x20000 = 0xCE0000.
        // x = 1,000,000: t = 492,187, and u is t with its lowest three bits cleared.
        {"knob 1", 0x40000, 1000000, 492184},
        {"knob 1, negative", 0x40000, -1000000, -492192},
        // x = 2^26: t = 33,030,144 lies above the ceiling.
        {"knob 1 clipped", 0x40000, 1 << 26, 0xCE0000},
        {"knob 1 clipped below", 0x40000, -(1 << 26), -0xCE0000},
        // Knob 36 (0x900000): still P = 0x20000000; C = 0xD00000 - 0x480000 = 0x880000.
        {"knob 36", 0x900000, 10000000, 4921872},  // t = 4,921,875
        {"knob 36 clipped", 0x900000, 20000000, 0x880000},
        // Knob 80 (0x1400000): P = 0x20000000 + 0xB00000 << 7 = 0x78000000 (3.75 with
        // the x 8), C = 0xD00000 - 0xA00000 = 0x300000 = 3,145,728.
        // x = 1,704,351: t = 838,860, floor(838,860 x 0.46875) x 8 = 3,145,720.
        {"knob 80 just below", 0x1400000, 1704351, 3145720},
        // x = 1,704,353: t = 838,861, floor(393,216.09) x 8 = 3,145,728 = C.
        {"knob 80 at the ceiling", 0x1400000, 1704353, 0x300000},
        {"knob 80 above", 0x1400000, 4000000, 0x300000},
        {"knob 80 below", 0x1400000, -4000000, -0x300000},
    };
    for (const Case& c : cases) {
        VoiceState& vs = V();
        vs.drive = c.drive;
        vs.voiceGain = kGain;
        vs.voiceGainPrev = 0x1234;
        for (int32_t& x : vs.voiceOut) x = c.x;
        int32_t bus[4] = {-3, -3, -3, -3};
        MixVoiceToBus(vs, bus);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(bus[i], -3 + c.add) << c.what << " frame " << i;
        EXPECT_EQ(vs.voiceGainPrev, 0x1234u) << "distortion leaves the ramp's memory alone";
    }

    // Below drive 0x900000 the plain mix and the distortion give the same level,
    // about 0.49 of voiceOut at full voice gain, until the clipper acts.
    VoiceState& vs = V();
    for (int32_t& x : vs.voiceOut) x = 1000000;
    vs.voiceGain = vs.voiceGainPrev = kGain;
    int32_t plain[4] = {}, driven[4] = {};
    vs.drive = 0;
    MixVoiceToBus(vs, plain);
    vs.drive = 0x40000;
    MixVoiceToBus(vs, driven);
    EXPECT_EQ(plain[0], 492187);
    EXPECT_EQ(driven[0], 492184);
}

// Several voices on one bus add into the same four words of the row, and the
// master hears their sum.
TEST_F(BusMixTest, VoicesOnOneBusAddUp) {
    Set(kParamFilterOn, 1);
    Set(kParamFilterType, 1);
    Set(kParamFilterCutoff, 60);
    Set(kParamChannel, 3);
    // Two voices: kVoice and its neighbour, the same sound and key.
    VoiceState& a = V();
    ASSERT_TRUE(StartFrame(60));
    for (int f = 0; f < 200; ++f) {
        if (Frame()) RenderVoiceChunk(kVoice, 0);
    }
    while (!Frame()) {
    }
    g_voiceState[kVoice + 1] = a;  // the same state: the same chunk
    for (int32_t& w : g_mixBuffer.row[9]) w = 0;
    RenderVoiceChunk(kVoice, 9);
    int32_t one[4];
    for (int i = 0; i < 4; ++i) one[i] = g_mixBuffer.row[9][8 + i];
    RenderVoiceChunk(kVoice + 1, 9);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(one[i], 0);
        EXPECT_EQ(g_mixBuffer.row[9][8 + i], 2 * one[i]) << i;
    }
}

}  // namespace
