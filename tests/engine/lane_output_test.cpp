// Eight-lane amplifier stage, filter and bus mix against the voice-by-voice steps
// (AmpStage, RenderFilter, MixVoiceToBus / MixFilterOff), word for word.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "engine/voice_output.h"
#include "shared/voice_state.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/random_words.h"

namespace {

// The words of LaneState in order, by field, for naming a mismatch.
struct FieldName {
    const char* name;
    int rows;
};
constexpr FieldName kStateFields[] = {
    {"osc1Phase", 1},     {"osc1Phase2", 1}, {"osc1History", 4}, {"osc1History2", 4},
    {"osc1SyncMask", 1},  {"osc1Out", 4},    {"osc2Phase", 1},   {"osc2History", 4},
    {"osc2Out", 4},       {"osc3Phase", 1},  {"osc3History", 4}, {"osc3Out", 4},
    {"voiceOut", 4},      {"filterMem", 6},  {"voiceGainPrev", 1},
};
constexpr int kStateRows = 44;
static_assert(sizeof(LaneState) == sizeof(uint32_t) * kLanes * kStateRows);

std::string WordName(int row) {
    for (const FieldName& f : kStateFields) {
        if (row < f.rows) return std::string(f.name) + "[" + std::to_string(row) + "]";
        row -= f.rows;
    }
    return "?";
}

class Gen : public RandomWords {
public:
    using RandomWords::RandomWords;
    // Any 32-bit word, the range ends and their neighbours often.
    uint32_t Word() {
        static constexpr uint32_t kEdges[] = {0,          1,          0xFFFFFFFF, 0x7FFFFFFF, 0x80000000,
                                              0x80000001, 0x40000000, 0xC0000000, 0x7E000000, 0x3FFFFFFF};
        if (OneIn(4)) return Pick(kEdges);
        if (OneIn(3)) return U() >> Below(32);
        return U();
    }
    int32_t Signed() { return static_cast<int32_t>(Word()); }
};

// What one lane's row asks for: the variants the lane code chooses between.
struct Kind {
    uint32_t osc2Wave, osc3Wave, ring;
    int32_t filterType;
    bool driven;
};

Kind RandomKind(Gen& g) {
    static constexpr int32_t kTypes[] = {0, 1, 2, 3, 4, 5, 6, -1, INT32_MIN, 1000};
    return {g.Below(5), g.Below(5), g.OneIn(2) ? 0u : g.Word() | 1u,
            kTypes[g.Below(g.OneIn(4) ? std::size(kTypes) : 6)], g.OneIn(2)};
}

void FillLane(Gen& g, LaneRow& row, int l, const Kind& k) {
    row.osc2Wave[l] = k.osc2Wave;
    row.osc3Wave[l] = k.osc3Wave;
    row.osc2RingMod[l] = k.ring;
    row.osc2Volume[l] = g.Word();
    row.osc3Volume[l] = g.Word();
    row.ampEnv[l] = g.Word();
    row.ampEnvPrev[l] = g.OneIn(3) ? row.ampEnv[l] : g.Word();
    row.filterType[l] = k.filterType;
    row.resonance[l] = g.OneIn(2) ? static_cast<int32_t>(g.Below(32)) : g.Signed();
    row.filterCutoff[l] = g.OneIn(2) ? g.Below(8192) : g.Word();
    // Drive: the knob's range and its knee, and larger words.
    static constexpr uint32_t kDrives[] = {1, 0x8FFFFF, 0x900000, 0x1400000, 0x1A00000, 0x1A00002, 0xFFFFFFFF};
    row.drive[l] = !k.driven ? 0 : g.OneIn(3) ? kDrives[g.Below(std::size(kDrives))]
                               : g.OneIn(2) ? 1 + g.Below(0x1400000)
                                            : g.Word() | 1;
    row.voiceGain[l] = g.Word();
    row.bus[l] = g.Below(8);
}

void FillState(Gen& g, LaneState& s) {
    uint32_t* w = reinterpret_cast<uint32_t*>(&s);
    for (size_t i = 0; i < sizeof(LaneState) / sizeof(uint32_t); ++i) w[i] = g.Word();
}

// The voice-by-voice steps on one lane: state and row in, state and bus addends
// written back into `s` and `add`.
void ReferenceLane(LaneState& s, const LaneRow& row, int l, int32_t add[4]) {
    VoiceState vs{};
    for (int i = 0; i < 4; ++i) {
        vs.osc1Out[i] = s.osc1Out[i][l];
        vs.osc2Out[i] = s.osc2Out[i][l];
        vs.osc3Out[i] = s.osc3Out[i][l];
        vs.voiceOut[i] = s.voiceOut[i][l];
    }
    int32_t* const mem[6] = {&vs.filterMem1Y1, &vs.filterMem1Y2, &vs.filterMem2Y1,
                             &vs.filterMem2Y2, &vs.filterMem3Y1, &vs.filterMem3Y2};
    for (int m = 0; m < 6; ++m) *mem[m] = s.filterMem[m][l];
    vs.voiceGainPrev = s.voiceGainPrev[l];
    vs.osc2Wave = row.osc2Wave[l];
    vs.osc3Wave = row.osc3Wave[l];
    vs.osc2RingMod = row.osc2RingMod[l];
    vs.osc2Volume = row.osc2Volume[l];
    vs.osc3Volume = row.osc3Volume[l];
    vs.ampEnv = row.ampEnv[l];
    vs.ampEnvPrev = row.ampEnvPrev[l];
    vs.filterType = row.filterType[l];
    vs.resonance = row.resonance[l];
    vs.filterCutoff = row.filterCutoff[l];
    vs.drive = row.drive[l];
    vs.voiceGain = row.voiceGain[l];
    vs.bus = row.bus[l];

    int32_t bus[4] = {0};
    AmpStage(vs);
    if (vs.filterType != 0) {
        RenderFilter(vs);
        MixVoiceToBus(vs, bus);
    } else {
        MixFilterOff(vs, bus);
    }

    for (int i = 0; i < 4; ++i) {
        s.osc1Out[i][l] = vs.osc1Out[i];
        s.osc2Out[i][l] = vs.osc2Out[i];
        s.osc3Out[i][l] = vs.osc3Out[i];
        s.voiceOut[i][l] = vs.voiceOut[i];
        add[i] = bus[i];
    }
    for (int m = 0; m < 6; ++m) s.filterMem[m][l] = *mem[m];
    s.voiceGainPrev[l] = vs.voiceGainPrev;
}

class LaneOutputTest : public EngineTest {};

// Random rows in runs of six on one state, so that the filter memories and the
// voice-gain ramp carry from row to row; lanes of one row either share one kind
// (the common case the lane code runs without selection) or each take their own.
// Every state word and every addend must match the voice-by-voice steps; lanes
// outside `active` must keep their state and add 0.
TEST_F(LaneOutputTest, MatchesVoiceByVoiceStepsWordForWord) {
    if (!VoiceLanesSupported()) GTEST_SKIP() << "no AVX2";
    Gen g(20240611);
    int mismatches = 0;
    constexpr int kRuns = 7000;
    for (int run = 0; run < kRuns && mismatches < 10; ++run) {
        LaneState lanes;
        FillState(g, lanes);
        if (g.OneIn(2)) {
            // Filter memories a filter would hold: small enough to stay in range.
            for (auto& m : lanes.filterMem)
                for (auto& w : m) w >>= g.Below(12);
        }
        LaneState expected = lanes;
        LaneRow row{};
        for (int r = 0; r < 6 && mismatches < 10; ++r) {
            const uint32_t pick = g.Below(8);
            row.active = pick == 0 ? 0u : pick <= 4 ? 0xFFu : g.Below(256);
            const bool shared = g.OneIn(2);
            const Kind common = RandomKind(g);
            // Half the rows after the first keep the filter words of the row
            // before, as a held note with its filter settled does.
            const LaneRow before = row;
            for (int l = 0; l < kLanes; ++l) FillLane(g, row, l, shared ? common : RandomKind(g));
            if (r > 0 && g.OneIn(2)) {
                std::memcpy(row.filterType, before.filterType, sizeof row.filterType);
                std::memcpy(row.resonance, before.resonance, sizeof row.resonance);
                std::memcpy(row.filterCutoff, before.filterCutoff, sizeof row.filterCutoff);
            }
            // New oscillator outputs for this row; the rest of the state carries.
            for (int i = 0; i < 4; ++i)
                for (int l = 0; l < kLanes; ++l) {
                    lanes.osc1Out[i][l] = expected.osc1Out[i][l] = g.Signed();
                    lanes.osc2Out[i][l] = expected.osc2Out[i][l] = g.Signed();
                    lanes.osc3Out[i][l] = expected.osc3Out[i][l] = g.Signed();
                }

            int32_t expectedAdd[4][kLanes] = {};
            for (int l = 0; l < kLanes; ++l) {
                if ((row.active >> l & 1) == 0) continue;
                int32_t add[4];
                ReferenceLane(expected, row, l, add);
                for (int i = 0; i < 4; ++i) expectedAdd[i][l] = add[i];
            }
            LaneMix mix;
            std::memset(&mix, 0x5A, sizeof mix);
            LaneOutput(lanes, row, mix);

            const auto* got = reinterpret_cast<const uint32_t(*)[kLanes]>(&lanes);
            const auto* want = reinterpret_cast<const uint32_t(*)[kLanes]>(&expected);
            for (int l = 0; l < kLanes; ++l) {
                const std::string where = "run " + std::to_string(run) + " row " + std::to_string(r) +
                                          " lane " + std::to_string(l) + " active " +
                                          std::to_string(row.active >> l & 1) + " type " +
                                          std::to_string(row.filterType[l]) + " waves " +
                                          std::to_string(row.osc2Wave[l]) + "," +
                                          std::to_string(row.osc3Wave[l]) + " drive " +
                                          std::to_string(row.drive[l]) + ": ";
                for (int w = 0; w < kStateRows; ++w) {
                    if (got[w][l] == want[w][l]) continue;
                    ++mismatches;
                    ADD_FAILURE() << where << WordName(w) << " = " << got[w][l] << ", expected " << want[w][l];
                }
                for (int i = 0; i < 4; ++i) {
                    if (mix.add[i][l] == expectedAdd[i][l]) continue;
                    ++mismatches;
                    ADD_FAILURE() << where << "add[" << i << "] = " << mix.add[i][l] << ", expected "
                                  << expectedAdd[i][l];
                }
            }
        }
    }
}

}  // namespace
