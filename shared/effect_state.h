// Codes, coefficients and running state of the three effect units.
//
// The effect set-up writes g_fxCode and the set-up fields between render
// calls, on the thread that renders; the render routine reads them and writes
// the running fields. Both run on one thread, one after the other, so none of
// these words is shared with another thread while in use. The delay rings and
// the reverb lines are kept elsewhere; these records hold only the per-unit
// words. Everything is 0 at program start.
#pragma once

#include <cstdint>
#include <type_traits>

// Engine effect code of each unit, g_fxCode[unit - 1]; 0 = off.
extern uint32_t g_fxCode[3];

// State of effect units 1 and 2 (g_fx1State, g_fx2State), fields in this order.
struct EffectUnitState {
    uint32_t sweepDepth;   // chorus sweep depth (set-up)
    int32_t baseDelay;     // fixed part of the modulated delay, frames (set-up)
    uint32_t driftPhase;   // second phase of the spatial phaser's right channel, +4,096 per frame
    uint32_t sweepPhase2;  // sweep phase of the dual-voice chorus's second voice (unit 1 only)
    uint32_t sweepRate;    // sweep phase increment per frame (set-up)
    uint32_t sweepPhase;   // sweep phase, wraps at 2^32
    int32_t feedback;      // feedback coefficient, Q31 (set-up)
    uint32_t delayLength;  // delay of the delay types, bytes of ring (4 per frame) (set-up)
    uint32_t writePos;     // ring write position, shared by all types of the unit
};

// State of effect unit 3 (g_fx3State), fields in this order.
struct EffectUnit3State {
    int32_t inputRight;         // unit 3 input of the current frame
    int32_t inputLeft;
    int32_t rightPreFilter[4];  // reverb input low-pass stages 1..4 at [0..3]
    int32_t leftPreFilter[4];
    int32_t feedback;           // delay feedback or reverb comb gain, Q31 (set-up)
    uint32_t delayLength;       // delay of the delay types, bytes of ring (set-up)
    uint32_t preDelay;          // reverb pre-delay, bytes of reverb line (4 per frame) (set-up)
    uint32_t writePos;          // ring byte offset (delays) or line frame counter (reverbs)
    int32_t combDamping[12];    // damping state of each comb line: [0..5] lines 3..8, [6..11] lines 13..18
};

static_assert(std::is_trivially_copyable_v<EffectUnitState> && std::is_standard_layout_v<EffectUnitState>);
static_assert(std::is_trivially_copyable_v<EffectUnit3State> && std::is_standard_layout_v<EffectUnit3State>);

extern EffectUnitState g_fx1State;
extern EffectUnitState g_fx2State;
extern EffectUnit3State g_fx3State;
