// Voice filter: the measured response of each type against its characteristic
// values (gain at 0 Hz and the resonance peaks, x 32), the wrap-around of the
// section inputs, the memories, and the filter-off mix.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/tables.h"
#include "engine/voice_output.h"
#include "shared/fixed.h"
#include "tests/engine/voice_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 44100;

class FilterTest : public VoiceTest {
protected:
    static void Configure(int32_t type, int32_t resonance, uint32_t cutoff) {
        VoiceState& vs = V();
        vs.filterType = type;
        vs.resonance = resonance;
        vs.filterCutoff = cutoff;
        vs.filterMem1Y1 = vs.filterMem1Y2 = vs.filterMem2Y1 = vs.filterMem2Y2 = 0;
        vs.filterMem3Y1 = vs.filterMem3Y2 = 0;
    }

    // Runs the input through the filter chunk by chunk and returns the output.
    static std::vector<int32_t> Run(const std::vector<int32_t>& in) {
        std::vector<int32_t> out(in.size());
        VoiceState& vs = V();
        for (size_t n = 0; n + 4 <= in.size(); n += 4) {
            for (int i = 0; i < 4; ++i) vs.voiceOut[i] = in[n + i];
            RenderFilter(vs);
            for (int i = 0; i < 4; ++i) out[n + i] = vs.voiceOut[i];
        }
        return out;
    }

    // Magnitude x 32 of the response at hz (0: a constant input) to an input of
    // amplitude amp, measured after one second of settling over one further
    // second, an integer number of cycles.
    static double Response32(double hz, double amp) {
        std::vector<int32_t> in(2 * kRate);
        for (size_t n = 0; n < in.size(); ++n)
            in[n] = hz == 0 ? static_cast<int32_t>(amp)
                            : static_cast<int32_t>(std::lround(amp * std::sin(2 * kPi * hz * n / kRate)));
        const std::vector<int32_t> out = Run(in);
        double re = 0, im = 0;
        for (size_t n = kRate; n < out.size(); ++n) {
            const double ph = 2 * kPi * hz * n / kRate;
            re += out[n] * std::cos(ph);
            im += out[n] * std::sin(ph);
        }
        const double mag = hz == 0 ? re / kRate : 2 * std::hypot(re, im) / kRate;
        return 32 * std::abs(mag) / amp;
    }
};

// The characteristic values of the five types, measured through the filter.
// Each figure is given to two or three digits; the tolerance is half a unit of its
// last digit plus 1 % for the measurement.
TEST_F(FilterTest, CharacteristicValues) {
    struct Case {
        int32_t type, resonance;
        uint32_t cutoff;
        double hz;
        double expected;  // magnitude x 32
        double halfDigit;
    } const cases[] = {
        // Section cutoff of entry 3,840: 1,787 Hz; of 6,400: 12,794 Hz.
        {1, 0, 3840, 0, 1.00, 0.005},
        {1, 15, 3840, 0, 0.89, 0.005},
        {1, 15, 3840, 1765, 4.2, 0.05},
        {1, 30, 3840, 0, 0.55, 0.005},
        {1, 30, 3840, 1785, 19.8, 0.05},
        {1, 15, 6400, 0, 0.89, 0.005},
        {1, 15, 6400, 12790, 17.2, 0.05},
        {1, 30, 6400, 0, 0.55, 0.005},
        {1, 30, 6400, 12795, 185, 0.5},
        {3, 15, 3840, 0, 0.00, 0.005},
        {3, 15, 3840, 1805, 4.2, 0.05},
        {3, 15, 3840, 20000, 0.89, 0.005},
        {4, 0, 3840, 0, 1.09, 0.005},
        {4, 15, 3840, 0, 0.86, 0.005},
        {4, 15, 3840, 1680, 3.9, 0.05},
        {4, 30, 3840, 0, 0.33, 0.005},
        {4, 30, 3840, 1780, 25.3, 0.05},
        {2, 15, 3840, 0, 0.03, 0.005},  // row 7
        {2, 15, 3840, 1705, 3.0, 0.05},
        {2, 30, 3840, 0, 0.14, 0.005},  // row 15
        {2, 30, 3840, 1790, 7.8, 0.05},
        // Dual peak: entries (3,840 >> 1) + 768 = 2,688 and 2,688 + 64 (r + 4).
        {5, 0, 3840, 0, 0.37, 0.005},
        {5, 0, 3840, 635, 14.4, 0.05},
        {5, 0, 3840, 795, 10.8, 0.05},
        {5, 15, 3840, 0, 0.37, 0.005},
        {5, 15, 3840, 635, 6.0, 0.05},
        {5, 15, 3840, 1890, 1.45, 0.005},
    };
    for (const Case& c : cases) {
        Configure(c.type, c.resonance, c.cutoff);
        // Large enough that the floor of each product is small against the signal,
        // small enough that nothing inside the chain wraps.
        const double amp = std::min(0x1p29, 0x1p29 / c.expected);
        const double got = Response32(c.hz, amp);
        EXPECT_NEAR(got, c.expected, c.halfDigit + 0.01 * c.expected)
            << "type " << c.type << " resonance " << c.resonance << " cutoff " << c.cutoff << " at " << c.hz
            << " Hz";
    }
}

