// The MIDI controller map: which controller number drives which of the 85
// controllable knobs (g_paramValuePtrs in shared/sound_bank.h), either the
// factory assignment or the user's custom set of 36 numbers
// (g_customControllerSet, g_useCustomControllers in shared/app_settings.h).
//
// The map is rebuilt on the GUI thread and read by the MIDI input thread
// without a lock: a rebuild computes the new map aside and then stores each
// entry, so an entry that keeps its number never passes through "none".
#pragma once

#include <array>
#include <cstdint>

#include "shared/app_settings.h"
#include "shared/relaxed.h"
#include "shared/sound_bank.h"

inline constexpr uint32_t kNoController = 255;

// Knob p -> the controller number that drives it, or kNoController.
extern Relaxed<uint32_t> g_midiControllerMap[kControllerKnobs];
// Knob p -> its sound-bank array (0..51), null for the mixer settings.
extern uint8_t* const g_paramBankArrays[kControllerKnobs];
// Knob p -> the kind (1..9) that scales a controller value into its range.
extern const uint8_t g_paramKinds[kControllerKnobs];
// Knob p -> its factory controller number.
extern const std::array<uint8_t, kControllerKnobs> g_factoryControllerMap;
// Custom row r (0..35) -> the knob it drives.
extern const uint8_t g_customControllerKnob[kCustomControllers];
// The custom rows' labels, in row order.
extern const char* const g_customControllerNames[kCustomControllers];

// Rebuilds g_midiControllerMap from the mode and the custom set.
void ApplyMidiControllerMap();

// The value a controller value 0..127 gives a knob of that kind (what the
// bank byte or the mixer word becomes; kind 3 is stored with its bias of 40).
int32_t ControllerValueForKind(uint32_t kind, uint32_t value);
