// The chunk rows of one lane group and their run (see voice_lanes.h).
//
// While the voice loop runs the control of a group's voices, each chunk whose
// signal part the lanes can compute is recorded in the row of its chunk frame
// (row k: the k-th chunk frame of the call). A chunk the lanes cannot compute
// runs at once, after the voice's recorded chunks (the flush). Control code
// that writes a voice's signal state (the note start, a filter-type change)
// flushes that voice first. When the group's last voice has run its control,
// the rows run in order for all lanes, and every lane's state goes back to its
// voice.
#include "engine/voice_lanes.h"
#include "engine/voice_output.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "shared/mix_buffer.h"
#include "shared/voice_state.h"

namespace lane_queue {

RowRecords g_records[kMaxRows];
uint32_t g_rowActive[kMaxRows];
uint32_t g_rowPos[kMaxRows];
uint32_t g_firstChunkFrame = 0;
int g_groupBase = 0;
uint32_t g_pendingLanes = 0;
uint32_t g_rowsEnd = 0;

}  // namespace lane_queue

namespace {

using namespace lane_queue;

LaneRow g_row;
LaneState g_laneState;
LaneMix g_laneMix;

bool g_lanesOn = VoiceLanesSupported();

// A record's inputs back into the voice (the layout is checked in voice_lanes.h).
[[gnu::always_inline]] inline void TakeInputs(VoiceState& vs, const ChunkInputs& r) {
    std::memcpy(&vs.osc1Wave, &r, sizeof r);
}

template <typename T, typename U>
void In4(T (&lane)[4][kLanes], int l, const U (&v)[4]) {
    for (int i = 0; i < 4; ++i) lane[i][l] = static_cast<T>(v[i]);
}
template <typename T, typename U>
void Out4(U (&v)[4], const T (&lane)[4][kLanes], int l) {
    for (int i = 0; i < 4; ++i) v[i] = static_cast<U>(lane[i][l]);
}

void LoadLane(LaneState& s, int l, const VoiceState& vs) {
    s.osc1Phase[l] = vs.osc1Phase;
    s.osc1Phase2[l] = vs.osc1Phase2;
    In4(s.osc1History, l, vs.osc1History);
    In4(s.osc1History2, l, vs.osc1History2);
    s.osc1SyncMask[l] = vs.osc1SyncMask;
    In4(s.osc1Out, l, vs.osc1Out);
    s.osc2Phase[l] = vs.osc2Phase;
    In4(s.osc2History, l, vs.osc2History);
    In4(s.osc2Out, l, vs.osc2Out);
    s.osc3Phase[l] = vs.osc3Phase;
    In4(s.osc3History, l, vs.osc3History);
    In4(s.osc3Out, l, vs.osc3Out);
    In4(s.voiceOut, l, vs.voiceOut);
    s.filterMem[0][l] = vs.filterMem1Y1;
    s.filterMem[1][l] = vs.filterMem1Y2;
    s.filterMem[2][l] = vs.filterMem2Y1;
    s.filterMem[3][l] = vs.filterMem2Y2;
    s.filterMem[4][l] = vs.filterMem3Y1;
    s.filterMem[5][l] = vs.filterMem3Y2;
    s.voiceGainPrev[l] = vs.voiceGainPrev;
}

void StoreLane(VoiceState& vs, const LaneState& s, int l) {
    vs.osc1Phase = s.osc1Phase[l];
    vs.osc1Phase2 = s.osc1Phase2[l];
    Out4(vs.osc1History, s.osc1History, l);
    Out4(vs.osc1History2, s.osc1History2, l);
    vs.osc1SyncMask = s.osc1SyncMask[l];
    Out4(vs.osc1Out, s.osc1Out, l);
    vs.osc2Phase = s.osc2Phase[l];
    Out4(vs.osc2History, s.osc2History, l);
    Out4(vs.osc2Out, s.osc2Out, l);
    vs.osc3Phase = s.osc3Phase[l];
    Out4(vs.osc3History, s.osc3History, l);
    Out4(vs.osc3Out, s.osc3Out, l);
    Out4(vs.voiceOut, s.voiceOut, l);
    vs.filterMem1Y1 = s.filterMem[0][l];
    vs.filterMem1Y2 = s.filterMem[1][l];
    vs.filterMem2Y1 = s.filterMem[2][l];
    vs.filterMem2Y2 = s.filterMem[3][l];
    vs.filterMem3Y1 = s.filterMem[4][l];
    vs.filterMem3Y2 = s.filterMem[5][l];
    vs.voiceGainPrev = s.voiceGainPrev[l];
}

}  // namespace

