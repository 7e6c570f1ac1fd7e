// Lookup tables of the render engine.
//
// BuildEngineTables fills every table once at start-up, before the first render
// call, and zeroes g_mixBuffer; afterwards the tables are read-only. All tables
// are computed in IEEE double in a fixed order and truncated toward zero; the
// render path itself does no floating point.
//
// Numeric contract:
// - Waveforms, 8,192 entries indexed by phase >> 19 (one period): g_sineTable
//   full scale +-2^30, g_oscSineTable +-0.625 x 2^30, g_triangleTable
//   +-2,147,481,600 (0 at 0, peak at 2,048, trough at 6,144).
// - g_lfoWaveTables: three 1,024-entry waves scaled to 2^31 - 1, wave s (1..3)
//   at (s - 1) x 1,024 + (phase >> 22): 1 sine, 2 ramp, 3 square with sloped
//   edges.
// - Pitch tables, 45,056 entries indexed by the pitch index (1/256 semitone;
//   6,144 = C0 = 16.3516 Hz; the voices use 0..38,912). Row r = 256 entries lies
//   r - 24 semitones above C0. g_phaseStepTable, g_osc23StepTable,
//   g_feedbackCurve and g_pitchCurveA/B/C hold 128 computed rows from C0 up,
//   clamped at both ends (constant below 6,144 and above 37,887).
//   g_phaseStepTable: 32-bit phase increment per frame at 44,100 Hz (2^32 = one
//   cycle). g_sampleStepHigh/Low: 32.32 sample step, 2^((p - 18,432) / 3,072)
//   frames per frame, truncated. g_fmDepthCurve, g_waveFadeOut/In,
//   g_pitchCurveA/B: Q31 factors; g_waveFadeOut + g_waveFadeIn = 0x7FFFFFFF.
//   g_feedbackCurve is 0 or negative.
// - g_filterCoefTables[kFilterSetA / kFilterSetB]: two-pole low-pass
//   coefficients, [resonance row 0..31][cutoff entry 0..8,191 in 1/64 semitone
//   from about 56 Hz]: gain Q28, feedback1 and feedback2 Q30.
//   g_resonanceGainTable: per resonance row, (1 - 0.0005 row^2) x (2^26 - 1).
// - g_shapeTables: four envelope segment shapes, [level 0..31][position
//   0..2,047], unsigned with full scale 2^32, each row scaled by level / 32
//   (g_shapeFallCurve by level / 31). The rising shapes are at least 4.
// - g_knobRateTables: per knob value 0..80, envelope attack and decay/release
//   phase steps per chunk, and sustain levels (n x 1,599,078).
// - Mixer gains, Q31: g_masterVolumeTable page (0 EQ off, 1 EQ on) x 64 +
//   volume 0..56; g_busVolumeTable[0..56]; g_sendLevelTable[0..40];
//   g_panTable[0..40] (right share, 0.125 .. 0.875).
// - g_meterLevelTable: amplitude >> 5 (0..16,383) to meter step 0..16.
// - g_limiterGainTable: detector value 0..16,383 to a piecewise-linear gain
//   below 2^31.
#pragma once

#include <cstdint>

inline constexpr int kWaveEntries = 8192;          // one period, phase >> 19
inline constexpr int kLfoWaves = 3;
inline constexpr int kLfoWaveEntries = 1024;       // one period, phase >> 22
inline constexpr int kPitchRowEntries = 256;       // one semitone
inline constexpr int kPitchRows = 176;
inline constexpr int kPitchEntries = 45056;        // kPitchRows x kPitchRowEntries
inline constexpr int kPitchBuiltEntries = 32768;   // 128 rows from C0 up
inline constexpr int kPitchShift = 6144;           // pitch index of C0
inline constexpr int kPitchMax = 38912;            // highest pitch index the voices use
inline constexpr int kOsc23StepPoints = 103;
inline constexpr int kPitchCurvePoints = 106;
inline constexpr int kResonanceRows = 32;
inline constexpr int kCutoffEntries = 8192;        // 1/64 semitone each
inline constexpr int kFilterSets = 2;
inline constexpr int kFilterSetA = 0;
inline constexpr int kFilterSetB = 1;
inline constexpr int kShapeCount = 4;
inline constexpr int kShapeLevels = 32;
inline constexpr int kShapeEntries = 2048;
inline constexpr int kShapeRiseCurve = 0;
inline constexpr int kShapeFallCurve = 1;
inline constexpr int kShapeRiseLine = 2;
inline constexpr int kShapeFallLine = 3;
inline constexpr int kKnobRateTables = 3;
inline constexpr int kKnobValues = 81;             // knob 0..80
inline constexpr int kMasterVolumePages = 2;
inline constexpr int kMasterVolumePageEntries = 64;
inline constexpr int kVolumeSettings = 57;         // volume 0..56
inline constexpr int kSendSettings = 41;           // send 0..40
inline constexpr int kPanSettings = 41;            // pan 0..40
inline constexpr int kMeterEntries = 16384;
inline constexpr int kLimiterEntries = 16384;

