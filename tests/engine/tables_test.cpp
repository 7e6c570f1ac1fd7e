// Engine lookup tables: every figure below is either a known reference value of
// the table or recomputed here, in IEEE double and in the table's own order of
// operations, from its defining arithmetic.
#include "engine/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <utility>
#include <vector>

#include "shared/mix_buffer.h"

namespace {

constexpr double kPi = 3.14159265359;
constexpr double kSemitone = 1.059463094359;
constexpr double kPitchUnit = 1.000225659305;

// Toward zero to 64 bits, low 32 bits kept.
uint32_t Trunc(double x) { return static_cast<uint32_t>(static_cast<int64_t>(x)); }
int32_t TruncS(double x) { return static_cast<int32_t>(Trunc(x)); }

// Stored entry e of a table computed as 128 rows from C0 up.
int Built(int e) { return std::clamp(e - 6144, 0, 32767); }

// Compares entries [first, last) of a table with a reference; reports the first
// mismatch only.
template <typename T, typename F>
::testing::AssertionResult Entries(const T* table, int first, int last, F expected) {
    for (int i = first; i < last; ++i) {
        int64_t want = expected(i);
        if (static_cast<int64_t>(table[i]) != want) {
            return ::testing::AssertionFailure()
                   << "entry " << i << " is " << table[i] << ", expected " << want;
        }
    }
    return ::testing::AssertionSuccess();
}

class TablesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildEngineTables(); }
};

struct Stated {
    const char* entry;
    int64_t (*read)();
    int64_t expected;
};
#define AT(expr, value) Stated{#expr, [] { return static_cast<int64_t>(expr); }, value}

