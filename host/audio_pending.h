// The audio output device as the application and the view call it. The
// device layer itself (device list, opening, the render threads and their
// wake-up events) comes with the audio output; until then these stand in for
// it: an empty device list, nothing opens, no thread is created.
#pragma once

#include <cstdint>
#include <string>

#include "shared/relaxed.h"

inline constexpr int kMaxAudioDevices = 32;

extern std::string g_deviceNames[kMaxAudioDevices];
extern int32_t g_deviceCount;
extern int32_t g_deviceIsDirectSound[kMaxAudioDevices];  // 0 "MME", 1 "DirectX"
extern const int32_t g_responseMax[2];  // largest "Buffer size": waveOut frames, DirectSound latency index
extern Relaxed<int32_t> g_waveOutDevice;  // index into the device list
extern Relaxed<int32_t> g_responseTime;   // "Buffer size"
extern Relaxed<uint8_t> g_deviceOpen;
extern Relaxed<uint8_t> g_audioRunning;
extern Relaxed<uint8_t> g_threadsAvailable;  // 0 when a render event or thread could not be made
extern Relaxed<uint8_t> g_threadsRun;        // the render threads loop while 1

void EnumerateAudioDevices();
bool OpenAudioDevice();
void CloseAudioDevice();
// Clears g_audioRunning, sets g_threadsAvailable, creates the three render
// threads' wake-up events and the threads (suspended); false when one failed.
bool CreateRenderThreads();
