// DirectSound-style output on the audio back-end: device enumeration, a device
// object with a cooperative level, a primary buffer that takes the output
// format, and looping secondary buffers with Lock/Unlock, a play cursor and
// position notifications on auto-reset events.
//
// The play cursor of a looping buffer keeps the buffer's own timing: on a real
// device a pump thread of this layer moves the audio from the looping buffer
// into a small queue that the sound server drains, every half millisecond at
// the output rate, leaning up to 5 % faster or slower to keep the queue at two
// server periods and a margin. The cursor so advances with the audio the server
// actually takes, smoothly even when the server's periods are longer or shorter
// than the buffer's halves, late or bunched; no period is skipped or played
// twice. A notification position is signalled when the cursor reaches it, and
// at Play for a position the cursor starts on.
#pragma once

#include <cstdint>

#include "platform/threads.h"
#include "platform/wave_out.h"

using HRESULT = int32_t;

inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000Au);
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
inline constexpr HRESULT DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780046u);
inline constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
inline constexpr HRESULT DSERR_UNINITIALIZED = static_cast<HRESULT>(0x887800AAu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline constexpr uint32_t DSSCL_PRIORITY = 2;
inline constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x00000001;
inline constexpr uint32_t DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
inline constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x00008000;
inline constexpr uint32_t DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;
inline constexpr uint32_t DSBPLAY_LOOPING = 0x00000001;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
// Asks a sound buffer for its notification interface.
extern const GUID IID_IDirectSoundNotify;

struct DSBUFFERDESC {
    uint32_t dwSize;  // sizeof(DSBUFFERDESC)
    uint32_t dwFlags;
    uint32_t dwBufferBytes;
    uint32_t dwReserved;
    WAVEFORMATEX* lpwfxFormat;
};

struct DSBPOSITIONNOTIFY {
    uint32_t dwOffset;
    EventHandle hEventNotify;
};

class IDirectSoundNotify {
public:
    virtual HRESULT SetNotificationPositions(uint32_t count, const DSBPOSITIONNOTIFY* positions) = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IDirectSoundNotify() = default;
};

class IDirectSoundBuffer {
public:
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // Byte offsets of the play cursor and of the first byte safe to write.
    virtual HRESULT GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
    // The region of `bytes` bytes at `offset`, split in two where it wraps.
    virtual HRESULT Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1, void** ptr2,
                         uint32_t* bytes2, uint32_t flags) = 0;
    virtual HRESULT Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) = 0;
    virtual HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};

class IDirectSound {
public:
    virtual HRESULT SetCooperativeLevel(void* window, uint32_t level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IDirectSound() = default;
};

// Called once per device: the default device first, with a null GUID, as
// "Primary Sound Driver", then every output device; return nonzero to go on.
using LPDSENUMCALLBACK = int (*)(GUID* guid, const char* description, const char* module, void* context);

HRESULT DirectSoundEnumerate(LPDSENUMCALLBACK callback, void* context);
// A null GUID opens the default device.
HRESULT DirectSoundCreate(const GUID* device, IDirectSound** object, void* outer);

// For tests and measurements, per secondary buffer.
struct SoundBufferStats {
    uint64_t framesPlayed;      // frames the play cursor has moved since Play
    uint64_t lateHalves;        // halves that played with frames not written since their last play
                                // (the first half after Play, silence by design, is not counted)
    uint64_t queueUnderruns;    // device periods that found the pump's queue short
    uint64_t deviceUnderflows;  // periods in which the sound server itself ran dry
};
SoundBufferStats GetSoundBufferStats(IDirectSoundBuffer* buffer);
int SoundBufferOutputIndex(IDirectSoundBuffer* buffer);