TEST_F(TablesTest, KnownValues) {
    const Stated cases[] = {
        AT(g_sineTable[2048], 1073741824),
        AT(g_sineTable[4096], 0),
        AT(g_sineTable[6144], -1073741824),
        AT(g_sineTable[8191], -823549),
        AT(g_triangleTable[2048], 2147481600),
        AT(g_triangleTable[6144], -2147481600),
        AT(g_triangleTable[8191], -1048575),
        AT(g_lfoWaveTables[512], 0),
        AT(g_lfoWaveTables[1024 + 0], -2147483647),
        AT(g_lfoWaveTables[1024 + 480], 0),
        AT(g_lfoWaveTables[1024 + 960], 2147483646),
        AT(g_lfoWaveTables[1024 + 1023], -2080374783),
        AT(g_lfoWaveTables[2048 + 480], 2147483647),
        AT(g_lfoWaveTables[2048 + 511], 67108863),
        AT(g_phaseStepTable[0], 1592507),
        AT(g_phaseStepTable[6144], 1592507),
        AT(g_phaseStepTable[6145], 1592866),
        AT(g_phaseStepTable[6146], 1593225),
        AT(g_phaseStepTable[6399], 1686689),
        AT(g_phaseStepTable[6400], 1687202),
        AT(g_phaseStepTable[38911], 2054124403),
        AT(g_phaseStepTable[45055], 2054124403),
        AT(g_osc23StepTable[0], 576549277),
        AT(g_osc23StepTable[6143], 576549277),
        AT(g_osc23StepTable[45055], 2054124403),
        AT(g_feedbackCurve[24 * 256], -1153089757),
        AT(g_feedbackCurve[120 * 256], -576549277),
        AT(g_feedbackCurve[126 * 256 - 1], -520369),
        AT(g_feedbackCurve[126 * 256], 0),
        AT(g_sampleStepHigh[72 * 256], 0),
        AT(g_sampleStepLow[72 * 256], 4294967295),
        AT(g_sampleStepHigh[0], 0),
        AT(g_sampleStepLow[0], 67108864),
        AT(g_sampleStepHigh[45055], 406),
        // 1,268,789,650 / 1,216,043,053 (A) and 1,956,383,151 / 1,896,519,178 (B)
        // sit at rows 60 and 84; rows 72 and 96 are checked against the
        // accumulation further down.
        AT(g_pitchCurveA[24 * 256], 1274968416),
        AT(g_pitchCurveA[60 * 256], 1268789650),
        AT(g_pitchCurveA[84 * 256], 1216043053),
        AT(g_pitchCurveA[120 * 256], 494056579),
        AT(g_pitchCurveA[132 * 256], 0),
        AT(g_pitchCurveB[24 * 256], 1962834272),
        AT(g_pitchCurveB[60 * 256], 1956383151),
        AT(g_pitchCurveB[84 * 256], 1896519178),
        AT(g_pitchCurveB[120 * 256], 906591611),
        AT(g_pitchCurveB[132 * 256], 0),
        AT(g_pitchCurveC[0], 200749056),
        AT(g_pitchCurveC[105 * 256], 334247424),
        AT(g_pitchCurveC[129 * 256 - 1], 145056),
        AT(g_pitchCurveC[129 * 256], 0),
        AT(g_fmDepthCurve[0], 0x20000000),
        AT(g_fmDepthCurve[9215], 0x20000000),
        AT(g_fmDepthCurve[9216], 536870912),
        AT(g_fmDepthCurve[24620], 0x7FFFFFFF),
        AT(g_fmDepthCurve[45055], 1268),
        AT(g_waveFadeOut[29879], 489855),
        AT(g_waveFadeIn[29879], 2146993792),
        AT(g_waveFadeOut[45055], 489855),
        AT(g_filterCoefTables[kFilterSetA].gain[0][0], 2116),
        AT(g_filterCoefTables[kFilterSetA].feedback1[0][0], 2116098860),
        AT(g_filterCoefTables[kFilterSetA].feedback2[0][0], -1042424752),
        AT(g_filterCoefTables[kFilterSetA].gain[0][8190], 200692255),
        AT(g_filterCoefTables[kFilterSetA].feedback1[0][8190], -1566630107),
        AT(g_filterCoefTables[kFilterSetA].feedback2[0][8190], -569079597),
        AT(g_filterCoefTables[kFilterSetA].gain[15][3840], 3741615),
        AT(g_filterCoefTables[kFilterSetA].feedback1[15][3840], 2023795353),
        AT(g_filterCoefTables[kFilterSetA].feedback2[15][3840], -1017473870),
        AT(g_filterCoefTables[kFilterSetA].gain[30][6400], 92060895),
        AT(g_filterCoefTables[kFilterSetA].feedback1[30][6400], -534315883),
        AT(g_filterCoefTables[kFilterSetA].feedback2[30][6400], -1068722511),
        AT(g_filterCoefTables[kFilterSetB].gain[0][0], 0),
        AT(g_filterCoefTables[kFilterSetB].feedback1[0][0], 2108287427),
        AT(g_filterCoefTables[kFilterSetB].feedback2[0][0], -1034613069),
        AT(g_filterCoefTables[kFilterSetB].gain[15][6400], 127320104),
        AT(g_filterCoefTables[kFilterSetB].feedback1[15][6400], -439818044),
        AT(g_filterCoefTables[kFilterSetB].feedback2[15][6400], -689811353),
        AT(g_filterCoefTables[kFilterSetB].gain[30][8190], 136528313),
        AT(g_filterCoefTables[kFilterSetB].feedback1[30][8190], -1861035812),
        AT(g_filterCoefTables[kFilterSetB].feedback2[30][8190], -877803396),
        AT(g_resonanceGainTable[0], 67108863),
        AT(g_resonanceGainTable[15], 59559115),
        AT(g_resonanceGainTable[31], 34863054),
        AT(g_shapeFallCurve[31][0], 4294967295),
        AT(g_shapeFallCurve[31][2047], 1),
        AT(g_shapeRiseCurve[0][1000], 4),
        AT(g_shapeRiseLine[0][1000], 4),
        AT(g_shapeFallCurve[0][1000], 1),
        AT(g_shapeFallLine[0][1000], 1),
        AT(g_shapeFallLine[31][2046], 1),
        AT(g_shapeFallLine[31][2047], 1),
        AT(g_attackRateTable[80], 10),
        AT(g_attackRateTable[40], 283),
        AT(g_attackRateTable[10], 3277),
        AT(g_attackRateTable[9], 3555),
        AT(g_attackRateTable[0], 28021),
        AT(g_decayRateTable[80], 8),
        AT(g_decayRateTable[40], 87),
        AT(g_decayRateTable[10], 500),
        AT(g_decayRateTable[0], 3392),
        AT(g_sustainLevelTable[80], 127926240),
        AT(g_masterVolumeTable[64 + 56], 2147482624),
        AT(g_busVolumeTable[56], 22369610),
        AT(g_sendLevelTable[40], 2147483200),
        AT(g_panTable[0], 0x10000000),
        AT(g_panTable[20], 0x3FFFFFF8),
        AT(g_panTable[40], 0x6FFFFFF0),
        AT(g_limiterGainTable[4095], 0x7EFFE000),
        AT(g_limiterGainTable[4096], 0x7D000000),
        AT(g_limiterGainTable[16383], 0x7DBFFE00),
    };
    for (const Stated& c : cases) {
        EXPECT_EQ(c.read(), c.expected) << c.entry;
    }
}

