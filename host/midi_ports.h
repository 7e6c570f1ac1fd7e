// MIDI ports as the application uses them: the port lists (filled once at
// start-up), the chosen input and output, opening and closing them, and the
// input callback with the external clock sync.
//
// Every input message is placed in time within the playing buffer (g_midiMs).
// While "Sync to external MIDI clock" is on, clock, song position pointer,
// Start, Continue and Stop drive the transport, each echoed to the output
// before it acts (a clock only while the song plays): clock steps go into the
// event queues of all voices at a slot free in every voice, within the render
// period; Start and Continue arm a catch-up that counts clocks twice until the
// tracks are about one buffer ahead. All other messages reach
// HandleMidiMessage in order; every message but clock and active sensing
// lights the activity lamp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/relaxed.h"

inline constexpr int kMaxMidiPorts = 16;

extern std::vector<std::string> g_midiInNames;
extern std::vector<std::string> g_midiOutNames;
extern Relaxed<int32_t> g_midiInDevice;
extern Relaxed<int32_t> g_midiOutDevice;

void EnumerateMidiDevices();
bool OpenMidiIn();
bool OpenMidiOut();
void CloseMidiIn();
void CloseMidiOut();

// The input callback: one message (status in bits 0-7) and its stamp in ms
// since the input started; runs on the MIDI layer's delivery thread.
void MidiInCallback(uint32_t message, uint32_t stamp);
