// Voice event queues: per voice (lane) five byte arrays over the 11,025 period
// positions. A writer on another thread stores key, glide-from value, sound and
// offset first and publishes the code byte last (release); the engine reads the
// code (acquire), then the other bytes, and clears the slot.
// Codes: 1 note on, 2 note off, 3 release (engine only), 4 clock step; 0 empty.
#pragma once

#include <cstdint>

#include "shared/constants.h"

inline constexpr uint8_t kVoiceEventNoteOn = 1;
inline constexpr uint8_t kVoiceEventNoteOff = 2;
inline constexpr uint8_t kVoiceEventRelease = 3;
inline constexpr uint8_t kVoiceEventClock = 4;

struct VoiceEventQueue {
    uint8_t code[kVoices][kPeriodPositions];
    uint8_t key[kVoices][kPeriodPositions];
    uint8_t value[kVoices][kPeriodPositions];   // glide-from key of a note on
    uint8_t sound[kVoices][kPeriodPositions];
    uint8_t offset[kVoices][kPeriodPositions];  // level offset of a note on
};
extern VoiceEventQueue g_voiceEvents;