// Guards the breakpoint lists against transcription slips: plain and
// index-weighted sums of the reference lists.
TEST_F(TablesTest, BreakpointListsMatchTheirChecksums) {
    auto sums = [](const uint32_t* p, int n) {
        int64_t plain = 0, weighted = 0;
        for (int i = 0; i < n; ++i) {
            plain += p[i];
            weighted += static_cast<int64_t>(i) * p[i];
        }
        return std::pair{plain, weighted};
    };
    EXPECT_EQ(sums(g_osc23StepPoints, kOsc23StepPoints), (std::pair<int64_t, int64_t>{59313210573, 3022397035548}));
    EXPECT_EQ(sums(g_pitchCurvePoints, kPitchCurvePoints), (std::pair<int64_t, int64_t>{27109675008, 1481317522944}));
}

TEST_F(TablesTest, WaveformsFollowTheirFormulas) {
    EXPECT_TRUE(Entries(g_sineTable, 0, kWaveEntries, [](int i) { return TruncS(std::sin(kPi * (i / 4096.0)) * 1073741824.0); }));
    EXPECT_TRUE(Entries(g_oscSineTable, 0, kWaveEntries, [](int i) { return TruncS(std::sin(kPi * (i / 4096.0)) * 671088640.0); }));
    EXPECT_TRUE(Entries(g_triangleTable, 0, kWaveEntries, [](int i) {
        return i < 2048 ? 1048575 * i : i < 6144 ? 1048575 * (4096 - i) : -1048575 * (8192 - i);
    }));

    const int32_t* sine = g_lfoWaveTables;
    const int32_t* square = g_lfoWaveTables + 2048;
    EXPECT_TRUE(Entries(sine, 0, 1024, [](int i) { return TruncS(std::sin(kPi * (i / 512.0)) * 2147483647.0); }));
    EXPECT_TRUE(Entries(square, 0, 32, [](int i) { return TruncS(i * 0.03125 * 2147483647.0); }));
    EXPECT_TRUE(Entries(square, 32, 481, [](int) { return 2147483647; }));
    EXPECT_TRUE(Entries(square, 512, 1024, [&](int i) { return -int64_t{square[i - 512]}; }));
}

TEST_F(TablesTest, ClampedPitchTablesRepeatTheirEndEntries) {
    struct Table {
        const char* name;
        const void* data;
        bool isUnsigned;
    };
    const Table tables[] = {
        {"g_phaseStepTable", g_phaseStepTable, true}, {"g_osc23StepTable", g_osc23StepTable, true},
        {"g_feedbackCurve", g_feedbackCurve, false},  {"g_pitchCurveA", g_pitchCurveA, false},
        {"g_pitchCurveB", g_pitchCurveB, false},      {"g_pitchCurveC", g_pitchCurveC, false},
    };
    for (const Table& t : tables) {
        auto at = [&](int e) -> int64_t {
            return t.isUnsigned ? static_cast<const uint32_t*>(t.data)[e] : static_cast<const int32_t*>(t.data)[e];
        };
        for (int e = 0; e < 6144; ++e) {
            ASSERT_EQ(at(e), at(6144)) << t.name << " entry " << e;
        }
        for (int e = 38912; e < kPitchEntries; ++e) {
            ASSERT_EQ(at(e), at(38911)) << t.name << " entry " << e;
        }
    }
}

