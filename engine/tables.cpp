// Builder of the engine's lookup tables.
//
// Every real-valued quantity is an IEEE double, rounded after each operation in
// the order written here (the build forbids fused multiply-adds). Running values
// are accumulated from step to step, never re-derived from a closed formula: the
// tables are defined by these accumulations. Trunc converts toward zero to a
// 64-bit integer and keeps its low 32 bits.
#include "engine/tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "shared/mix_buffer.h"

int32_t g_sineTable[kWaveEntries];
int32_t g_oscSineTable[kWaveEntries];
int32_t g_triangleTable[kWaveEntries];
int32_t g_lfoWaveTables[kLfoWaves * kLfoWaveEntries];

uint32_t g_phaseStepTable[kPitchEntries];
uint32_t g_osc23StepTable[kPitchEntries];
int32_t g_feedbackCurve[kPitchEntries];
uint32_t g_sampleStepLow[kPitchEntries];
uint32_t g_sampleStepHigh[kPitchEntries];
int32_t g_pitchCurveA[kPitchEntries];
int32_t g_pitchCurveB[kPitchEntries];
int32_t g_pitchCurveC[kPitchEntries];
int32_t g_fmDepthCurve[kPitchEntries];
int32_t g_waveFadeOut[kPitchEntries];
int32_t g_waveFadeIn[kPitchEntries];

FilterCoefSet g_filterCoefTables[kFilterSets];
int32_t g_resonanceGainTable[kResonanceRows];

uint32_t g_shapeTables[kShapeCount][kShapeLevels][kShapeEntries];
uint32_t g_knobRateTables[kKnobRateTables][kKnobValues];

int32_t g_masterVolumeTable[kMasterVolumePages * kMasterVolumePageEntries];
int32_t g_busVolumeTable[kVolumeSettings];
int32_t g_sendLevelTable[kSendSettings];
int32_t g_panTable[kPanSettings];

int32_t g_meterLevelTable[kMeterEntries];
int32_t g_limiterGainTable[kLimiterEntries];

const uint32_t g_osc23StepPoints[kOsc23StepPoints] = {
    576549277, 576549277, 576549273, 576549272, 576549269, 576549264, 576549264, 576549267,
    576549267, 576549264, 576549259, 576549249, 576549242, 576549248, 576549247, 576549247,
    576549188, 576549193, 576549193, 576549192, 576549150, 576549147, 576549095, 576549036,
    576548954, 576549024, 576549009, 576549004, 576548795, 576548687, 576548606, 576548606,
    576548343, 576548424, 576548048, 576547696, 576547544, 576547055, 576546934, 576546606,
    576546049, 576545344, 576544728, 576544064, 576542840, 576541424, 576540041, 576538003,
    576536601, 576534546, 576531233, 576527936, 576524814, 576519429, 576514185, 576507136,
    576500608, 576491648, 576481600, 576470016, 576455296, 576440000, 576420736, 576398848,
    576371712, 576343648, 576311232, 576264576, 576220928, 576158976, 576105984, 576034048,
    575945472, 575869072, 575762432, 575642624, 575510912, 575368960, 575216864, 574998272,
    574822656, 574619440, 574406656, 574147072, 573915136, 573702144, 573422592, 573203456,
    572981248, 572814848, 572669696, 572560128, 572596224, 572681728, 572876800, 573166080,
    573565472, 574074880, 574656512, 575279104, 575875456, 576348416, 576549277,
};

