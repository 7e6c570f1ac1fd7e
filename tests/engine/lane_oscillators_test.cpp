// Oscillators of eight voice lanes against the voice-by-voice oscillators: random
// lane states and rows (with edge values), several rows in a row so that phases,
// histories and sync bits carry, every lane compared word by word with
// RenderOscillator1/2/3 run on a voice holding that lane's state and inputs.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "engine/oscillators.h"
#include "engine/oscillators23.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "shared/voice_state.h"
#include "tests/engine/engine_fixture.h"

namespace {

class LaneOscillatorsTest : public EngineTest {
protected:
    std::mt19937 rng{20240611u};

    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng() % n); }
    // Any word, edge values often.
    uint32_t Word() {
        static const uint32_t kEdges[] = {0u,          1u,          0x3FFFFFFFu, 0x40000000u,
                                          0x7FFFFFFFu, 0x80000000u, 0xC0000000u, 0xFFFFFFFFu};
        return Below(4) == 0 ? kEdges[Below(8)] : static_cast<uint32_t>(rng());
    }
    int32_t Signed() { return static_cast<int32_t>(Word()); }
    uint32_t Pitch() {
        static const uint32_t kEdges[] = {0u, 0x17FFu, 0x1800u, 0x7DFFu, 0x7E00u, 0x9800u};
        return Below(5) == 0 ? kEdges[Below(6)] : Below(0x9801);
    }
    uint32_t Osc1Wave() {
        const uint32_t w = Below(6);
        return w < 4 ? w + 1 : (w == 4 ? 7 + Below(249) : 255);
    }

    void RandomState(LaneState& s) {
        uint32_t* w = reinterpret_cast<uint32_t*>(&s);
        for (size_t i = 0; i < sizeof(LaneState) / 4; ++i) w[i] = Word();
        for (int l = 0; l < kLanes; ++l) {
            // Mostly frame bits, sometimes none, sometimes higher bits too.
            const uint32_t k = Below(4);
            s.osc1SyncMask[l] = k == 0 ? 0 : (k == 1 ? Word() : Below(16));
        }
    }

    // A row: with `same`, all lanes share each oscillator's wave (the common
    // case); inactive lanes hold arbitrary words (a lane code reading a table
    // with them unclamped would fault or differ).
    void RandomRow(LaneRow& r, bool same, bool held) {
        // A held row keeps the pitch words of the row before (an active lane
        // takes only a valid one), as held notes do, and often its lanes; its
        // waves still change.
        const uint32_t before = r.active;
        uint32_t pitch[3][kLanes];
        std::memcpy(pitch[0], r.osc1Pitch, sizeof pitch[0]);
        std::memcpy(pitch[1], r.osc2Pitch, sizeof pitch[1]);
        std::memcpy(pitch[2], r.osc3Pitch, sizeof pitch[2]);
        uint32_t* w = reinterpret_cast<uint32_t*>(&r);
        for (size_t i = 0; i < sizeof(LaneRow) / 4; ++i) w[i] = static_cast<uint32_t>(rng());
        const uint32_t k = Below(8);
        r.active = k == 0 ? 0u : (k < 4 ? 0xFFu : Below(256));
        if (held && Below(2) == 0) r.active = before;
        const uint32_t w1 = Osc1Wave(), w2 = Below(5), w3 = Below(5);
        const bool fm = Below(3) != 0, sync = Below(3) != 0;
        for (int l = 0; l < kLanes; ++l) {
            if (!((r.active >> l) & 1)) continue;
            r.osc1Wave[l] = same ? w1 : Osc1Wave();
            r.osc2Wave[l] = same ? w2 : Below(5);
            r.osc3Wave[l] = same ? w3 : Below(5);
            r.osc1Pitch[l] = Pitch();
            r.osc2Pitch[l] = Pitch();
            r.osc3Pitch[l] = Pitch();
            r.osc1FmDepth[l] = (same ? fm : Below(2) != 0) ? Signed() : 0;
            r.osc1PulseOffset[l] = Word();
            r.osc2Sync[l] = (same ? sync : Below(2) != 0) ? (Below(2) ? 1u : Word() | 1u) : 0u;
        }
        if (held) {
            uint32_t* const now[3] = {r.osc1Pitch, r.osc2Pitch, r.osc3Pitch};
            for (int o = 0; o < 3; ++o)
                for (int l = 0; l < kLanes; ++l)
                    if (!((r.active >> l) & 1) || pitch[o][l] <= 0x9800u) now[o][l] = pitch[o][l];
        }
    }
};

// The state words of a lane, by field name.
struct Field {
    const char* name;
    size_t offset;  // of [0][0] in LaneState
    int rows;       // [rows][kLanes]
};
#define LANE_FIELD(f, n) Field{#f, offsetof(LaneState, f), n}
const Field kFields[] = {
    LANE_FIELD(osc1Phase, 1),   LANE_FIELD(osc1Phase2, 1),  LANE_FIELD(osc1History, 4),
    LANE_FIELD(osc1History2, 4), LANE_FIELD(osc1SyncMask, 1), LANE_FIELD(osc1Out, 4),
    LANE_FIELD(osc2Phase, 1),   LANE_FIELD(osc2History, 4), LANE_FIELD(osc2Out, 4),
    LANE_FIELD(osc3Phase, 1),   LANE_FIELD(osc3History, 4), LANE_FIELD(osc3Out, 4),
    LANE_FIELD(voiceOut, 4),    LANE_FIELD(filterMem, 6),   LANE_FIELD(voiceGainPrev, 1),
};
#undef LANE_FIELD

