// The audio output device as the application and the view call it. The
// device layer itself (device list, opening, the render threads and their
// wake-up events) comes with the audio output; until then these stand in for
// it: an empty device list, nothing opens, no thread is created.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/relaxed.h"

extern std::vector<std::string> g_deviceNames;   // output devices by index
extern std::vector<uint8_t> g_deviceIsDirectSound;  // per device: 1 DirectSound style, 0 waveOut style
extern const int32_t g_responseMax[2];           // largest response time: waveOut frames, DirectSound index
extern Relaxed<int32_t> g_waveOutDevice;         // index of the chosen device
extern Relaxed<int32_t> g_responseTime;          // "Buffer size"
extern Relaxed<uint8_t> g_deviceOpen;
extern Relaxed<uint8_t> g_audioRunning;
extern Relaxed<uint8_t> g_releaseDevicePending;

void EnumerateAudioDevices();
bool OpenAudioDevice();
void CloseAudioDevice();
// Creates the three render-thread wake-up events; false when one failed.
bool CreateRenderEvents();
// Creates the three render threads, suspended, at the highest priority the
// system allows; false when one failed.
bool CreateRenderThreads();
