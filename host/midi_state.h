// The host's MIDI state: the words the MIDI input thread shares with the
// engine, the panel and the GUI thread. Every word is relaxed-atomic; the MIDI
// input thread (the platform's one delivery thread) is the only writer of the
// per-channel and per-voice words and of the clock state.
#pragma once

#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"

// Lamps and knob transmission.
extern Relaxed<int32_t> g_midiActivity;     // input lamp counter: 5 per message (not clock or sensing)
extern Relaxed<int32_t> g_midiOutActivity;  // output lamp counter, 6 per controller sent
extern Relaxed<int32_t> g_transmitTweaks;   // "Transmit knob tweakings"; a MIDI Stop clears it

// 1 while HandleMidiMessage works on a message's sound effects.
extern Relaxed<uint32_t> g_midiBusy;

// Per MIDI channel 0..15.
extern Relaxed<int32_t> g_midiProgram[kMidiChannels];        // last program change, 0 until one arrives
extern Relaxed<int32_t> g_channelFirstVoice[kMidiChannels];  // first reserved voice (rebuilt per message)
extern Relaxed<int32_t> g_channelNextVoice[kMidiChannels];   // round-robin position within the reserved voices
extern Relaxed<int32_t> g_channelLastKey[kMidiChannels];     // key of the last note on: the next one's glide start

// Per voice 0..31: the channel that last started a note on it and the key it
// holds (-1 none). Opening the input sets both to -1.
extern Relaxed<int32_t> g_voiceMidiChannel[kVoices];
extern Relaxed<int32_t> g_voiceMidiKey[kVoices];

// Ports and time placement.
extern Relaxed<uint8_t> g_midiInOpen;         // 1 while the input is open and started
extern Relaxed<uint32_t> g_midiInStartTime;   // timeGetTime at the input's start; stamps count from it
extern Relaxed<uint32_t> g_midiMs;            // the current message's ms within the playing buffer

// Clock sync (g_midiSync, g_clockCount and g_midiStartPending are the engine's).
extern Relaxed<uint32_t> g_lastClockTime;     // stamp of the last clock
extern Relaxed<uint32_t> g_clockInterval;     // ms from the clock before it
extern Relaxed<uint32_t> g_clockCatchUp;      // 1 while clocks count twice after Start or Continue
extern Relaxed<uint32_t> g_clockCatchUpTime;  // ms gained so far by the catch-up
extern Relaxed<uint32_t> g_clockPos;          // period position of the last clock step
extern Relaxed<uint32_t> g_songPosPointer;    // last song position pointer, in sixteenth notes
extern Relaxed<uint32_t> g_songPosReceived;   // 1 after a pointer until the next Start
