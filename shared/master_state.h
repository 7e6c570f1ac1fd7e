// Master-section state of the render engine.
//
// One MasterState record, g_masterState: the master's rate counters, the
// smoothed mixer gains, the four sub-frames of dry and effect-send sums that
// the bus mixer leaves every 4 frames, the effect units' per-frame outputs,
// and the equaliser and limiter state of the output stage. Every field is 32
// bits; per-bus arrays are indexed by bus number 0..7; [4] arrays hold one
// value per sub-frame 0..3 of a chunk, selected by chunkPhase. All fields are
// 0 at program start; the counters and the equaliser and limiter state are
// never reset.
//
// Engine-private, except masterVolume, which the GUI thread reads while the
// engine writes it (RelaxedLoad / RelaxedStore, shared/relaxed.h).
//
// Formats: Q31 = 0x7FFFFFFF is 1.0; sums are on the 16-bit sample scale but
// not limited to it, and wrap in 32 bits.
#pragma once

#include <atomic>
#include <cstdint>
#include <type_traits>

#include "shared/constants.h"

struct MasterState {
    // Rate counters.
    int32_t chunkPhase;  // 0..3, +1 mod 4 every master frame: the sub-frame this frame plays
    int32_t meterPhase;  // 0..7, +1 mod 8 whenever chunkPhase becomes 0 (meters and smoothing every 32 frames)

    // Smoothed mixer gains, stepped every 32 frames toward their targets.
    int32_t busVolume[kBuses];  // bus volume gain, applied as hi(x * gain)
    int32_t masterVolume;       // master gain, Q31; the mute target is 1
    int32_t busPan[kBuses];     // right channel's share, Q31
    int32_t busSend1[kBuses];   // effect-1 send gain, Q31
    int32_t busSend2[kBuses];   // effect-2 send gain, Q31

    // Bus mixer sums of the current chunk, one per sub-frame.
    int32_t dryLeft[4];     // dry sum of all buses
    int32_t dryRight[4];
    int32_t fx1InLeft[4];   // effect-1 input: sum of the buses' effect-1 sends
    int32_t fx1InRight[4];
    int32_t fx2InLeft[4];   // effect-2 input: sum of the effect-2 sends, plus the serial feed
    int32_t fx2InRight[4];

    // Effect outputs of the current frame.
    int32_t fx1OutLeft;     // effect unit 1
    int32_t fx1OutRight;
    int32_t fx2OutLeft;     // effect units 2 and 3 together
    int32_t fx2OutRight;

    // Output stage: bass and treble equaliser.
    int32_t eqDelayLeft[3];   // last three comb values, newest first
    int32_t eqDelayRight[3];
    int32_t eqPoleALeft;      // first one-pole stage, last output
    int32_t eqPoleARight;
    int32_t eqPoleBLeft;      // second one-pole stage, last output
    int32_t eqPoleBRight;

    // Output stage: treble limiter.
    int32_t limPrevLeft;        // previous frame's input, negated
    int32_t limPrevRight;
    int32_t limTapLeft[4];      // previous input of each of the four smoothing stages
    int32_t limTapRight[4];
    uint32_t limTargetLeft;     // held reduction target, at most half the largest gain table entry
    uint32_t limTargetRight;
    int32_t limGainLeft;        // smoothed reduction, moving toward the target
    int32_t limGainRight;
};

static_assert(std::is_trivially_copyable_v<MasterState> && std::is_standard_layout_v<MasterState>);
static_assert(std::atomic_ref<int32_t>::required_alignment <= alignof(int32_t));

extern MasterState g_masterState;