// Runs voice v's recorded chunks voice by voice, in order, and takes them out of
// their rows.
void lane_queue::FlushLane(int v) {
    const int l = v - g_groupBase;
    if (l < 0 || l >= kLanes || ((g_pendingLanes >> l) & 1u) == 0) return;
    VoiceState& vs = g_voiceState[v];
    ChunkInputs saved;
    RecordInputs(saved, vs);
    const uint32_t bit = 1u << l;
    for (uint32_t k = 0; k < g_rowsEnd; ++k) {
        if ((g_rowActive[k] & bit) == 0) continue;
        g_rowActive[k] &= ~bit;
        TakeInputs(vs, g_records[k].lane[l]);
        VoiceChunkSignal(vs, VoiceBusWords(vs, g_rowPos[k]));
    }
    TakeInputs(vs, saved);
    g_pendingLanes &= ~bit;
}

void UseVoiceLanes(bool on) { g_lanesOn = on && VoiceLanesSupported(); }

bool VoiceLanesInUse() { return g_lanesOn; }

void BeginLaneGroup(int firstVoice, uint32_t masterChunkPhase, uint32_t frames) {
    g_groupBase = firstVoice;
    // A voice's chunk frame is the one in which its chunk phase, started at the
    // master's, comes round to 0.
    g_firstChunkFrame = (3u - masterChunkPhase) & 3u;
    // Rows of the chunk frames g_firstChunkFrame, + 4, ... below `frames`.
    g_rowsEnd = frames > g_firstChunkFrame ? (frames - g_firstChunkFrame + 3) / 4 : 0;
    g_pendingLanes = 0;
}

void lane_queue::ChunkAtOnce(int v, uint32_t pos) {
    FlushLane(v);
    VoiceState& vs = g_voiceState[v];
    VoiceChunkSignal(vs, VoiceBusWords(vs, pos));
}

void FlushVoiceSignal(const VoiceState& vs) {
    // Only the engine's own voices have chunks waiting (compared as addresses:
    // a record elsewhere is not part of the array).
    const auto address = reinterpret_cast<std::uintptr_t>(&vs);
    const auto first = reinterpret_cast<std::uintptr_t>(&g_voiceState[0]);
    if (address < first || address >= first + sizeof g_voiceState) return;
    FlushLane(static_cast<int>((address - first) / sizeof(VoiceState)));
}

void RunLaneGroup() {
    const uint32_t lanes = g_pendingLanes;
    if (lanes == 0) return;
    for (uint32_t bits = lanes; bits != 0; bits &= bits - 1) {
        const int l = __builtin_ctz(bits);
        LoadLane(g_laneState, l, g_voiceState[g_groupBase + l]);
    }
    LaneRow& r = g_row;
    for (uint32_t k = 0; k < g_rowsEnd; ++k) {
        if (g_rowActive[k] == 0) continue;
        LaneInputs(g_records[k].lane, r);
        r.active = g_rowActive[k];
        r.pos = g_rowPos[k];
        LaneOscillators(g_laneState, r);
        LaneOutput(g_laneState, r, g_laneMix);
        LaneAddToBuses(g_laneMix, r.active, r.bus, g_mixBuffer.row[r.pos]);
        g_rowActive[k] = 0;
    }
    for (uint32_t bits = lanes; bits != 0; bits &= bits - 1) {
        const int l = __builtin_ctz(bits);
        StoreLane(g_voiceState[g_groupBase + l], g_laneState, l);
    }
    g_pendingLanes = 0;
}

bool VoiceLanesSupported() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();  // may run before main, from a static initialiser
    static const bool supported = __builtin_cpu_supports("avx2") != 0;
    return supported;
#else
    return false;
#endif
}