// Within set A's bottom fade-in the section's gain at 0 Hz is k g / 32 with g
// still below 1, so a constant partly passes the high pass: k (1 - g) / 32. (At
// so low a cutoff the floor of the section's products lowers its output by
// about 1 %, which the high pass shows as +0.007.)
TEST_F(FilterTest, HighPassLetsAConstantThroughOnlyInTheFadeIn) {
    double g = 0.5;  // set A's fade-in factor: 0.5 x 1.001 per entry, entry 100
    for (int c = 0; c < 100; ++c) g *= 1.001;
    const double k = 1 - 15 * 15 * 0.0005;  // row 15: 0.8875
    Configure(3, 15, 100);
    EXPECT_NEAR(Response32(0, 0x1p29), k * (1 - g), 0.01);  // about 0.397
    Configure(3, 15, 3840);
    EXPECT_NEAR(Response32(0, 0x1p29), 0.0, 0.005);
}

// The first output of each chain for a single input value X from cleared
// memories: every section gives hi(input, G) there, so the chain's structure,
// its shifts and its table entries show directly.
TEST_F(FilterTest, ImpulseShowsEachChainAndItsCoefficients) {
    constexpr int32_t kX = 0x30000000;
    const auto& a = g_filterCoefTables[kFilterSetA];
    const auto& b = g_filterCoefTables[kFilterSetB];
    auto shl = [](int32_t v, int n) { return static_cast<int32_t>(static_cast<uint32_t>(v) << n); };
    struct Case {
        const char* what;
        int32_t type, resonance;
        uint32_t cutoff;
        int32_t expected;
    } const cases[] = {
        {"low pass 12", 1, 20, 5000, hi(kX, a.gain[20][5000])},
        {"unknown type plays as 1", 9, 20, 5000, hi(kX, a.gain[20][5000])},
        {"high pass", 3, 20, 5000, shl(hi(kX, g_resonanceGainTable[20]), 1) - hi(kX, a.gain[20][5000])},
        {"low pass 24", 4, 20, 5000, hi(shl(hi(kX, b.gain[20][5000]), 5), b.gain[20][5000])},
        {"band pass at row 20 >> 1", 2, 20, 5000,
         shl(hi(shl(hi(kX, b.gain[10][5000]), 5) - kX, b.gain[10][5000]), 1)},
        {"band pass, resonance 21 -> row 10", 2, 21, 5000,
         shl(hi(shl(hi(kX, b.gain[10][5000]), 5) - kX, b.gain[10][5000]), 1)},
        // e1 = (8,190 >> 1) + 768 = 4,863; e2 = 4,863 + 64 x 34 = 7,039.
        {"dual peak at the top", 5, 30, 8190, shl(hi(hi(kX, a.gain[28][4863]), a.gain[28][7039]), 5)},
        // The largest fields: cutoff 8,191 and row 31 (e1 4,863, e2 7,103).
        {"dual peak, largest fields", 5, 31, 8191, shl(hi(hi(kX, a.gain[28][4863]), a.gain[28][7103]), 5)},
    };
    for (const Case& c : cases) {
        Configure(c.type, c.resonance, c.cutoff);
        VoiceState& vs = V();
        vs.voiceOut[0] = kX;
        vs.voiceOut[1] = vs.voiceOut[2] = vs.voiceOut[3] = 0;
        RenderFilter(vs);
        EXPECT_EQ(vs.voiceOut[0], c.expected) << c.what;
    }
}

TEST_F(FilterTest, EachTypeKeepsToItsMemories) {
    struct Case {
        int32_t type;
        bool uses[3];
    } const cases[] = {
        {1, {true, false, false}}, {3, {true, false, false}}, {4, {false, true, true}},
        {2, {true, true, false}},  {5, {true, true, false}},
    };
    for (const Case& c : cases) {
        Configure(c.type, 10, 4000);
        VoiceState& vs = V();
        int32_t* mem[3][2] = {{&vs.filterMem1Y1, &vs.filterMem1Y2},
                              {&vs.filterMem2Y1, &vs.filterMem2Y2},
                              {&vs.filterMem3Y1, &vs.filterMem3Y2}};
        for (auto& m : mem) *m[0] = *m[1] = 0x1234567;
        for (int i = 0; i < 4; ++i) vs.voiceOut[i] = 0x10000000 * (i + 1);
        RenderFilter(vs);
        for (int k = 0; k < 3; ++k) {
            const bool untouched = *mem[k][0] == 0x1234567 && *mem[k][1] == 0x1234567;
            EXPECT_EQ(untouched, !c.uses[k]) << "type " << c.type << " memory " << k + 1;
        }
    }
}

