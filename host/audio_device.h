// The audio output device: the device list, opening and closing.
//
// One list holds the wave mapper, the suitable waveOut-style devices and the
// DirectSound-style devices. OpenAudioDevice opens entry g_waveOutDevice with
// 44,100 Hz 16-bit stereo, sets up its render path and starts it;
// CloseAudioDevice stops and releases it. Both run on the GUI thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/direct_sound.h"
#include "platform/wave_out.h"
#include "shared/relaxed.h"

inline constexpr int kMaxAudioDevices = 32;
inline constexpr int kMaxDirectSoundDevices = 16;
inline constexpr int kLatencyEntries = 24;
inline constexpr int kLastLatencyIndex = 22;        // 200 ms: the longest DirectSound buffer in use
inline constexpr uint32_t kWaveBufferFrames = 11025;  // each waveOut buffer
inline constexpr uint32_t kWaveOutBufferMs = 250;

// Device list, filled by EnumerateAudioDevices.
extern std::string g_deviceNames[kMaxAudioDevices];
extern int32_t g_deviceCount;
extern int32_t g_deviceIsDirectSound[kMaxAudioDevices];  // 0 "MME", 1 "DirectX"
extern uint32_t g_deviceIds[kMaxAudioDevices];           // waveOut device id (WAVE_MAPPER for entry 0)
extern GUID* g_deviceGuids[kMaxAudioDevices];            // DirectSound device, null for the primary driver
extern int32_t g_dsEnumCount;

// "Buffer size" ranges per kind (0 waveOut frames, 1 DirectSound latency index)
// and the DirectSound latency table with the poll thread's wait per entry.
extern const int32_t g_responseMin[2];
extern const int32_t g_responseMax[2];
extern const uint32_t g_directSoundLatencyMs[kLatencyEntries];
extern const uint32_t g_waitTimeoutMs[kLatencyEntries];

extern WAVEFORMATEX g_waveFormat;

// Open device state.
extern Relaxed<uint8_t> g_deviceOpen;
extern Relaxed<uint8_t> g_audioRunning;  // the render path may render
extern Relaxed<int32_t> g_deviceMode;    // 0 during an open, 1 waveOut, 2 DirectSound
extern HWAVEOUT g_hWaveOut;
extern uint32_t* g_waveBuffer[2];  // the two waveOut buffers, 11,025 frames each
extern WAVEHDR g_waveHeader[2];
extern IDirectSound* g_pDirectSound;
extern IDirectSoundBuffer* g_pPrimaryBuffer;
extern IDirectSoundBuffer* g_pSoundBuffer;
extern IDirectSoundNotify* g_pSoundNotify;
extern Relaxed<uint8_t> g_threadsAvailable;

void EnumerateAudioDevices();
int DSoundEnumCallback(GUID* guid, const char* description, const char* module, void* context);
bool OpenAudioDevice();
void CloseAudioDevice();

// waveOut frames per buffer for the current "Buffer size" (kept within 1,024 to
// 11,025 whatever the setting holds).
uint32_t WaveOutResponseFrames();