const uint32_t g_pitchCurvePoints[kPitchCurvePoints] = {
    200749056, 201265152, 201408512, 202616832, 202866688, 203939840, 204378112, 205389824,
    205848576, 206921728, 207372288, 208302080, 209551360, 210128896, 210849792, 212377600,
    212910080, 214372352, 215154688, 216530944, 217350144, 218869760, 219643904, 221159424,
    222568448, 223539200, 225275904, 226248704, 227930112, 229593088, 230752256, 232398848,
    234135552, 235884544, 237637632, 239382528, 240975872, 242974720, 244809728, 246603776,
    248598528, 250707968, 252780544, 254873600, 256972800, 259106816, 261464064, 263598080,
    266002432, 268333056, 270684160, 273053696, 275517440, 278044672, 280563712, 283080704,
    285544448, 288034816, 290758656, 293142528, 295813120, 298381312, 300924928, 303403008,
    306049024, 308391936, 310837248, 313201664, 315674624, 317825024, 320017408, 322072576,
    324100096, 325935104, 327733760, 329247744, 330637312, 331809792, 332827648, 333533184,
    334063616, 334247424, 334073856, 333508608, 332525568, 331008000, 329227264, 326688768,
    323295232, 319454208, 314769408, 309141504, 302084096, 294027264, 284934144, 273907712,
    260718592, 245252096, 227512320, 206839808, 182366208, 153432064, 119287808, 80227328,
    37134336, 0,
};

