#include "host/audio_pending.h"

#include "shared/transport.h"

std::string g_deviceNames[kMaxAudioDevices];
int32_t g_deviceCount = 0;
int32_t g_deviceIsDirectSound[kMaxAudioDevices];
const int32_t g_responseMax[2] = {11025, 23};
Relaxed<int32_t> g_waveOutDevice{0};
Relaxed<int32_t> g_responseTime{11025};
Relaxed<uint8_t> g_deviceOpen{0};
Relaxed<uint8_t> g_audioRunning{0};
Relaxed<uint8_t> g_threadsAvailable{1};
Relaxed<uint8_t> g_threadsRun{1};

void EnumerateAudioDevices() { g_deviceCount = 0; }

bool OpenAudioDevice() {
    g_masterMute = 0;
    return false;  // no output device exists
}

void CloseAudioDevice() {
    if (!g_deviceOpen) return;
    g_deviceOpen = 0;
    g_songPlaying = 0;
    g_playFlag = 0;
    g_releaseDevicePending = 0;
}

bool CreateRenderThreads() {
    g_audioRunning = 0;
    g_threadsAvailable = 1;
    return true;
}
