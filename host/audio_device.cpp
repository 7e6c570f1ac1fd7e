#include "host/audio_device.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/stages.h"
#include "host/render_paths.h"
#include "platform/audio_backend.h"
#include "shared/message_box.h"
#include "shared/settings.h"
#include "shared/transport.h"

std::string g_deviceNames[kMaxAudioDevices];
int32_t g_deviceCount = 0;
int32_t g_deviceIsDirectSound[kMaxAudioDevices];
uint32_t g_deviceIds[kMaxAudioDevices];
GUID* g_deviceGuids[kMaxAudioDevices];
int32_t g_dsEnumCount = 0;

const int32_t g_responseMin[2] = {1024, 0};
const int32_t g_responseMax[2] = {11025, 23};
const uint32_t g_directSoundLatencyMs[kLatencyEntries] = {2,  3,  4,  5,  6,  7,  8,  9,   10,  15,  20,  25,
                                                          30, 35, 40, 50, 60, 70, 80, 90, 100, 150, 200, 250};
const uint32_t g_waitTimeoutMs[kLatencyEntries] = {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 3,
                                                   4, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0};

WAVEFORMATEX g_waveFormat;

Relaxed<uint8_t> g_deviceOpen{0};
Relaxed<uint8_t> g_audioRunning{0};
Relaxed<int32_t> g_deviceMode{0};
HWAVEOUT g_hWaveOut = nullptr;
uint32_t* g_waveBuffer[2] = {nullptr, nullptr};
WAVEHDR g_waveHeader[2];
IDirectSound* g_pDirectSound = nullptr;
IDirectSoundBuffer* g_pPrimaryBuffer = nullptr;
IDirectSoundBuffer* g_pSoundBuffer = nullptr;
IDirectSoundNotify* g_pSoundNotify = nullptr;
Relaxed<uint8_t> g_threadsAvailable{1};

