// The MIDI channel map (song data): entry c is MIDI channel c + 1.
#pragma once

#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"

extern Relaxed<int32_t> g_channelSound[kMidiChannels];      // 0 = follow program changes, 1..99 a sound
extern Relaxed<int32_t> g_channelPolyphony[kMidiChannels];  // voices reserved, 0..32 (0 = not played)
