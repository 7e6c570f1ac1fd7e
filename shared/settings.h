// Output and host settings that the engine and the event writers read. Loaded
// from and saved to the settings store by the application; the engine never
// writes them. Initial values are the settings' defaults.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

extern Relaxed<uint32_t> g_polyphony;      // 0..5: 1, 4, 8, 16, 24 or 32 voices
extern const int g_polyphonyVoices[6];     // 1, 4, 8, 16, 24, 32
extern Relaxed<uint32_t> g_bassTrebleEq;   // 0/1: equaliser on; also the page of g_masterVolumeTable
extern Relaxed<uint32_t> g_trebleLimiter;  // 0/1
extern Relaxed<uint32_t> g_testSignal;     // 0/1: 440 Hz test tone instead of music
extern Relaxed<uint32_t> g_soundModuleMode;
extern Relaxed<uint32_t> g_midiSync;       // 1 = follow an external MIDI clock
extern Relaxed<uint32_t> g_previewNote;    // note keys sound while editing
extern Relaxed<uint32_t> g_freeAudioDevWhenStopped;
extern Relaxed<uint8_t> g_startingUp;      // 1 until the end of the application's start-up

// Render period of the open output device.
extern Relaxed<uint32_t> g_bufferMs;        // period length in milliseconds
extern Relaxed<uint32_t> g_bufferFrames;    // period length in frames (at most 11,025)
extern Relaxed<uint32_t> g_bufferStartTime; // millisecond clock when the current period began to render
