// A voice's view of its sound's parameters in the sound bank.
//
// For sound s and a parameter p:
//   P(p) = the bank byte of p for s (knobs 0..80, signed knobs biased by 40,
//          switches 0/1, selectors as stored);
//   K(t) = P(param of modulation target t) + the modulation offset of t for s
//          (0..160, no clamp);
//   C(t) = min(80, K(t)).
// Every byte is read once where it is used; another thread may store into the
// bank meanwhile.
//
// A sound number of 104 or more has no bank slot: it reads as an empty sound,
// every parameter and offset 0 (so such a note never sounds: oscillator 1's wave
// is 0).
#pragma once

#include <algorithm>
#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"
#include "shared/sound_bank.h"

class SoundReader {
public:
    explicit SoundReader(int32_t sound) noexcept
        : slot_(static_cast<uint32_t>(sound)), valid_(static_cast<uint32_t>(sound) < kSoundSlots) {}

    int32_t P(SoundParam p) const noexcept { return valid_ ? BankByte(p, slot_) : 0; }
    int32_t Offset(ModTarget t) const noexcept {
        return valid_ ? RelaxedLoad(g_modulationBank[t][slot_]) : 0;
    }
    int32_t K(ModTarget t) const noexcept { return P(g_modTargetParam[t]) + Offset(t); }
    int32_t C(ModTarget t) const noexcept { return std::min(kKnobMax, K(t)); }

    static constexpr int32_t kKnobMax = 80;

private:
    uint32_t slot_;
    bool valid_;
};

// Tune knob (K, biased by 40) to pitch units: floor(K x 10,066,329 / 2^16), just
// under K x 153.6 (0.6 semitone per step); the centre 40 gives 6,143.
inline constexpr int32_t TuneUnits(int32_t k) noexcept { return (k * 0x999999) >> 16; }
// Fine-tune knob (biased by 40) to pitch units: 4/256 semitone per step.
inline constexpr int32_t FineTuneUnits(int32_t p) noexcept { return (p - 40) * 4; }
// Pulse-width knob sum to a phase offset: 0 -> 0x1000020, 80 -> 0x80000000,
// 160 -> 0xFEFFFFE0 (no clamp, wraps as unsigned).
inline constexpr uint32_t PulseWidthUnits(int32_t k) noexcept {
    return static_cast<uint32_t>(k) * 0x1966666u + 0x1000020u;
}
// Oscillator volume knob (C) to Q31: 80 -> 0x7FFFFFD0.
inline constexpr int32_t VolumeUnits(int32_t c) noexcept { return c * 0x1999999; }
// Cutoff knob sum plus per-note offset to a cutoff index (93 per step), plus the
// key above C-2 at 64 per semitone with key tracking, limited to 0x1FFE.
inline constexpr int32_t CutoffUnits(int32_t knobSum, bool keyTrack, int32_t key) noexcept {
    int32_t c = knobSum * 93;
    if (keyTrack) c += std::max(0, key - 24) * 64;
    return c >= 0x1FFE ? 0x1FFE : c;
}
// Envelope level knob sum (0..80) to an envelope level row 0..31.
inline constexpr int32_t EnvLevel(int32_t c) noexcept { return c * 16 / 41; }

// Filter - Type knob 0..5 -> engine filter type.
extern const int32_t g_filterTypeMap[6];
// LFO - Destination knob 0..4 -> LFO target (0 none, 1 pulse width, 2 oscillator 1
// pitch, 3 oscillator 2 pitch, 4 cutoff).
extern const int32_t g_lfoTargetMap[5];