TEST_F(FilterTest, BandPassResonances6And7ShareRow3) {
    std::vector<int32_t> in(4000);
    for (size_t n = 0; n < in.size(); ++n) in[n] = static_cast<int32_t>((n * 2654435761u) >> 4) - (1 << 27);
    Configure(2, 6, 3000);
    const std::vector<int32_t> six = Run(in);
    Configure(2, 7, 3000);
    EXPECT_EQ(Run(in), six);
    Configure(2, 8, 3000);
    EXPECT_NE(Run(in), six);
}

// Nothing saturates: driven hard, the 24 dB low pass folds over. A constant near
// full scale at row 0 gives a first-section output of about x k g / 32 =
// 2^31 x 1.041744 / 32 = 69.9 million, above 2^26, so u << 5 wraps to a negative
// value and the output goes negative for a positive input.
TEST_F(FilterTest, LowPass24FoldsOverInsteadOfClipping) {
    Configure(4, 0, 3840);
    const std::vector<int32_t> out = Run(std::vector<int32_t>(8000, 0x7FFFFFFF));
    EXPECT_GT(V().filterMem2Y1 + V().filterMem2Y2, 1 << 26) << "the first section's output u";
    EXPECT_LT(out.back(), 0);
    // A quarter of that input stays in range and passes at 1.09 / 32.
    Configure(4, 0, 3840);
    const std::vector<int32_t> quarter = Run(std::vector<int32_t>(8000, 0x1FFFFFFF));
    EXPECT_NEAR(quarter.back() / double{0x1FFFFFFF} * 32, 1.09, 0.01);
}

// --- Filter-off mix ----------------------------------------------------------

TEST_F(FilterTest, FilterOffMixAddsTheVoiceIntoItsBus) {
    struct Case {
        const char* what;
        uint32_t drive;
        int32_t in[4];
        int32_t out[4];  // added to each word
    } const cases[] = {
        // voiceOut >> 6, arithmetic.
        {"no drive", 0, {127, -1, -64, -65}, {1, -1, -1, -2}},
        {"no drive, full scale", 0, {1 << 30, -(1 << 30), 0x7FFFFFFF, -0x7FFFFFFF - 1},
         {1 << 24, -(1 << 24), 0x1FFFFFF, -(1 << 25)}},
        // Drive 0x40000 (knob 1): gain 0x20000000, so hi(x >> 2, 2^29) = floor(x / 32);
        // limit 0xD00000 - 0x20000 = 0xCE0000.
        // 2^29 / 32 = 0x1000000 lies above the limit.
        {"knob 1", 0x40000, {1000, -1000, 0x20000000, -0x20000000}, {31, -32, 0xCE0000, -0xCE0000}},
        // Knob 80 (0x1400000): gain 0x20000000 + 0xB00000 << 7 = 0x78000000 (x 0.46875
        // on x >> 2), limit 0xD00000 - 0xA00000 = 0x300000.
        // 2^24 >> 2 = 2^22 -> 1,966,080; 2^26 >> 2 = 2^24 -> 7,864,320, clipped.
        {"knob 80", 0x1400000, {1 << 24, -(1 << 24), 1 << 26, -(1 << 26)}, {1966080, -1966080, 0x300000, -0x300000}},
    };
    for (const Case& c : cases) {
        VoiceState& vs = V();
        vs.drive = c.drive;
        vs.voiceGain = 0x100000;  // has no effect on this path
        for (int i = 0; i < 4; ++i) vs.voiceOut[i] = c.in[i];
        int32_t bus[4] = {5, 5, 5, 5};
        MixFilterOff(vs, bus);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(bus[i], 5 + c.out[i]) << c.what << " frame " << i;
    }
}

TEST_F(FilterTest, ChunkLandsInItsBusWordsOfTheFrameRow) {
    Set(kParamChannel, 4);  // bus 3
    ASSERT_TRUE(StartFrame(60));
    RenderVoiceChunk(kVoice, 0);
    for (int f = 0; f < 400; ++f) {  // into the decay
        if (Frame()) RenderVoiceChunk(kVoice, 0);
    }
    while (!Frame()) {
    }
    VoiceState& vs = V();
    const uint32_t pos = 1234;
    for (int32_t& w : g_mixBuffer.row[pos]) w = 0;
    RenderVoiceChunk(kVoice, pos);
    for (int w = 0; w < kBuses * 4; ++w) {
        const int32_t expected = w / 4 == 3 ? vs.voiceOut[w % 4] >> 6 : 0;
        EXPECT_EQ(g_mixBuffer.row[pos][w], expected) << "word " << w;
    }
    EXPECT_NE(g_mixBuffer.row[pos][12], 0);
}

}  // namespace