namespace {

const char* const kDeviceAllocated =
    "Audio output device is already allocated...\nQuit or pause the other application occupying it!";
const char* const kDsNoMemory =
    "The DirectSound subsystem could not allocate sufficient memory to complete the caller's request.";
const char* const kDsInvalidArg = "An invalid parameter was passed to the returning function.";
const char* const kDsNoAggregation = "The object does not support aggregation.";
const char* const kDsNoDriver = "No sound driver is available for use.";
const char* const kDsPriorityInUse =
    "The request failed because resources, such as a priority level, were already in use by another caller.";
const char* const kDsUninitialized =
    "The IDirectSound::Initialize method has not been called or has not been called successfully before "
    "other methods were called.";
const char* const kDsNotImplemented = "The function called is not supported at this time.";
const char* const kDsBadFormat = "The specified wave format is not supported.";

struct Message {
    int64_t result;
    const char* text;
    bool stop;  // stop icon instead of the exclamation mark
};

// Shows the message that `table` gives for `result`; results not in the table
// show nothing.
template <size_t N>
void ShowResult(const Message (&table)[N], int64_t result) {
    for (const Message& m : table) {
        if (m.result == result) {
            AfxMessageBox(m.text, MB_OK | (m.stop ? MB_ICONSTOP : MB_ICONEXCLAMATION));
            return;
        }
    }
}

int64_t Hr(HRESULT r) { return static_cast<int64_t>(static_cast<uint32_t>(r)); }

// Temporary list of the DirectSound enumeration.
struct DsEnumList {
    GUID* guid[kMaxDirectSoundDevices];
    std::string name[kMaxDirectSoundDevices];
};

void FillWaveFormat() {
    g_waveFormat.wFormatTag = WAVE_FORMAT_PCM;
    g_waveFormat.nChannels = 2;
    g_waveFormat.nSamplesPerSec = 44100;
    g_waveFormat.nAvgBytesPerSec = 176400;
    g_waveFormat.nBlockAlign = 4;
    g_waveFormat.wBitsPerSample = 16;
    g_waveFormat.cbSize = 0;
}

void FreeWaveBuffers() {
    for (uint32_t*& b : g_waveBuffer) {
        FreeAudioBuffer(b);
        b = nullptr;
    }
}

// What a failed waveOut open has created so far is released again, so that the
// next open starts from nothing.
void ReleaseWaveOut(bool prepared) {
    if (g_hWaveOut == nullptr) return;
    waveOutReset(g_hWaveOut);
    if (prepared) {
        waveOutUnprepareHeader(g_hWaveOut, &g_waveHeader[0]);
        waveOutUnprepareHeader(g_hWaveOut, &g_waveHeader[1]);
    }
    waveOutClose(g_hWaveOut);
    g_hWaveOut = nullptr;
    FreeWaveBuffers();
}

void ReleaseDirectSound() {
    if (g_pSoundNotify != nullptr) g_pSoundNotify->Release();
    if (g_pSoundBuffer != nullptr) g_pSoundBuffer->Release();
    if (g_pPrimaryBuffer != nullptr) g_pPrimaryBuffer->Release();
    if (g_pDirectSound != nullptr) g_pDirectSound->Release();
    g_pSoundNotify = nullptr;
    g_pSoundBuffer = nullptr;
    g_pPrimaryBuffer = nullptr;
    g_pDirectSound = nullptr;
}

bool OpenWaveOut(int entry) {
    static const Message kOpen[] = {
        {MMSYSERR_BADDEVICEID, "Error! Specified device identifier is out of range.", false},
        {MMSYSERR_ALLOCATED, kDeviceAllocated, true},
        {MMSYSERR_NODRIVER, "Error! No device driver is present.", false},
        {MMSYSERR_NOMEM, "Error! Unable to allocate or lock memory.", false},
        {WAVERR_BADFORMAT, "Error! This device doesn't support the required wave format.", false},
        {WAVERR_SYNC,
         "Error! The device is synchronous but waveOutOpen was called without using the WAVE_ALLOWSYNC flag.",
         false},
    };
    static const Message kWrite[] = {
        {MMSYSERR_INVALHANDLE, "Error! Specified device handle is invalid.", false},
        {MMSYSERR_NODRIVER, "Error! No device driver is present.", false},
        {MMSYSERR_NOMEM, "Error! Unable to allocate or lock memory.", false},
        {WAVERR_UNPREPARED, "Error! The data block pointed to by the pwh parameter hasn\u2019t been prepared.", false},
    };

    FillWaveFormat();
    const MMRESULT opened =
        waveOutOpen(&g_hWaveOut, g_deviceIds[entry], &g_waveFormat, WaveOutCallback, 0, CALLBACK_FUNCTION);
    if (opened != MMSYSERR_NOERROR) {
        g_hWaveOut = nullptr;
        ShowResult(kOpen, opened);
        return false;
    }

    g_waveBuffer[0] = static_cast<uint32_t*>(AllocateAudioBuffer(kWaveBufferFrames * 4));
    g_waveBuffer[1] = static_cast<uint32_t*>(AllocateAudioBuffer(kWaveBufferFrames * 4));
    if (g_waveBuffer[0] == nullptr || g_waveBuffer[1] == nullptr) {
        AfxMessageBox("Failed to allocate memory for mixingbuffers!", MB_OK | MB_ICONSTOP);
        ReleaseWaveOut(false);
        return false;
    }
    g_bufferMs = kWaveOutBufferMs;
    for (int i = 0; i < 2; ++i) {
        g_waveHeader[i] = WAVEHDR{};
        g_waveHeader[i].lpData = reinterpret_cast<char*>(g_waveBuffer[i]);
        g_waveHeader[i].dwBufferLength = kWaveBufferFrames * 4;
        waveOutPrepareHeader(g_hWaveOut, &g_waveHeader[i]);
    }
    // The callback may come as soon as the first buffer has played, so the path
    // is allowed to render before the buffers go out.
    g_audioRunning = 1;
    const uint32_t frames = WaveOutResponseFrames();
    for (WAVEHDR& h : g_waveHeader) h.dwBufferLength = frames * 4;
    for (WAVEHDR& h : g_waveHeader) {
        const MMRESULT written = waveOutWrite(g_hWaveOut, &h);
        if (written != MMSYSERR_NOERROR) {
            g_audioRunning = 0;
            ShowResult(kWrite, written);
            ReleaseWaveOut(true);
            return false;
        }
    }
    g_deviceMode = 1;
    g_deviceOpen = 1;
    g_audioRunning = 1;
    ClearEventQueues();
    return true;
}

bool OpenDirectSound(int entry) {
    static const Message kCreate[] = {
        {Hr(DSERR_ALLOCATED), kDeviceAllocated, true},
        {Hr(E_INVALIDARG), kDsInvalidArg, false},
        {Hr(CLASS_E_NOAGGREGATION), kDsNoAggregation, false},
        {Hr(DSERR_NODRIVER), kDsNoDriver, false},
        {Hr(E_OUTOFMEMORY), kDsNoMemory, false},
    };
    static const Message kCooperate[] = {
        {Hr(DSERR_ALLOCATED), kDsPriorityInUse, false},
        {Hr(E_INVALIDARG), kDsInvalidArg, false},
        {Hr(DSERR_UNINITIALIZED), kDsUninitialized, false},
        {Hr(E_NOTIMPL), kDsNotImplemented, false},
    };
    static const Message kFormat[] = {
        {Hr(DSERR_BADFORMAT), kDsBadFormat, false},
        {Hr(DSERR_INVALIDCALL), "This function is not valid for the current state of this object.", false},
        {Hr(E_INVALIDARG), kDsInvalidArg, false},
        {Hr(E_OUTOFMEMORY), kDsNoMemory, false},
        {Hr(DSERR_PRIOLEVELNEEDED), "The caller does not have the priority level required for the function to succeed.",
         false},
        {Hr(E_NOTIMPL), kDsNotImplemented, false},
    };
    static const Message kBuffer[] = {
        {Hr(DSERR_ALLOCATED), kDsPriorityInUse, false},
        {Hr(DSERR_BADFORMAT), kDsBadFormat, false},
        {Hr(E_INVALIDARG), "AN invalid parameter was passed to the returning function.", false},
        {Hr(CLASS_E_NOAGGREGATION), kDsNoAggregation, false},
        {Hr(DSERR_NODRIVER), kDsNoDriver, false},
        {Hr(E_OUTOFMEMORY), kDsNoMemory, false},
        {Hr(DSERR_UNINITIALIZED), kDsUninitialized, false},
        {Hr(E_NOTIMPL), kDsNotImplemented, false},
    };
    static const Message kQuery[] = {
        {Hr(E_NOINTERFACE), "DirectSound initialization error!\nBe sure to use at least Direct-X 5!", true},
        {Hr(E_FAIL), "IDirectSound and IDirectSoundBuffer only!", false},
        {Hr(E_INVALIDARG), "Warning! An invalid parameter was passed to the returning function!!!", false},
    };
    static const Message kPositions[] = {
        {Hr(E_OUTOFMEMORY), kDsNoMemory, false},
        {Hr(E_INVALIDARG), "An invalid parameter was passed to the returning function!!!", false},
    };

    if (g_threadsAvailable == 0) {
        AfxMessageBox("Cannot initialize DirectSound due to low Windows resources!");
        return false;
    }
    HRESULT r = DirectSoundCreate(g_deviceGuids[entry], &g_pDirectSound, nullptr);
    if (r != DS_OK) {
        g_pDirectSound = nullptr;
        ShowResult(kCreate, Hr(r));
        return false;
    }
    // The cooperative level's window is not used by this device layer.
    r = g_pDirectSound->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    if (r != DS_OK) {
        ShowResult(kCooperate, Hr(r));
        ReleaseDirectSound();
        return false;
    }
    if (g_responseTime > kLastLatencyIndex) g_responseTime = kLastLatencyIndex;
    if (g_responseTime < 0) g_responseTime = 0;
    FillWaveFormat();

    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(DSBUFFERDESC);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    r = g_pDirectSound->CreateSoundBuffer(&desc, &g_pPrimaryBuffer, nullptr);
    if (r != DS_OK) {
        g_pPrimaryBuffer = nullptr;
        AfxMessageBox("Failed to Create Primary DirectSound Buffer.");
        ReleaseDirectSound();
        return false;
    }
    r = g_pPrimaryBuffer->SetFormat(&g_waveFormat);
    if (r != DS_OK) {
        ShowResult(kFormat, Hr(r));
        ReleaseDirectSound();
        return false;
    }

    const uint32_t ms = g_directSoundLatencyMs[g_responseTime];
    g_bufferFrames = 44 * ms;
    g_bufferMs = ms;
    g_pollWaitMs = g_waitTimeoutMs[g_responseTime];
    ComputeSubBlocks(g_bufferFrames);

    const bool notify = ms >= kNotifyPathMs;
    desc = DSBUFFERDESC{};
    desc.dwSize = sizeof(DSBUFFERDESC);
    desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | (notify ? DSBCAPS_CTRLPOSITIONNOTIFY : 0);
    desc.dwBufferBytes = g_bufferFrames * 4 * 2;
    desc.lpwfxFormat = &g_waveFormat;
    r = g_pDirectSound->CreateSoundBuffer(&desc, &g_pSoundBuffer, nullptr);
    if (r != DS_OK) {
        g_pSoundBuffer = nullptr;
        ShowResult(kBuffer, Hr(r));
        ReleaseDirectSound();
        return false;
    }

    g_pSoundNotify = nullptr;
    if (notify) {
        void* object = nullptr;
        r = g_pSoundBuffer->QueryInterface(IID_IDirectSoundNotify, &object);
        if (r != DS_OK) {
            ShowResult(kQuery, Hr(r));
            ReleaseDirectSound();
            return false;
        }
        g_pSoundNotify = static_cast<IDirectSoundNotify*>(object);
        const DSBPOSITIONNOTIFY positions[2] = {{0, g_hNotifyEventA}, {g_bufferFrames * 4, g_hNotifyEventB}};
        r = g_pSoundNotify->SetNotificationPositions(2, positions);
        if (r != DS_OK) {
            ShowResult(kPositions, Hr(r));
            ReleaseDirectSound();
            return false;
        }
    }

    g_deviceMode = 2;
    ClearEventQueues();
    g_lastHalf = -1;
    g_playHalf = 0;
    g_audioRunning = 1;
    g_deviceOpen = 1;
    g_notifyBusy = 0;
    if (notify) {
        // A notification left over from the previous buffer (one that came while
        // the threads were being suspended) must not fill a half of this one.
        ResetEvent(g_hNotifyEventA);
        ResetEvent(g_hNotifyEventB);
        ResumeThread(g_hNotifyThreadA);
        ResumeThread(g_hNotifyThreadB);
        g_renderThreadMode = 1;
    } else {
        ResumeThread(g_hPollThread);
        g_renderThreadMode = 2;
    }
    g_pSoundBuffer->Play(0, 0, DSBPLAY_LOOPING);
    return true;
}

}  // namespace

