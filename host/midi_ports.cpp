#include "host/midi_ports.h"

std::vector<std::string> g_midiInNames;
std::vector<std::string> g_midiOutNames;
Relaxed<int32_t> g_midiInDevice{0};
Relaxed<int32_t> g_midiOutDevice{0};

void EnumerateMidiDevices() {
    g_midiInNames.clear();
    g_midiOutNames.clear();
}

bool OpenMidiIn() { return false; }
bool OpenMidiOut() { return false; }
void CloseMidiIn() {}
void CloseMidiOut() {}