TEST_F(TablesTest, PhaseStepsChainTruncatedEntriesFromSemitoneRowStarts) {
    double base = 1592507.452321;
    for (int r = 0; r < 124; ++r) {
        if (r > 0) base = base * kSemitone;
        ASSERT_EQ(g_phaseStepTable[6144 + 256 * r], Trunc(base)) << "row " << r;
    }
    EXPECT_TRUE(Entries(g_phaseStepTable, 6144, 6144 + 124 * 256, [](int e) -> int64_t {
        if (e % 256 == 0) return g_phaseStepTable[e];
        return Trunc(static_cast<double>(g_phaseStepTable[e - 1]) * kPitchUnit);
    }));
    EXPECT_TRUE(Entries(g_phaseStepTable, 37887, kPitchEntries, [](int) { return 2054124403; }));
    // Key A4, 57 semitones above C0, is 440 Hz.
    EXPECT_NEAR(g_phaseStepTable[6144 + 57 * 256] / 4294967296.0 * 44100.0, 440.0, 440.0 * 1e-6);
}

TEST_F(TablesTest, Osc23StepsInterpolateBreakpointsThenFollowPhaseSteps) {
    struct Row {
        int builtRow;
        double from, to;
    };
    for (Row row : {Row{1, 576549277, 576549273}, Row{98, 574656512, 575279104}, Row{101, 576348416, 576549277}}) {
        double x = 0.0;
        for (int j = 0; j < 256; ++j) {
            ASSERT_EQ(g_osc23StepTable[6144 + 256 * row.builtRow + j], Trunc(row.from + x)) << row.builtRow << "/" << j;
            x = x + (row.to - row.from) / 256.0;
        }
    }
    EXPECT_TRUE(Entries(g_osc23StepTable, 126 * 256, kPitchEntries, [](int e) -> int64_t { return g_phaseStepTable[e]; }));
}

TEST_F(TablesTest, FeedbackCurveRowsAndInRowChain) {
    constexpr double kOffset = 3141868742.0;
    double x = 1153098554.0;
    for (int r = 102; r >= 0; --r) {
        ASSERT_EQ(g_feedbackCurve[6144 + 256 * r], TruncS(x + kOffset)) << "row " << r;
        x = x / kSemitone / kSemitone;
    }
    EXPECT_TRUE(Entries(g_feedbackCurve, 6144, 6144 + 102 * 256, [](int e) -> int64_t {
        if (e % 256 == 0) return g_feedbackCurve[e];
        double prev = static_cast<uint32_t>(g_feedbackCurve[e - 1]);
        return TruncS(((prev - kOffset) * kPitchUnit) * kPitchUnit + kOffset);
    }));
    EXPECT_TRUE(Entries(g_feedbackCurve, 126 * 256, kPitchEntries, [](int) { return 0; }));
    EXPECT_LT(*std::max_element(g_feedbackCurve, g_feedbackCurve + 126 * 256), 0);
}

TEST_F(TablesTest, SampleStepIsTwoToThePitchOver3072) {
    for (int e = 0; e < kPitchEntries; ++e) {
        double step = g_sampleStepHigh[e] * 4294967296.0 + g_sampleStepLow[e];
        double ideal = 67108864.0 * std::exp2(e / 3072.0);
        ASSERT_NEAR(step, ideal, ideal * 1e-9 + 1.0) << "entry " << e;
    }
    // Row 24 entry 1 from the accumulation: 2^26 x semitone^24, then one pitch unit.
    double b = 67108864.0;
    for (int r = 0; r < 24; ++r) b = b * kSemitone;
    b = b * kPitchUnit;
    EXPECT_EQ(g_sampleStepLow[24 * 256 + 1], Trunc(b));
}

TEST_F(TablesTest, PitchCurvesAAndBFollowTheirAccumulation) {
    auto built = [](double c, double d) {
        std::vector<int64_t> v(32768, 0);
        double x = 100000.0, ratio = 1.0005;
        for (int n = 0; n < 31744; ++n) {
            double y = c - x;
            v[n] = y > 0.0 ? Trunc(y) : 0;
            x = x * ratio;
            ratio = ratio * d;
        }
        return v;
    };
    const std::vector<int64_t> a = built(1275068416.0, 0.999999989);
    const std::vector<int64_t> b = built(1962934272.0, 0.99999999);
    EXPECT_TRUE(Entries(g_pitchCurveA, 0, kPitchEntries, [&](int e) { return a[Built(e)]; }));
    EXPECT_TRUE(Entries(g_pitchCurveB, 0, kPitchEntries, [&](int e) { return b[Built(e)]; }));
    // Rows 72 and 96 are not the rows that hold these two figures.
    EXPECT_NE(g_pitchCurveA[72 * 256], 1268789650);
    EXPECT_NE(g_pitchCurveA[96 * 256], 1216043053);
}

