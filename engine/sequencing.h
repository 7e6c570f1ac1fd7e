// Steps shared by the track sequencer, the transport resets and the automation
// lanes. Each works on the voice (= track) t given and the global records.
#pragma once

#include <cstdint>

#include "shared/constants.h"

// Pattern command codes (plane 0 nibbles); the value is the plane-1 byte for the
// high nibble, the plane-2 byte for the low one.
enum PatternCommand : uint32_t {
    kCmdNone = 0,
    kCmdTranspose = 1,     // T: oscillators 2 and 3 up by the tens / units digit
    kCmdInstrument = 2,    // I: sound of the next note
    kCmdSlide = 3,         // S: glide to the next row's note
    kCmdVibrato = 4,       // B: vibrato depth (tens) and rate (units)
    kCmdSetVolume = 5,     // V
    kCmdVolumeUp = 6,      // +
    kCmdVolumeDown = 7,    // -
    kCmdSetPan = 8,        // P
    kCmdCutoffMod = 9,     // F
    kCmdFilterEnvMod = 10, // G
    kCmdAmpEnvMod = 11,    // E
    kCmdSend1 = 12,        // 1
    kCmdSend2 = 13,        // 2
    kCmdSampleOffset = 14, // O
    kCmdRetrigger = 15,    // X: 1 LFO, 2 filter envelope, 3 user envelope
};

// Pattern command code (1..15) with its value byte on voice t. Code 0 does nothing.
void RunPatternCommand(int t, uint32_t code, uint32_t value);

// Automation step of track t, after each tick of its sequencer.
void PlayAutomation(int t);

// Applies, for every track, the commands 1, 2, 9, 10, 11 and 14 of the rows of
// the start pattern before the start row (play start inside a pattern).
void ChaseInstruments();

// A sound number taken from song or event data: the bank holds kSoundSlots
// sounds; a number beyond them means no sound (0).
inline int32_t ValidSound(uint32_t v) { return v < static_cast<uint32_t>(kSoundSlots) ? static_cast<int32_t>(v) : 0; }