namespace {

// The circle constant as a 12-digit literal, slightly above pi: sin(PI) is
// about -2.07e-13, which truncates to 0.
constexpr double kPi = 3.14159265359;
constexpr double kSemitoneRatio = 1.059463094359;
constexpr double kPitchUnitRatio = 1.000225659305;  // 2^(1/3072): 1/256 semitone

inline uint32_t Trunc(double x) { return static_cast<uint32_t>(static_cast<int64_t>(x)); }
inline int32_t TruncSigned(double x) { return static_cast<int32_t>(Trunc(x)); }

// Scratch for the 128 computed rows of a clamped pitch table.
uint32_t builtScratch[kPitchBuiltEntries];

// Stores 128 computed rows from C0 up: entry e holds built entry
// clamp(e - 6,144, 0, 32,767).
template <typename T>
void StoreShifted(const uint32_t* built, T* table) {
    for (int e = 0; e < kPitchEntries; ++e) {
        int b = std::clamp(e - kPitchShift, 0, kPitchBuiltEntries - 1);
        table[e] = static_cast<T>(built[b]);
    }
}

// Linear interpolation between breakpoints, one per row: row i runs from
// point[i] toward point[i + 1] in 256 equal steps.
void InterpolateRows(const uint32_t* point, int rows, uint32_t* built) {
    for (int i = 0; i < rows; ++i) {
        double start = static_cast<double>(point[i]);
        double delta = (static_cast<double>(point[i + 1]) - static_cast<double>(point[i])) / 256.0;
        double x = 0.0;
        for (int j = 0; j < kPitchRowEntries; ++j) {
            built[i * kPitchRowEntries + j] = Trunc(start + x);
            x = x + delta;
        }
    }
}

void BuildWaveforms() {
    double x = 0.0;
    for (int i = 0; i < kWaveEntries; ++i) {
        double s = std::sin(kPi * x);
        g_sineTable[i] = TruncSigned(s * 1073741824.0);
        g_oscSineTable[i] = TruncSigned(s * 671088640.0);
        x = x + 1.0 / 4096.0;
    }

    int32_t value = 0;
    for (int i = 0; i < kWaveEntries; ++i) {
        g_triangleTable[i] = value;
        if (i >= 2048 && i < 6144) {
            value -= 1048575;
        } else {
            value += 1048575;
        }
    }
}

void BuildLfoWaves() {
    constexpr double kScale = 2147483647.0;
    int32_t* sine = g_lfoWaveTables;
    int32_t* ramp = g_lfoWaveTables + kLfoWaveEntries;
    int32_t* square = g_lfoWaveTables + 2 * kLfoWaveEntries;

    double x = 0.0;
    for (int i = 0; i < kLfoWaveEntries; ++i) {
        sine[i] = TruncSigned(std::sin(kPi * x) * kScale);
        x = x + 1.0 / 512.0;
    }

    x = -1.0;
    for (int i = 0; i < kLfoWaveEntries; ++i) {
        ramp[i] = TruncSigned(x * kScale);
        if (i < 960) {
            x = x + 0.002083333333333;
        } else {
            x = x - 0.03125;
        }
    }

    x = 0.0;
    for (int i = 0; i < 512; ++i) {
        if (i < 32) {
            square[i] = TruncSigned(x * kScale);
            x = x + 0.03125;
        } else if (i < 480) {
            square[i] = 2147483647;
        } else {
            square[i] = TruncSigned(x * kScale);
            x = x - 0.03125;
        }
    }
    for (int i = 512; i < kLfoWaveEntries; ++i) {
        square[i] = -square[i - 512];
    }
}

// Built phase steps, 128 rows from C0 (16.3516 Hz) at 44,100 Hz: each row
// starts at the running semitone base, each entry is its truncated predecessor
// times 2^(1/3072); the top four rows repeat the last computed entry.
void BuildPhaseSteps(uint32_t* built) {
    constexpr int kComputedRows = 124;
    double base = 1592507.452321;
    for (int r = 0; r < kComputedRows; ++r) {
        if (r > 0) {
            base = base * kSemitoneRatio;
        }
        uint32_t* row = built + r * kPitchRowEntries;
        row[0] = Trunc(base);
        for (int j = 1; j < kPitchRowEntries; ++j) {
            row[j] = Trunc(static_cast<double>(row[j - 1]) * kPitchUnitRatio);
        }
    }
    uint32_t top = built[kComputedRows * kPitchRowEntries - 1];
    std::fill(built + kComputedRows * kPitchRowEntries, built + kPitchBuiltEntries, top);
}

void BuildPitchTables() {
    uint32_t* built = builtScratch;

    BuildPhaseSteps(built);
    StoreShifted(built, g_phaseStepTable);

    // Oscillators 2/3: the phase steps with the bottom 102 rows replaced by the
    // breakpoint interpolation.
    InterpolateRows(g_osc23StepPoints, kOsc23StepPoints - 1, built);
    StoreShifted(built, g_osc23StepTable);

    // Feedback curve: offset exponential, two semitones per row, from row 102
    // (whose sum is exactly 2^32 and wraps to 0) downwards.
    {
        constexpr double kOffset = 3141868742.0;
        constexpr int kTopRow = 102;
        double x = 1153098554.0;
        for (int r = kTopRow; r >= 0; --r) {
            uint32_t value = Trunc(x + kOffset);
            std::fill(built + r * kPitchRowEntries, built + (r + 1) * kPitchRowEntries, value);
            x = x / kSemitoneRatio / kSemitoneRatio;
        }
        for (int r = 0; r < kTopRow; ++r) {
            uint32_t* row = built + r * kPitchRowEntries;
            for (int j = 1; j < kPitchRowEntries; ++j) {
                double prev = static_cast<double>(row[j - 1]);
                row[j] = Trunc(((prev - kOffset) * kPitchUnitRatio) * kPitchUnitRatio + kOffset);
            }
        }
        std::fill(built + (kTopRow + 1) * kPitchRowEntries, built + kPitchBuiltEntries, 0u);
        StoreShifted(built, g_feedbackCurve);
    }

    // Falling curves A and B: C - x, x growing by a ratio that itself decays.
    struct CurveParams {
        double c;
        double d;
        int32_t* table;
    };
    const CurveParams curves[2] = {
        {1275068416.0, 0.999999989, g_pitchCurveA},
        {1962934272.0, 0.99999999, g_pitchCurveB},
    };
    for (const CurveParams& curve : curves) {
        constexpr int kComputed = 31744;
        double x = 100000.0;
        double ratio = 1.0005;
        for (int n = 0; n < kComputed; ++n) {
            double v = curve.c - x;
            built[n] = v > 0.0 ? Trunc(v) : 0u;
            x = x * ratio;
            ratio = ratio * curve.d;
        }
        std::fill(built + kComputed, built + kPitchBuiltEntries, 0u);
        StoreShifted(built, curve.table);
    }

    InterpolateRows(g_pitchCurvePoints, kPitchCurvePoints - 1, built);
    std::fill(built + (kPitchCurvePoints - 1) * kPitchRowEntries, built + kPitchBuiltEntries, 0u);
    StoreShifted(built, g_pitchCurveC);
}

void BuildSampleSteps() {
    double rowBase = 67108864.0;  // 1/64 frame per frame at pitch index 0
    for (int r = 0; r < kPitchRows; ++r) {
        if (r > 0) {
            rowBase = rowBase * kSemitoneRatio;
        }
        double b = rowBase;
        for (int j = 0; j < kPitchRowEntries; ++j) {
            int e = r * kPitchRowEntries + j;
            g_sampleStepHigh[e] = Trunc(b / 65536.0 / 65536.0);
            g_sampleStepLow[e] = Trunc(b);
            b = b * kPitchUnitRatio;
        }
    }
}

void BuildFmDepthAndFades() {
    std::fill(g_fmDepthCurve, g_fmDepthCurve + 9216, 0x20000000);
    double x = 536870912.0;
    for (int e = 9216; e < 30720; ++e) {
        g_fmDepthCurve[e] = x < 2147483647.0 ? TruncSigned(x) : 0x7FFFFFFF;
        x = x * 1.00009;
    }
    x = 2147483647.0;
    for (int e = 30720; e < kPitchEntries; ++e) {
        g_fmDepthCurve[e] = TruncSigned(x);
        x = x * 0.999;
    }

    // Crossfade from the triangle to the sine from pitch index 24,576 up: one
    // step per entry, growing by 128, until the triangle weight is at most 2^19.
    std::fill(g_waveFadeOut, g_waveFadeOut + kPitchEntries, 0x7FFFFFFF);
    std::fill(g_waveFadeIn, g_waveFadeIn + kPitchEntries, 0);
    double a = 2147483647.0;
    double b = 0.0;
    double step = 65536.0;
    for (int e = 24576; e < kPitchEntries; ++e) {
        g_waveFadeOut[e] = TruncSigned(a);
        g_waveFadeIn[e] = TruncSigned(b);
        if (a > 524288.0) {
            a = a - step;
            b = b + step;
            step = step + 128.0;
        }
    }
}

// Two-pole low-pass sections by the bilinear transform (K = w, damping D) for
// 32 resonance rows and 8,192 cutoffs, 64 per semitone from w = 0.004.
void BuildFilterCoefficients() {
    struct SetParams {
        double q;
        double g;
        int h;
        bool isA;
    };
    const SetParams sets[kFilterSets] = {
        {0.4, 0.5, 65, true},
        {0.64, 0.000001, 100, false},
    };
    for (int s = 0; s < kFilterSets; ++s) {
        const SetParams& params = sets[s];
        FilterCoefSet& set = g_filterCoefTables[s];
        for (int r = 0; r < kResonanceRows; ++r) {
            double w = 0.004;
            int m = 31 - r;
            double k = 1.0 - static_cast<double>(r * r) * 0.0005;
            double q = params.q;
            double g = params.g;
            for (int c = 0; c < kCutoffEntries; ++c) {
                int j = c / 64;
                double damping = ((m * 0.002081165452653) * m) / 100.0 * (params.h - j / 2) + q;
                if (r < 6) {
                    damping = (6 - r) * 0.3333 + damping;
                }
                double w2 = w * w;
                double n = (damping * w + 1.0) + w2;
                set.gain[r][c] = TruncSigned(((268435456.0 * (w2 / n)) * k) * g);
                set.feedback1[r][c] = TruncSigned(1073741824.0 * (2.0 * (1.0 - w2) / n));
                set.feedback2[r][c] = TruncSigned(1073741824.0 * -(((1.0 - damping * w) + w2) / n));
                w = w * 1.000902942799;
                if (params.isA) {
                    q = q * 0.9993;
                } else if (j < 95) {
                    q = q * 0.99955;
                } else {
                    q = (1.0 - q) * 0.0005 + q;
                }
                if (g < 1.0) {
                    g = g * (params.isA ? 1.001 : 1.05);
                }
            }
        }
    }
    for (int r = 0; r < kResonanceRows; ++r) {
        g_resonanceGainTable[r] = TruncSigned((1.0 - static_cast<double>(r * r) * 0.0005) * 67108863.0);
    }
}

// Envelope shapes: value / divisor x level + 1, where the parabolas use
// (2^32 - 1) / 2,047^2 per p^2 and the lines (2^32 - 1) / 2,047.5 per step.
void BuildShapes() {
    constexpr double kParabola = 1025.00073266;
    constexpr double kLine = 2097664.124542;
    auto atLeast4 = [](uint32_t v) { return v < 4u ? 4u : v; };
    for (int k = 0; k < kShapeLevels; ++k) {
        for (int i = 0; i < kShapeEntries; ++i) {
            int p = 2047 - i;
            int p2 = p * p;
            g_shapeRiseCurve[k][i] = atLeast4(Trunc((4294967295.0 - p2 * kParabola) / 32.0 * k + 1.0));
            g_shapeFallCurve[k][i] = Trunc(p2 * kParabola / 31.0 * k + 1.0);
            g_shapeRiseLine[k][i] = atLeast4(Trunc(i * kLine / 32.0 * k + 1.0));
            g_shapeFallLine[k][i] = Trunc(std::max(2046 - i, 0) * kLine / 32.0 * k + 1.0);
        }
    }
}

// Knob 80 (fastest) down to 0: a geometric rate whose ratio itself grows by 3 %
// per knob step below 10.
void BuildKnobRates() {
    auto rates = [](uint32_t* table, double x, double ratio) {
        for (int knob = kKnobValues - 1; knob >= 0; --knob) {
            x = x * ratio;
            table[knob] = Trunc(x);
            if (knob < 10) {
                ratio = ratio * 1.03;
            }
        }
    };
    rates(g_attackRateTable, 10.0, 1.085);
    rates(g_decayRateTable, 8.0, 1.06);
    for (int n = 0; n < kKnobValues; ++n) {
        g_sustainLevelTable[n] = static_cast<uint32_t>(n) * 1599078u;
    }
}

void BuildMixerGains() {
    std::fill(std::begin(g_masterVolumeTable), std::end(g_masterVolumeTable), 0);
    for (int v = 0; v < kVolumeSettings; ++v) {
        int32_t full = v * v * 684784;
        g_masterVolumeTable[kMasterVolumePageEntries + v] = full;
        g_masterVolumeTable[v] = TruncSigned(0.6 * full);
        g_busVolumeTable[v] = full / 96;
    }
    for (int s = 0; s < kSendSettings; ++s) {
        g_sendLevelTable[s] = s * s * 1342177;
    }
    for (int p = 0; p < kPanSettings; ++p) {
        g_panTable[p] = 0x10000000 + p * 0x2666666;
    }
}

void BuildMeterAndLimiter() {
    // First amplitude >> 5 of meter steps 1..16.
    static constexpr int kStepStart[16] = {32,  48,  64,  96,  128,  192,  256,  384,
                                           512, 640, 768, 896, 1024, 1280, 1536, 1792};
    int step = 0;
    for (int i = 0; i < kMeterEntries; ++i) {
        while (step < 16 && i >= kStepStart[step]) {
            ++step;
        }
        g_meterLevelTable[i] = step;
    }

    // Piecewise linear: each segment i in [start, end) is base + (i - start) << shift.
    struct Segment {
        int start;
        int end;
        int32_t base;
        int shift;
    };
    static constexpr Segment kSegments[] = {
        {32, 64, 0, 25},
        {64, 128, 0x40000000, 23},
        {128, 256, 0x60000000, 21},
        {256, 512, 0x70000000, 19},
        {512, 1024, 0x78000000, 17},
        {1024, 2048, 0x7C000000, 15},
        {2048, 4096, 0x7E000000, 13},
        {4096, 8192, 0x7D000000, 11},
        {8192, 16384, 0x7D800000, 9},
    };
    std::fill(g_limiterGainTable, g_limiterGainTable + 32, 0);
    for (const Segment& seg : kSegments) {
        for (int i = seg.start; i < seg.end; ++i) {
            g_limiterGainTable[i] = seg.base + ((i - seg.start) << seg.shift);
        }
    }
}

}  // namespace

void BuildEngineTables() {
    BuildWaveforms();
    BuildLfoWaves();
    BuildPitchTables();
    BuildSampleSteps();
    BuildFmDepthAndFades();
    BuildFilterCoefficients();
    BuildShapes();
    BuildKnobRates();
    BuildMixerGains();
    BuildMeterAndLimiter();
    std::memset(&g_mixBuffer, 0, sizeof g_mixBuffer);
}