// Waveforms.
extern int32_t g_sineTable[kWaveEntries];
extern int32_t g_oscSineTable[kWaveEntries];
extern int32_t g_triangleTable[kWaveEntries];
extern int32_t g_lfoWaveTables[kLfoWaves * kLfoWaveEntries];

// Pitch-indexed tables.
extern uint32_t g_phaseStepTable[kPitchEntries];
extern uint32_t g_osc23StepTable[kPitchEntries];
extern int32_t g_feedbackCurve[kPitchEntries];
extern uint32_t g_sampleStepLow[kPitchEntries];   // fraction of the 32.32 step
extern uint32_t g_sampleStepHigh[kPitchEntries];  // whole frames of the 32.32 step
extern int32_t g_pitchCurveA[kPitchEntries];
extern int32_t g_pitchCurveB[kPitchEntries];
extern int32_t g_pitchCurveC[kPitchEntries];
extern int32_t g_fmDepthCurve[kPitchEntries];
extern int32_t g_waveFadeOut[kPitchEntries];
extern int32_t g_waveFadeIn[kPitchEntries];

// Breakpoints, one per semitone from C0, of g_osc23StepTable and g_pitchCurveC.
extern const uint32_t g_osc23StepPoints[kOsc23StepPoints];
extern const uint32_t g_pitchCurvePoints[kPitchCurvePoints];

// Voice filter coefficients.
struct FilterCoefSet {
    int32_t gain[kResonanceRows][kCutoffEntries];       // Q28 input gain
    int32_t feedback1[kResonanceRows][kCutoffEntries];  // Q30, times the last output
    int32_t feedback2[kResonanceRows][kCutoffEntries];  // Q30, times the output before it
};
extern FilterCoefSet g_filterCoefTables[kFilterSets];
extern int32_t g_resonanceGainTable[kResonanceRows];

// Envelope segment shapes, [shape][level][position].
extern uint32_t g_shapeTables[kShapeCount][kShapeLevels][kShapeEntries];
inline constexpr auto& g_shapeRiseCurve = g_shapeTables[kShapeRiseCurve];
inline constexpr auto& g_shapeFallCurve = g_shapeTables[kShapeFallCurve];
inline constexpr auto& g_shapeRiseLine = g_shapeTables[kShapeRiseLine];
inline constexpr auto& g_shapeFallLine = g_shapeTables[kShapeFallLine];

// Knob value to envelope rate and sustain level.
extern uint32_t g_knobRateTables[kKnobRateTables][kKnobValues];
inline constexpr auto& g_attackRateTable = g_knobRateTables[0];
inline constexpr auto& g_decayRateTable = g_knobRateTables[1];  // decay and release
inline constexpr auto& g_sustainLevelTable = g_knobRateTables[2];

// Mixer gains.
extern int32_t g_masterVolumeTable[kMasterVolumePages * kMasterVolumePageEntries];
extern int32_t g_busVolumeTable[kVolumeSettings];
extern int32_t g_sendLevelTable[kSendSettings];
extern int32_t g_panTable[kPanSettings];

// Meter scale and limiter curve.
extern int32_t g_meterLevelTable[kMeterEntries];
extern int32_t g_limiterGainTable[kLimiterEntries];

// Fills every table above and zeroes g_mixBuffer. Deterministic: calling it
// again gives the same contents.
void BuildEngineTables();
