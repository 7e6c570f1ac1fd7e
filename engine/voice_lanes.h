// Voice audio of eight voices side by side.
//
// The voice loop runs a voice's control (events, sequencer, note start, control
// tick, chunk step, and the per-chunk envelope steps) frame by frame, as always.
// The rest of a chunk, the signal part (oscillators, amplifier stage, filter and
// the mix into the bus), depends only on the voice's own signal state and on the
// inputs the control part set for that chunk; the control part never reads the
// signal state back. So the signal part of up to eight voices (a lane group:
// voices 8g .. 8g + 7) can wait until their control has run for the whole call,
// and then run for all of them at once, one chunk row after the other, each lane
// with the inputs recorded for it in that row. Wrapping additions into the bus
// words commute, so the mix row receives exactly what the voice-by-voice order
// gives.
//
// Numeric contract: identical to the scalar chunk (voice_audio.cpp and the stage
// headers), bit for bit, for every input a row may hold. A lane whose chunk uses
// a wave the lanes do not compute (noise or sample on any oscillator, or
// oscillator 2 or 3 selectors other than 0..4) is never recorded: its voice
// runs that chunk on its own, at once, after the chunks it has waiting.
//
// Layout: every per-lane word is an array of eight (lane l = voice 8g + l), so
// one 256-bit load takes a field of all lanes.
#pragma once

#include <cstddef>
#include <cstdint>

#include <emmintrin.h>

#include "engine/voice_output.h"
#include "shared/constants.h"
#include "shared/voice_state.h"

inline constexpr int kLanes = 8;

// The inputs of one chunk row: the chunk step's and envelope steps' results for
// each lane whose bit is set in `active`, as the scalar chunk would read them
// from the voice. Lanes whose bit is clear hold values of an earlier row or 0;
// the lane code computes them anyway and must neither store their results nor
// read outside a table with them.
struct alignas(32) LaneRow {
    uint32_t osc1Wave[kLanes];       // 1..4, or 7..255 (plays as 1)
    uint32_t osc1Pitch[kLanes];      // pitch index
    int32_t osc1FmDepth[kLanes];     // Q31
    uint32_t osc1PulseOffset[kLanes];
    uint32_t osc2Wave[kLanes];       // 0..4
    uint32_t osc2Pitch[kLanes];
    uint32_t osc2Sync[kLanes];       // non-zero: sync bits for oscillator 1
    uint32_t osc2RingMod[kLanes];    // non-zero: ring modulation
    uint32_t osc2Volume[kLanes];     // Q31
    uint32_t osc3Wave[kLanes];       // 0..4 (only read when osc2Wave is not 0)
    uint32_t osc3Pitch[kLanes];
    uint32_t osc3Volume[kLanes];     // Q31
    uint32_t ampEnv[kLanes];         // Q31, this chunk
    uint32_t ampEnvPrev[kLanes];     // Q31, the chunk before
    int32_t filterType[kLanes];      // 0 off, 1..5, any other value plays as 1
    int32_t resonance[kLanes];       // row, taken modulo 32
    uint32_t filterCutoff[kLanes];   // entry, held at 8,191
    uint32_t drive[kLanes];
    uint32_t voiceGain[kLanes];
    uint32_t bus[kLanes];            // taken modulo 8
    uint32_t active;                 // bit l: lane l has a chunk in this row
    uint32_t pos;                    // period position of the row's chunk frame
};

// The inputs of one voice's chunk, recorded when its control part has run: the
// contiguous block of VoiceState from osc1Wave to bus, word for word.
struct ChunkInputs {
    uint32_t osc1Wave, osc1Pitch;
    int32_t osc1FmDepth;
    uint32_t osc1PulseOffset;
    uint32_t osc2Wave, osc2Pitch, osc2Sync, osc2RingMod, osc2Volume;
    uint32_t osc3Wave, osc3Pitch, osc3Volume;
    uint32_t ampEnv, ampEnvPrev;
    int32_t filterType, resonance;
    uint32_t filterCutoff, drive, voiceGain, bus;
};
inline constexpr int kChunkInputWords = sizeof(ChunkInputs) / 4;