TEST_F(TablesTest, PitchCurveCInterpolatesBreakpointsAndEndsAtZero) {
    struct Row {
        int builtRow;
        double from, to;
    };
    for (Row row : {Row{0, 200749056, 201265152}, Row{81, 334247424, 334073856}, Row{104, 37134336, 0}}) {
        double x = 0.0;
        for (int j = 0; j < 256; ++j) {
            ASSERT_EQ(g_pitchCurveC[6144 + 256 * row.builtRow + j], TruncS(row.from + x)) << row.builtRow << "/" << j;
            x = x + (row.to - row.from) / 256.0;
        }
    }
    EXPECT_TRUE(Entries(g_pitchCurveC, 129 * 256, kPitchEntries, [](int) { return 0; }));
    EXPECT_EQ(std::max_element(g_pitchCurveC, g_pitchCurveC + kPitchEntries) - g_pitchCurveC, 105 * 256);
}

TEST_F(TablesTest, FmDepthRisesToFullScaleThenDecays) {
    EXPECT_LT(g_fmDepthCurve[24619], 0x7FFFFFFF);
    EXPECT_TRUE(Entries(g_fmDepthCurve, 24620, 30721, [](int) { return 0x7FFFFFFF; }));
    double x = 536870912.0;
    for (int e = 9216; e < 9216 + 100; ++e) {
        ASSERT_EQ(g_fmDepthCurve[e], TruncS(x)) << e;
        x = x * 1.00009;
    }
    x = 2147483647.0;
    for (int e = 30720; e < 30720 + 100; ++e) {
        ASSERT_EQ(g_fmDepthCurve[e], TruncS(x)) << e;
        x = x * 0.999;
    }
    EXPECT_TRUE(std::is_sorted(g_fmDepthCurve, g_fmDepthCurve + 30720));
    EXPECT_TRUE(std::is_sorted(g_fmDepthCurve + 30720, g_fmDepthCurve + kPitchEntries, std::greater<>()));
}

TEST_F(TablesTest, WaveFadesStepOncePerEntryAndAlwaysSumToFullScale) {
    // After n steps the triangle weight is 2^31 - 1 - (65,536 n + 64 n (n - 1)).
    auto fadeOut = [](int e) -> int64_t {
        if (e < 24576) return 0x7FFFFFFF;
        int64_t n = std::min(e - 24576, 29879 - 24576);
        return 2147483647 - (65536 * n + 64 * n * (n - 1));
    };
    EXPECT_TRUE(Entries(g_waveFadeOut, 0, kPitchEntries, fadeOut));
    EXPECT_TRUE(Entries(g_waveFadeIn, 0, kPitchEntries, [&](int e) { return 2147483647 - fadeOut(e); }));
    EXPECT_GT(g_waveFadeOut[29878], 524288);
    EXPECT_LE(g_waveFadeOut[29879], 524288);
}

TEST_F(TablesTest, FilterCoefficientsAtTheBottomTwoCutoffs) {
    struct Set {
        int index;
        double q, g;
        int h;
        double qRatio, gRatio;
    };
    for (Set s : {Set{kFilterSetA, 0.4, 0.5, 65, 0.9993, 1.001}, Set{kFilterSetB, 0.64, 0.000001, 100, 0.99955, 1.05}}) {
        const FilterCoefSet& t = g_filterCoefTables[s.index];
        for (int r = 0; r < 32; ++r) {
            int m = 31 - r;
            double k = 1.0 - (r * r) * 0.0005;
            double w = 0.004, q = s.q, g = s.g;
            for (int c = 0; c < 2; ++c) {
                double d = ((m * 0.002081165452653) * m) / 100.0 * s.h + q;
                if (r < 6) d = (6 - r) * 0.3333 + d;
                double w2 = w * w;
                double n = (d * w + 1.0) + w2;
                SCOPED_TRACE(testing::Message() << "set " << s.index << " row " << r << " cutoff " << c);
                EXPECT_EQ(t.gain[r][c], TruncS(((268435456.0 * (w2 / n)) * k) * g));
                EXPECT_EQ(t.feedback1[r][c], TruncS(1073741824.0 * (2.0 * (1.0 - w2) / n)));
                EXPECT_EQ(t.feedback2[r][c], TruncS(1073741824.0 * -(((1.0 - d * w) + w2) / n)));
                w = w * 1.000902942799;
                q = q * s.qRatio;
                g = g * s.gRatio;
            }
        }
    }
    for (int r = 0; r < 32; ++r) {
        EXPECT_EQ(g_filterCoefTables[kFilterSetB].gain[r][0], 0) << r;
        EXPECT_EQ(g_resonanceGainTable[r], TruncS((1.0 - (r * r) * 0.0005) * 67108863.0)) << r;
    }
}