uint32_t WaveOutResponseFrames() {
    const int32_t r = g_responseTime;
    return static_cast<uint32_t>(std::clamp(r, g_responseMin[0], g_responseMax[0]));
}

int DSoundEnumCallback(GUID* guid, const char* description, const char*, void* context) {
    auto* list = static_cast<DsEnumList*>(context);
    GUID* copy = nullptr;
    if (guid != nullptr) {
        copy = new (std::nothrow) GUID(*guid);
        if (copy == nullptr) return 1;  // skipped; enumeration goes on
    }
    list->guid[g_dsEnumCount] = copy;
    list->name[g_dsEnumCount] = description != nullptr ? description : "";
    ++g_dsEnumCount;
    return g_dsEnumCount + g_deviceCount < kMaxDirectSoundDevices ? 1 : 0;
}

void EnumerateAudioDevices() {
    static const Message kCaps[] = {
        {MMSYSERR_BADDEVICEID, "Error! waveOutGetDevCaps\nSpecified device identifier is out of range.", false},
        {MMSYSERR_NODRIVER, "Error! waveOutGetDevCaps\nNo device driver is present.", false},
        {MMSYSERR_NOMEM, "Error! waveOutGetDevCaps\nUnable to allocate or lock memory.", false},
    };

    for (GUID*& g : g_deviceGuids) {  // a list made before (tests enumerate again)
        delete g;
        g = nullptr;
    }
    g_deviceCount = 0;
    const uint32_t devices = waveOutGetNumDevs();
    if (devices == 0) {
        AfxMessageBox("No wave-out device available.");
        return;
    }
    g_deviceNames[0] = "Microsoft Wave Mapper";
    g_deviceIsDirectSound[0] = 0;
    g_deviceIds[0] = WAVE_MAPPER;
    g_deviceCount = 1;

    const uint32_t examine = std::min<uint32_t>(devices, kMaxAudioDevices);
    for (uint32_t id = 0; id < examine; ++id) {
        WAVEOUTCAPS caps{};
        const MMRESULT r = waveOutGetDevCaps(id, &caps);
        if (r != MMSYSERR_NOERROR) {
            ShowResult(kCaps, r);
            return;
        }
        if (caps.wChannels != 2 || (caps.dwFormats & WAVE_FORMAT_4S16) == 0 || (caps.dwSupport & WAVECAPS_SYNC) != 0)
            continue;
        if (g_deviceCount >= kMaxAudioDevices) continue;
        g_deviceNames[g_deviceCount] = caps.szPname;
        g_deviceIsDirectSound[g_deviceCount] = 0;
        g_deviceIds[g_deviceCount] = id;
        ++g_deviceCount;
    }

    DsEnumList list{};
    g_dsEnumCount = 0;
    if (DirectSoundEnumerate(DSoundEnumCallback, &list) != DS_OK) {
        for (int i = 0; i < g_dsEnumCount; ++i) delete list.guid[i];
        return;
    }
    for (int i = 0; i < g_dsEnumCount; ++i) {
        if (g_deviceCount >= kMaxAudioDevices) {
            delete list.guid[i];
            continue;
        }
        g_deviceNames[g_deviceCount] = list.name[i];
        g_deviceGuids[g_deviceCount] = list.guid[i];
        g_deviceIsDirectSound[g_deviceCount] = 1;
        g_deviceIds[g_deviceCount] = 0;
        ++g_deviceCount;
    }
}