// The signal state of eight voices, lane by lane; the fields of VoiceState of
// the same names. [i][l]: frame (or history entry, or memory word) i of lane l.
struct alignas(32) LaneState {
    uint32_t osc1Phase[kLanes];
    uint32_t osc1Phase2[kLanes];
    int32_t osc1History[4][kLanes];
    int32_t osc1History2[4][kLanes];
    uint32_t osc1SyncMask[kLanes];
    int32_t osc1Out[4][kLanes];
    uint32_t osc2Phase[kLanes];
    int32_t osc2History[4][kLanes];
    int32_t osc2Out[4][kLanes];
    uint32_t osc3Phase[kLanes];
    int32_t osc3History[4][kLanes];
    int32_t osc3Out[4][kLanes];
    int32_t voiceOut[4][kLanes];
    int32_t filterMem[6][kLanes];    // filterMem1Y1, 1Y2, 2Y1, 2Y2, 3Y1, 3Y2
    uint32_t voiceGainPrev[kLanes];
};

// What one row adds into the bus words: [i][l] goes into word i (frame i of the
// chunk) of lane l's bus.
struct alignas(32) LaneMix {
    int32_t add[4][kLanes];
};

// True when this processor runs the lane code (AVX2); otherwise every chunk runs
// voice by voice.
bool VoiceLanesSupported();

// The signal part of one row for the lanes set in row.active; lanes not set keep
// their state unchanged. Available only where VoiceLanesSupported().
//   LaneOscillators: oscillators 1, 2 and 3 (osc1Out, osc2Out, osc3Out, phases,
//     histories, sync mask), as RenderOscillator1/2/3.
//   LaneOutput: ring modulation, amplifier stage, filter and the bus mix amounts
//     (voiceOut, filter memories, voiceGainPrev), as AmpStage, RenderFilter and
//     MixVoiceToBus or MixFilterOff; `mix` receives every lane's addends (those of
//     inactive lanes are 0).
void LaneOscillators(LaneState& s, const LaneRow& row);
// Fills row's per-lane inputs from the eight lanes' records (active and pos are
// left alone).
void LaneInputs(const ChunkInputs (&lanes)[kLanes], LaneRow& row);
// Adds each active lane's mix.add into the four words of its bus (bus[l] taken
// modulo 8) in `row`, a row of the mix buffer.
void LaneAddToBuses(const LaneMix& mix, uint32_t active, const uint32_t* bus, int32_t* row);
void LaneOutput(LaneState& s, const LaneRow& row, LaneMix& mix);

// The two halves of one voice's chunk as the voice-by-voice path runs them:
// the envelope steps and pulse-width sweep (VoiceChunkEnvelopes, inline in
// voice_output.h), then the signal part into `bus`, the four words of the
// voice's bus in the chunk's mix row (VoiceChunkSignal). The lanes compute the
// signal part of eight voices.
void VoiceChunkSignal(VoiceState& vs, int32_t* bus);
// The voice's four bus words in the mix row of period position pos.
int32_t* VoiceBusWords(const VoiceState& vs, uint32_t pos);

// The lane groups of a render call (render.cpp). Voices of a group run their
// control in voice order; each chunk then goes through VoiceChunkLater, which
// runs the envelope steps at once and records the signal part in the chunk's
// row, or runs it at once when the lanes cannot compute it. RunLaneGroup runs
// the recorded rows after the group's last voice.
//   UseVoiceLanes: on (where supported) or off; off: every chunk runs voice by
//   voice through RenderVoiceChunk. Set between calls only.
//   BeginLaneGroup: before the group's first voice; masterChunkPhase is the
//   master's chunk phase at the start of the call (the voices start from it),
//   frames the call's frames.
//   FlushVoiceSignal: runs the voice's recorded chunks now; control code calls it
//   before it writes the voice's signal state.
void UseVoiceLanes(bool on);
bool VoiceLanesInUse();
void BeginLaneGroup(int firstVoice, uint32_t masterChunkPhase, uint32_t frames);
inline void VoiceChunkLater(VoiceState& vs, int v, uint32_t f, uint32_t pos);
void FlushVoiceSignal(const VoiceState& vs);
void RunLaneGroup();

