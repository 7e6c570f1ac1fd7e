// waveOut-style output devices on the audio back-end.
//
// A device plays the buffers written to it back to back, without gaps, in the
// order written. When a buffer has played, the callback given at the open is
// called with WOM_DONE and the buffer's header on a driver thread of this layer
// (in queue order; never on the sound server's own thread). The callback may
// write buffers again. waveOutReset hands every pending buffer back the same
// way and returns once the callbacks have run (unless it is called from the
// callback itself).
#pragma once

#include <cstdint>

struct WaveOutDevice;
using HWAVEOUT = WaveOutDevice*;
using MMRESULT = uint32_t;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;
inline constexpr MMRESULT WAVERR_SYNC = 35;

inline constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
inline constexpr uint32_t CALLBACK_FUNCTION = 0x00030000u;
inline constexpr uint32_t WOM_OPEN = 0x3BB;
inline constexpr uint32_t WOM_CLOSE = 0x3BC;
inline constexpr uint32_t WOM_DONE = 0x3BD;

inline constexpr uint32_t WHDR_DONE = 0x01;
inline constexpr uint32_t WHDR_PREPARED = 0x02;
inline constexpr uint32_t WHDR_INQUEUE = 0x10;

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint32_t WAVE_FORMAT_4S16 = 0x800;  // 44.1 kHz, stereo, 16-bit
inline constexpr uint32_t WAVECAPS_SYNC = 0x10;

struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};

struct WAVEOUTCAPS {
    char szPname[32];
    uint32_t dwFormats;
    uint16_t wChannels;
    uint32_t dwSupport;
};

struct WAVEHDR {
    char* lpData;
    uint32_t dwBufferLength;  // bytes to play; may change between writes
    uint32_t dwFlags;         // WHDR_*; read and written by the layer's threads too
    uint32_t dwLoops;
};

using WaveOutProc = void (*)(HWAVEOUT device, uint32_t message, uintptr_t instance, uintptr_t param1,
                             uintptr_t param2);

uint32_t waveOutGetNumDevs();
MMRESULT waveOutGetDevCaps(uint32_t deviceId, WAVEOUTCAPS* caps);
MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format, WaveOutProc callback,
                     uintptr_t instance, uint32_t flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header);
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header);
MMRESULT waveOutReset(HWAVEOUT device);
MMRESULT waveOutClose(HWAVEOUT device);

// For tests and measurements: waits until every finished buffer's callback has
// run; counts the periods in which the device ran dry after it had been fed.
void waveOutWaitIdle(HWAVEOUT device);
uint64_t waveOutUnderruns(HWAVEOUT device);
// The back-end output the device plays on (-1 for an invalid handle).
int waveOutOutputIndex(HWAVEOUT device);