bool OpenAudioDevice() {
    if (g_deviceOpen != 0) return false;
    g_deviceMode = 0;
    if (g_deviceCount == 0) return false;
    g_masterMute = 0;
    int32_t entry = g_waveOutDevice;
    if (entry < 0 || entry >= g_deviceCount) entry = 0;  // a stale index opens the first entry
    return g_deviceIsDirectSound[entry] != 0 ? OpenDirectSound(entry) : OpenWaveOut(entry);
}

void CloseAudioDevice() {
    if (g_deviceOpen == 0) return;
    g_deviceOpen = 0;
    g_songPlaying = 0;
    g_playFlag = 0;
    if (g_deviceMode == 1) {
        // Cleared first, so the callbacks for the buffers that the reset hands
        // back do nothing.
        g_audioRunning = 0;
        waveOutReset(g_hWaveOut);
        waveOutUnprepareHeader(g_hWaveOut, &g_waveHeader[0]);
        waveOutUnprepareHeader(g_hWaveOut, &g_waveHeader[1]);
        waveOutClose(g_hWaveOut);
        g_hWaveOut = nullptr;
        FreeWaveBuffers();
        g_releaseDevicePending = 0;
    } else {
        g_audioRunning = 0;
        g_releaseDevicePending = 0;
        if (g_renderThreadMode == 1) {
            SuspendThread(g_hNotifyThreadA);
            SuspendThread(g_hNotifyThreadB);
        } else if (g_renderThreadMode == 2) {
            SuspendThread(g_hPollThread);
        }
        g_pSoundBuffer->Stop();
        g_pPrimaryBuffer->Stop();
        g_pSoundBuffer->Release();
        g_pPrimaryBuffer->Release();
        if (g_pSoundNotify != nullptr) g_pSoundNotify->Release();
        g_pDirectSound->Release();
        g_pSoundNotify = nullptr;
        g_pSoundBuffer = nullptr;
        g_pPrimaryBuffer = nullptr;
        g_pDirectSound = nullptr;
        g_renderThreadMode = 0;
    }
}