// The record of the current group's chunks (voice_lanes.cpp).
namespace lane_queue {

// Chunk frames of a call of at most kPeriodPositions frames.
inline constexpr int kMaxRows = kPeriodPositions / 4 + 1;

// Row k: the records of its lanes, which lanes have one, and its period position.
struct alignas(64) RowRecords {
    ChunkInputs lane[kLanes];
};
extern RowRecords g_records[kMaxRows];
extern uint32_t g_rowActive[kMaxRows];
extern uint32_t g_rowPos[kMaxRows];
// First chunk frame of this call (0..3), and the group's voice 0.
extern uint32_t g_firstChunkFrame;
extern int g_groupBase;
// Bit l: lane l has chunks waiting in the rows.
extern uint32_t g_pendingLanes;
extern uint32_t g_rowsEnd;  // rows of this call

// Runs voice v's recorded chunks voice by voice, in order, and takes them out of
// their rows; then (ChunkAtOnce) the signal part of its chunk at pos.
void FlushLane(int v);
void ChunkAtOnce(int v, uint32_t pos);

// The voice's chunk inputs into a record: its block from osc1Wave to bus, 80
// bytes, as five 16-byte words.
static_assert(sizeof(ChunkInputs) == 80);
static_assert(offsetof(VoiceState, bus) - offsetof(VoiceState, osc1Wave) == sizeof(ChunkInputs) - 4);
static_assert(offsetof(VoiceState, ampEnv) - offsetof(VoiceState, osc1Wave) == offsetof(ChunkInputs, ampEnv));
static_assert(offsetof(VoiceState, filterType) - offsetof(VoiceState, osc1Wave) == offsetof(ChunkInputs, filterType));
[[gnu::always_inline]] inline void RecordInputs(ChunkInputs& to, const VoiceState& vs) {
    const auto* from = reinterpret_cast<const __m128i*>(&vs.osc1Wave);
    auto* words = reinterpret_cast<__m128i*>(&to);
    const __m128i w0 = _mm_loadu_si128(from), w1 = _mm_loadu_si128(from + 1), w2 = _mm_loadu_si128(from + 2);
    const __m128i w3 = _mm_loadu_si128(from + 3), w4 = _mm_loadu_si128(from + 4);
    _mm_storeu_si128(words, w0);
    _mm_storeu_si128(words + 1, w1);
    _mm_storeu_si128(words + 2, w2);
    _mm_storeu_si128(words + 3, w3);
    _mm_storeu_si128(words + 4, w4);
}

// True when the lanes compute the chunk of these inputs: no noise or sample on
// oscillator 1, oscillator 2 off or 1..4, oscillator 3 (when computed) 0..4.
[[gnu::always_inline]] inline bool LanesCompute(const VoiceState& vs) {
    const uint32_t w2 = vs.osc2Wave;
    return ((vs.osc1Wave - 5u) > 1u) & (w2 <= 4u) & ((w2 == 0u) | (vs.osc3Wave <= 4u));
}

}  // namespace lane_queue

[[gnu::always_inline]] inline void VoiceChunkLater(VoiceState& vs, int v, uint32_t f, uint32_t pos) {
    using namespace lane_queue;
    VoiceChunkEnvelopes(vs);
    const uint32_t l = static_cast<uint32_t>(v - g_groupBase);
    if (l >= static_cast<uint32_t>(kLanes) || !LanesCompute(vs) || f < g_firstChunkFrame) {
        ChunkAtOnce(v, pos);
        return;
    }
    const uint32_t k = (f - g_firstChunkFrame) >> 2;
    RecordInputs(g_records[k].lane[l], vs);
    g_rowActive[k] |= 1u << l;
    g_rowPos[k] = pos;
    g_pendingLanes |= 1u << l;
}