TEST_F(TablesTest, EnvelopeShapesFollowTheirFormulas) {
    constexpr double kParabola = 1025.00073266;
    constexpr double kLine = 2097664.124542;
    auto atLeast4 = [](uint32_t v) -> int64_t { return std::max(v, 4u); };
    for (int k = 0; k < 32; ++k) {
        SCOPED_TRACE(testing::Message() << "level " << k);
        auto p2 = [](int i) { return (2047 - i) * (2047 - i); };
        EXPECT_TRUE(Entries(g_shapeRiseCurve[k], 0, 2048, [&](int i) {
            return atLeast4(Trunc((4294967295.0 - p2(i) * kParabola) / 32.0 * k + 1.0));
        }));
        EXPECT_TRUE(Entries(g_shapeFallCurve[k], 0, 2048, [&](int i) -> int64_t { return Trunc(p2(i) * kParabola / 31.0 * k + 1.0); }));
        EXPECT_TRUE(Entries(g_shapeRiseLine[k], 0, 2048, [&](int i) { return atLeast4(Trunc(i * kLine / 32.0 * k + 1.0)); }));
        EXPECT_TRUE(Entries(g_shapeFallLine[k], 0, 2048, [&](int i) -> int64_t {
            return Trunc(std::max(2046 - i, 0) * kLine / 32.0 * k + 1.0);
        }));
    }
    EXPECT_EQ(&g_shapeTables[kShapeFallLine][0][0], &g_shapeFallLine[0][0]);
}

TEST_F(TablesTest, KnobRatesGrowGeometricallyTowardKnobZero) {
    auto check = [](const uint32_t* table, double x, double ratio) {
        for (int knob = 80; knob >= 0; --knob) {
            x = x * ratio;
            ASSERT_EQ(table[knob], Trunc(x)) << "knob " << knob;
            if (knob < 10) ratio = ratio * 1.03;
        }
    };
    check(g_attackRateTable, 10.0, 1.085);
    check(g_decayRateTable, 8.0, 1.06);
    EXPECT_TRUE(Entries(g_sustainLevelTable, 0, 81, [](int n) { return int64_t{n} * 1599078; }));
    EXPECT_EQ(&g_knobRateTables[1][0], &g_decayRateTable[0]);
}

TEST_F(TablesTest, MixerGainCurves) {
    auto full = [](int v) { return int64_t{v} * v * 684784; };
    EXPECT_TRUE(Entries(g_masterVolumeTable + 64, 0, 57, full));
    EXPECT_TRUE(Entries(g_masterVolumeTable, 0, 57, [&](int v) { return TruncS(0.6 * full(v)); }));
    EXPECT_TRUE(Entries(g_masterVolumeTable, 57, 64, [](int) { return 0; }));
    EXPECT_TRUE(Entries(g_masterVolumeTable, 64 + 57, 128, [](int) { return 0; }));
    EXPECT_TRUE(Entries(g_busVolumeTable, 0, 57, [&](int v) { return full(v) / 96; }));
    EXPECT_TRUE(Entries(g_sendLevelTable, 0, 41, [](int s) { return int64_t{s} * s * 1342177; }));
    EXPECT_TRUE(Entries(g_panTable, 0, 41, [](int p) { return 0x10000000 + int64_t{p} * 0x2666666; }));
}