uint32_t& StateWord(LaneState& s, const Field& f, int row, int lane) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(&s) + f.offset)[row * kLanes + lane];
}

// Oscillator words of lane l <-> a voice record.
void ToVoice(LaneState& s, int l, VoiceState& vs) {
    vs.osc1Phase = s.osc1Phase[l];
    vs.osc1Phase2 = s.osc1Phase2[l];
    vs.osc1SyncMask = s.osc1SyncMask[l];
    vs.osc2Phase = s.osc2Phase[l];
    vs.osc3Phase = s.osc3Phase[l];
    for (int i = 0; i < 4; ++i) {
        vs.osc1History[i] = s.osc1History[i][l];
        vs.osc1History2[i] = s.osc1History2[i][l];
        vs.osc1Out[i] = s.osc1Out[i][l];
        vs.osc2History[i] = s.osc2History[i][l];
        vs.osc2Out[i] = s.osc2Out[i][l];
        vs.osc3History[i] = s.osc3History[i][l];
        vs.osc3Out[i] = s.osc3Out[i][l];
    }
}
void FromVoice(const VoiceState& vs, LaneState& s, int l) {
    s.osc1Phase[l] = vs.osc1Phase;
    s.osc1Phase2[l] = vs.osc1Phase2;
    s.osc1SyncMask[l] = vs.osc1SyncMask;
    s.osc2Phase[l] = vs.osc2Phase;
    s.osc3Phase[l] = vs.osc3Phase;
    for (int i = 0; i < 4; ++i) {
        s.osc1History[i][l] = vs.osc1History[i];
        s.osc1History2[i][l] = vs.osc1History2[i];
        s.osc1Out[i][l] = vs.osc1Out[i];
        s.osc2History[i][l] = vs.osc2History[i];
        s.osc2Out[i][l] = vs.osc2Out[i];
        s.osc3History[i][l] = vs.osc3History[i];
        s.osc3Out[i][l] = vs.osc3Out[i];
    }
}

// What the voice-by-voice code leaves in the lanes of row.active.
void Reference(LaneState& s, const LaneRow& row) {
    for (int l = 0; l < kLanes; ++l) {
        if (!((row.active >> l) & 1)) continue;
        VoiceState vs{};
        ToVoice(s, l, vs);
        vs.osc1Wave = row.osc1Wave[l];
        vs.osc1Pitch = row.osc1Pitch[l];
        vs.osc1FmDepth = row.osc1FmDepth[l];
        vs.osc1PulseOffset = row.osc1PulseOffset[l];
        vs.osc2Wave = row.osc2Wave[l];
        vs.osc2Pitch = row.osc2Pitch[l];
        vs.osc2Sync = row.osc2Sync[l];
        vs.osc3Wave = row.osc3Wave[l];
        vs.osc3Pitch = row.osc3Pitch[l];
        RenderOscillator1(vs);
        if (RenderOscillator2(vs)) RenderOscillator3(vs);
        FromVoice(vs, s, l);
    }
}

std::string Describe(const LaneRow& r, int l) {
    return "waves " + std::to_string(r.osc1Wave[l]) + "/" + std::to_string(r.osc2Wave[l]) + "/" +
           std::to_string(r.osc3Wave[l]) + " fm " + std::to_string(r.osc1FmDepth[l]) + " osc2Sync " +
           std::to_string(r.osc2Sync[l]) + " active " + std::to_string(r.active);
}

TEST_F(LaneOscillatorsTest, EveryLaneMatchesTheVoiceOscillatorsWordForWord) {
    if (!VoiceLanesSupported()) GTEST_SKIP() << "no AVX2";
    constexpr int kGroups = 8000;
    constexpr int kRows = 8;
    LaneState s, expected;
    LaneRow row{};
    int failures = 0;
    for (int g = 0; g < kGroups && failures < 10; ++g) {
        RandomState(s);
        for (int r = 0; r < kRows && failures < 10; ++r) {
            RandomRow(row, g % 2 == 0, r > 0 && g % 3 != 0);
            std::memcpy(&expected, &s, sizeof s);
            Reference(expected, row);
            LaneOscillators(s, row);
            for (const Field& f : kFields)
                for (int i = 0; i < f.rows; ++i)
                    for (int l = 0; l < kLanes; ++l) {
                        const uint32_t want = StateWord(expected, f, i, l);
                        const uint32_t got = StateWord(s, f, i, l);
                        if (got == want) continue;
                        ADD_FAILURE() << "group " << g << " row " << r << " lane " << l << " " << f.name << "[" << i
                                      << "]: " << got << " != " << want << " (" << Describe(row, l) << ")";
                        ++failures;
                    }
            // Continue from the reference so one fault does not cascade.
            std::memcpy(&s, &expected, sizeof s);
        }
    }
}

}  // namespace
