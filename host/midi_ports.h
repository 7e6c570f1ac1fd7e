// MIDI ports as the application's start and end need them: the port lists,
// the chosen ports, opening and closing. Until MIDI input and output are built
// the lists are empty and nothing opens.
#pragma once

#include <string>
#include <vector>

#include "shared/relaxed.h"

extern std::vector<std::string> g_midiInNames;
extern std::vector<std::string> g_midiOutNames;
extern Relaxed<int32_t> g_midiInDevice;
extern Relaxed<int32_t> g_midiOutDevice;

void EnumerateMidiDevices();
bool OpenMidiIn();
bool OpenMidiOut();
void CloseMidiIn();
void CloseMidiOut();
