// The sound bank's own operations: the defaults, the reset, and the three copies
// between the bank and the live knobs.
//
// Bank bytes are knob positions 0..80; the five signed knobs (the three tunes and
// the two fine tunes) are stored with a bias of 40 and live as -40..+40. Every
// other live value is the bank byte itself.
#pragma once

#include <cstdint>
#include <string_view>

#include "shared/constants.h"

inline constexpr int32_t kSignedKnobBias = 40;
inline constexpr std::string_view kUnusedSoundName = "NOT USED";

// Default bank byte of each parameter, in bank order.
extern const uint8_t g_soundParamDefaults[kSoundParams];

// True for the five signed knobs (parameters 1, 7, 8, 16, 17).
bool IsSignedKnob(int param);

// Every sound 0..99 to the defaults and named "NOT USED"; then the current sound
// is 1 and its values are loaded into the live knobs. Entries 100..103 stay.
void ResetSoundBank();

// Bank -> live knobs and undo copy (signed knobs minus 40); the sound's name into
// g_curSoundName and g_curSoundNameUndo. Changes nothing else.
void LoadSoundToKnobs(uint32_t sound);

// Live knobs -> bank: the low byte of each value (signed knobs plus 40 first);
// g_curSoundName becomes the sound's name. No range check.
void StoreKnobsToSound(uint32_t sound);

// The undo copy and g_curSoundNameUndo -> bank, as StoreKnobsToSound; the live
// knobs stay as they are.
void StoreUndoKnobsToSound(uint32_t sound);