TEST_F(TablesTest, MeterStepsAndLimiterSegments) {
    struct Range {
        int first, last, value;
    };
    const Range meter[] = {{0, 31, 0},       {32, 47, 1},      {48, 63, 2},      {64, 95, 3},
                           {96, 127, 4},     {128, 191, 5},    {192, 255, 6},    {256, 383, 7},
                           {384, 511, 8},    {512, 639, 9},    {640, 767, 10},   {768, 895, 11},
                           {896, 1023, 12},  {1024, 1279, 13}, {1280, 1535, 14}, {1536, 1791, 15},
                           {1792, 16383, 16}};
    for (Range r : meter) {
        EXPECT_TRUE(Entries(g_meterLevelTable, r.first, r.last + 1, [&](int) { return r.value; })) << r.first;
    }

    struct Segment {
        int first, last;
        int64_t base;
        int shift;
    };
    const Segment limiter[] = {{0, 31, 0, 0},
                               {32, 63, 0, 25},
                               {64, 127, 0x40000000, 23},
                               {128, 255, 0x60000000, 21},
                               {256, 511, 0x70000000, 19},
                               {512, 1023, 0x78000000, 17},
                               {1024, 2047, 0x7C000000, 15},
                               {2048, 4095, 0x7E000000, 13},
                               {4096, 8191, 0x7D000000, 11},
                               {8192, 16383, 0x7D800000, 9}};
    for (Segment s : limiter) {
        EXPECT_TRUE(Entries(g_limiterGainTable, s.first, s.last + 1, [&](int i) {
            return s.first == 0 ? 0 : s.base + (int64_t{i - s.first} << s.shift);
        })) << s.first;
    }
}

// A second build must not depend on what the tables or the mix buffer hold.
TEST_F(TablesTest, RebuildRestoresEveryTableAndClearsTheMixBuffer) {
    struct Block {
        void* data;
        size_t bytes;
    };
    const Block blocks[] = {
        {g_sineTable, sizeof g_sineTable},           {g_oscSineTable, sizeof g_oscSineTable},
        {g_triangleTable, sizeof g_triangleTable},   {g_lfoWaveTables, sizeof g_lfoWaveTables},
        {g_phaseStepTable, sizeof g_phaseStepTable}, {g_osc23StepTable, sizeof g_osc23StepTable},
        {g_feedbackCurve, sizeof g_feedbackCurve},   {g_sampleStepLow, sizeof g_sampleStepLow},
        {g_sampleStepHigh, sizeof g_sampleStepHigh}, {g_pitchCurveA, sizeof g_pitchCurveA},
        {g_pitchCurveB, sizeof g_pitchCurveB},       {g_pitchCurveC, sizeof g_pitchCurveC},
        {g_fmDepthCurve, sizeof g_fmDepthCurve},     {g_waveFadeOut, sizeof g_waveFadeOut},
        {g_waveFadeIn, sizeof g_waveFadeIn},         {g_filterCoefTables, sizeof g_filterCoefTables},
        {g_resonanceGainTable, sizeof g_resonanceGainTable}, {g_shapeTables, sizeof g_shapeTables},
        {g_knobRateTables, sizeof g_knobRateTables}, {g_masterVolumeTable, sizeof g_masterVolumeTable},
        {g_busVolumeTable, sizeof g_busVolumeTable}, {g_sendLevelTable, sizeof g_sendLevelTable},
        {g_panTable, sizeof g_panTable},             {g_meterLevelTable, sizeof g_meterLevelTable},
        {g_limiterGainTable, sizeof g_limiterGainTable},
    };
    std::vector<std::vector<unsigned char>> before;
    for (const Block& b : blocks) {
        const auto* p = static_cast<const unsigned char*>(b.data);
        before.emplace_back(p, p + b.bytes);
        std::memset(b.data, 0xA5, b.bytes);
    }
    for (auto& row : g_mixBuffer.row) {
        std::fill(std::begin(row), std::end(row), -1);
    }

    BuildEngineTables();

    for (size_t i = 0; i < std::size(blocks); ++i) {
        EXPECT_EQ(std::memcmp(blocks[i].data, before[i].data(), blocks[i].bytes), 0) << "block " << i;
    }
    size_t nonZero = 0;
    for (const auto& row : g_mixBuffer.row) {
        nonZero += std::count_if(std::begin(row), std::end(row), [](int32_t v) { return v != 0; });
    }
    EXPECT_EQ(nonZero, 0u);
}

}  // namespace
