// The envelope machine (attack, decay, sustain/release), stepped once per chunk.
//
// Numeric contract:
// - Envelope values are unsigned 32-bit with full scale 2^32. Level L (0..31)
//   selects row L of the attack shape; the fall shape is always row 31.
// - A stage phase runs while its bit 19 is clear: 2,048 table entries of 256
//   phase units. The attack, decay and a held sustain read the table with the
//   phase from before the step; the release steps first, then reads.
// - Stage 0 is the attack, any negative stage the decay, any positive stage
//   sustain and release. A stage that finishes hands over to the next one in the
//   same chunk.
// - The release ends when its phase has reached 0x7C000: from then on the step
//   gives the end mark, and the envelope's output is 0.
#pragma once

#include <cstdint>

#include "engine/tables.h"
#include "shared/fixed.h"

enum class AdsrStage { kNothing, kAttack, kDecay, kSustain, kEnded };

struct AdsrResult {
    AdsrStage stage;  // the stage that gave the value (kNothing: level 0)
    uint32_t value;   // R; 0 for kNothing and kEnded
};

// One instance's fields, by reference. The stage and the gate are also written by
// the MIDI input thread: the caller loads them relaxed, passes the stage in a
// local word and stores it back when the step changed it.
struct AdsrFields {
    int32_t level;
    uint32_t attackRate;
    uint32_t decayRate;
    uint32_t releaseRate;
    uint32_t sustainLevel;
    int32_t gate;
    int32_t& stage;
    uint32_t& attackPhase;
    uint32_t& decayPhase;
    uint32_t& releasePhase;
    uint32_t& peak;
    uint32_t& value;
};

inline constexpr uint32_t kStageDoneBit = 0x80000;  // bit 19
inline constexpr uint32_t kReleaseEnd = 0x7C000;

// One step. attack is the attack shape table (row `level` is used), fall the fall
// shape table (row 31). The level is masked to the table's 32 rows.
inline AdsrResult AdsrStep(AdsrFields e, const uint32_t (*attack)[kShapeEntries],
                           const uint32_t (*fall)[kShapeEntries]) {
    if (e.level == 0) return {AdsrStage::kNothing, 0};
    const uint32_t* fallRow = fall[kShapeLevels - 1];
    if (e.stage == 0) {
        const uint32_t a = e.attackPhase;
        e.attackPhase = a + e.attackRate;
        if ((a & kStageDoneBit) == 0) {
            const uint32_t r = attack[e.level & (kShapeLevels - 1)][(a >> 8) & (kShapeEntries - 1)];
            e.peak = r;
            e.value = r;
            return {AdsrStage::kAttack, r};
        }
        e.stage = e.stage - 1;
    }
    if (e.stage < 0) {
        const uint32_t d = e.decayPhase;
        e.decayPhase = d + e.decayRate;
        if ((d & kStageDoneBit) == 0) {
            const uint32_t v =
                e.sustainLevel + hiu(e.peak - e.sustainLevel, fallRow[(d >> 8) & (kShapeEntries - 1)]);
            e.value = v;
            return {AdsrStage::kDecay, v};
        }
        e.stage = 1;
        e.value = e.sustainLevel;
    }
    uint32_t r = e.releasePhase;
    if (e.gate == 0) {
        if (r >= kReleaseEnd) return {AdsrStage::kEnded, 0};
        r += e.releaseRate;
        e.releasePhase = r;
    }
    return {AdsrStage::kSustain, hiu(e.value, fallRow[(r >> 8) & (kShapeEntries - 1)])};
}
