#include "host/midi_state.h"

Relaxed<int32_t> g_midiActivity{0};
Relaxed<int32_t> g_midiOutActivity{0};
Relaxed<int32_t> g_transmitTweaks{0};
Relaxed<uint32_t> g_midiBusy{0};

Relaxed<int32_t> g_midiProgram[kMidiChannels];
Relaxed<int32_t> g_channelFirstVoice[kMidiChannels];
Relaxed<int32_t> g_channelNextVoice[kMidiChannels];
Relaxed<int32_t> g_channelLastKey[kMidiChannels];

Relaxed<int32_t> g_voiceMidiChannel[kVoices] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
Relaxed<int32_t> g_voiceMidiKey[kVoices] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                            -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

Relaxed<uint8_t> g_midiInOpen{0};
Relaxed<uint32_t> g_midiInStartTime{0};
Relaxed<uint32_t> g_midiMs{0};

Relaxed<uint32_t> g_lastClockTime{0};
Relaxed<uint32_t> g_clockInterval{0};
Relaxed<uint32_t> g_clockCatchUp{0};
Relaxed<uint32_t> g_clockCatchUpTime{0};
Relaxed<uint32_t> g_clockPos{0};
Relaxed<uint32_t> g_songPosPointer{0};
Relaxed<uint32_t> g_songPosReceived{0};
