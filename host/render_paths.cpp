#include "host/render_paths.h"

#include <atomic>
#include <cstring>
#include <initializer_list>
#include <mutex>

#include "engine/render.h"
#include "engine/stages.h"
#include "host/audio_device.h"
#include "shared/clock.h"
#include "platform/direct_sound.h"
#include "shared/render_call.h"
#include "shared/render_lock.h"
#include "shared/app_settings.h"
#include "shared/settings.h"
#include "shared/transport.h"

Relaxed<uint32_t> g_pollWaitMs{1};
Relaxed<uint32_t> g_subBlockCount{4};
uint32_t g_subBlockFrames[kSubBlockSlots];
uint32_t g_subBlockOffsetA[kSubBlockSlots];
uint32_t g_subBlockOffsetB[kSubBlockSlots];
Relaxed<int32_t> g_lastHalf{-1};
Relaxed<int32_t> g_playHalf{0};
Relaxed<uint32_t> g_playCursor{0};
Relaxed<uint32_t> g_notifyBusy{0};
Relaxed<uint32_t> g_renderThreadMode{0};

namespace {
uint32_t g_staging[2][kStagingFrames];
}  // namespace

uint32_t* g_stagingBuffers[kSubBlockSlots] = {
    g_staging[0], g_staging[1], g_staging[0], g_staging[1], g_staging[0], g_staging[1], g_staging[0],
    g_staging[1], g_staging[0], g_staging[1], g_staging[0], g_staging[1], g_staging[0], g_staging[1],
    g_staging[0], g_staging[1], g_staging[0], g_staging[1], g_staging[0], g_staging[1], g_staging[0],
    g_staging[1], g_staging[0], g_staging[1], g_staging[0], g_staging[1], g_staging[0], g_staging[1],
    g_staging[0], g_staging[1], g_staging[0], g_staging[1]};
Relaxed<uint32_t*> g_blockStart{nullptr};

uint32_t g_scopeRing[kScopeRingBytes / 4];
Relaxed<uint32_t> g_scopeWritePos{0};
Relaxed<uint32_t> g_scopeReadPos{0};

uint8_t g_captureBuffer[kCaptureBufferBytes];
Relaxed<uint32_t> g_captureFill{0};
Relaxed<uint32_t> g_captureTotal{0};
Relaxed<uint32_t> g_captureFileState{0};
Relaxed<uint32_t> g_captureBusy{0};
Relaxed<uint32_t> g_captureOverrun{0};
bool (*g_captureWriter)(const uint8_t* data, uint32_t bytes) = nullptr;

EventHandle g_hPollEvent = nullptr;
EventHandle g_hNotifyEventA = nullptr;
EventHandle g_hNotifyEventB = nullptr;
ThreadHandle g_hPollThread = nullptr;
ThreadHandle g_hNotifyThreadA = nullptr;
ThreadHandle g_hNotifyThreadB = nullptr;
Relaxed<uint8_t> g_threadsRun{1};

namespace {

// One engine call under the render lock; a block whose lock is taken by a song
// change comes out silent.
void RenderUnderLock() {
    if (g_renderLock.try_lock()) {
        RenderBlock();
        g_renderLock.unlock();
        return;
    }
    uint32_t* out = g_renderOut;
    const uint32_t frames = g_renderFrames;
    // Word by word, as the engine writes: the device may read the block meanwhile.
    for (uint32_t i = 0; i < frames; ++i) RelaxedStore(out[i], 0u);
    g_renderOut = out + frames;
}

// Block tail steps 1 and 2: the oscilloscope and capture copies of `frames`
// frames from `block`.
void CopyBlock(const uint32_t* block, uint32_t frames) {
    const uint32_t bytes = frames * 4;
    if (g_scopeOn != 0) {
        uint32_t pos = g_scopeWritePos;
        if (pos + bytes > kScopeRingBytes) pos = 0;  // cannot happen within the block sizes in use
        // Word by word: the oscilloscope reads the ring meanwhile.
        for (uint32_t i = 0; i < frames; ++i) RelaxedStore(g_scopeRing[pos / 4 + i], block[i]);
        g_scopeWritePos = pos + bytes;
    }
    g_captureBusy.store(1, std::memory_order_seq_cst);
    if (g_captureOn.load(std::memory_order_seq_cst) != 0 && g_captureArmed != 0) {
        const uint32_t fill = g_captureFill;
        const uint32_t room = kCaptureMaxDataBytes - g_captureTotal;
        const uint32_t take = bytes < room ? bytes : room;
        bool stop = take == room;  // the file is at its largest size
        if (fill + take <= kCaptureBufferBytes) {
            std::memcpy(g_captureBuffer + fill, block, take);
            g_captureFill = fill + take;
            g_captureTotal += take;
        } else {
            g_captureOverrun = 1;  // the writer fell behind: end the file before the gap
            stop = true;
        }
        if (stop) {
            g_captureArmed = 0;
            g_captureOn.store(0, std::memory_order_seq_cst);
        }
    }
    g_captureBusy.store(0, std::memory_order_release);
}

// Block tail step 3: the staging buffer goes to the capture file once its fill
// is above `threshold` bytes.
void FlushCapture(uint32_t threshold) {
    g_captureBusy.store(1, std::memory_order_seq_cst);
    if (g_captureOn.load(std::memory_order_seq_cst) != 0 && g_captureArmed != 0 && g_captureFill > threshold) {
        if (g_captureWriter == nullptr || g_captureWriter(g_captureBuffer, g_captureFill)) {
            g_captureFileState = 2;
            g_captureFill = 0;
        }
    }
    g_captureBusy.store(0, std::memory_order_release);
}

uint32_t NotifyThreadLoop(EventHandle event, uint32_t self, const uint32_t* offsets) {
    while (g_threadsRun != 0) {
        ThreadParkPoint();
        if (g_threadsRun == 0) break;
        WaitForSingleObject(event, INFINITE);
        if (g_audioRunning == 0) continue;
        g_bufferStartTime = timeGetTime();
        // The other thread may still be filling its half: this notification is
        // dropped and the half plays its old content again.
        uint32_t idle = 0;
        if (!g_notifyBusy.compare_exchange(idle, self)) continue;
        g_renderPeriodPos = 0;
        g_scopeWritePos = 0;
        g_scopeReadPos = 0;
        IDirectSoundBuffer* buffer = g_pSoundBuffer;
        const uint32_t count = g_subBlockCount;
        for (uint32_t i = 0; i < count && i < kSubBlockSlots; ++i) {
            const uint32_t frames = g_subBlockFrames[i];
            uint32_t* staging = g_stagingBuffers[i];
            if (g_renderBusy == 0) {
                g_renderOut = staging;
                g_renderFrames = frames;
                RenderUnderLock();
            }
            void* p1 = nullptr;
            void* p2 = nullptr;
            uint32_t n1 = 0;
            uint32_t n2 = 0;
            if (buffer->Lock(offsets[i], frames * 4, &p1, &n1, &p2, &n2, 0) == DS_OK) {
                // The device plays from the looping buffer meanwhile.
                RelaxedCopy(static_cast<uint32_t*>(p1), staging, n1 / 4);
                if (p2 != nullptr) RelaxedCopy(static_cast<uint32_t*>(p2), staging + n1 / 4, n2 / 4);
                buffer->Unlock(p1, n1, p2, n2);
            }
            g_renderPeriodPos += frames;
            CopyBlock(staging, frames);
        }
        FlushCapture(kDirectSoundFlushBytes);
        g_notifyBusy = 0;
        UpdateEffectUnits();
    }
    return 0;
}

}  // namespace

void WaveOutCallback(HWAVEOUT device, uint32_t message, uintptr_t, uintptr_t param1, uintptr_t) {
    if (message != WOM_DONE || g_audioRunning == 0 || g_renderBusy != 0) return;
    auto* header = reinterpret_cast<WAVEHDR*>(param1);
    const uint32_t frames = WaveOutResponseFrames();
    g_bufferStartTime = timeGetTime();
    g_bufferFrames = frames;
    // Back into the queue at once: the device plays the other buffer while this
    // one is rendered.
    header->dwBufferLength = frames * 4;
    waveOutWrite(device, header);
    auto* block = reinterpret_cast<uint32_t*>(header->lpData);
    g_renderOut = block;
    g_blockStart = block;
    g_renderFrames = frames;
    g_renderPeriodPos = 0;
    RenderUnderLock();
    if (g_scopeOn != 0) {
        g_scopeWritePos = 0;
        g_scopeReadPos = 0;
    }
    CopyBlock(block, frames);
    FlushCapture(kWaveOutFlushBytes);
    UpdateEffectUnits();
}

uint32_t DSoundPollThread(void* param) {
    auto event = static_cast<EventHandle>(param);
    while (g_threadsRun != 0) {
        ThreadParkPoint();
        if (g_threadsRun == 0) break;
        const uint32_t wait = g_pollWaitMs;
        WaitForSingleObject(event, wait == 0 ? 1 : wait);
        if (g_audioRunning == 0) continue;
        IDirectSoundBuffer* buffer = g_pSoundBuffer;
        const uint32_t frames = g_bufferFrames;
        uint32_t play = 0;
        uint32_t write = 0;
        buffer->GetCurrentPosition(&play, &write);
        g_playCursor = play;
        g_playHalf = play >= frames * 4 ? 1 : 0;
        if (g_playHalf == g_lastHalf) continue;
        g_bufferStartTime = timeGetTime();
        void* p1 = nullptr;
        void* p2 = nullptr;
        uint32_t n1 = 0;
        uint32_t n2 = 0;
        if (buffer->Lock(g_playHalf == 0 ? frames * 4 : 0, frames * 4, &p1, &n1, &p2, &n2, 0) != DS_OK) continue;
        auto* block = static_cast<uint32_t*>(p1);
        g_renderPeriodPos = 0;
        g_renderOut = block;
        g_renderFrames = n1 / 4;
        RenderUnderLock();
        g_scopeReadPos = 0;
        if (g_scopeWritePos >= kScopeResetBytes) g_scopeWritePos = 0;
        CopyBlock(block, n1 / 4);
        buffer->Unlock(p1, n1, p2, n2);
        g_lastHalf = g_playHalf.load();
        FlushCapture(kDirectSoundFlushBytes);
        UpdateEffectUnits();
    }
    return 0;
}

uint32_t DSoundNotifyThreadA(void* event) {
    return NotifyThreadLoop(static_cast<EventHandle>(event), 1, g_subBlockOffsetA);
}

uint32_t DSoundNotifyThreadB(void* event) {
    return NotifyThreadLoop(static_cast<EventHandle>(event), 2, g_subBlockOffsetB);
}

void ComputeSubBlocks(uint32_t frames) {
    const uint32_t n = g_subBlockCount;
    for (uint32_t i = 0; i < n; ++i) g_subBlockFrames[i] = frames / n;
    g_subBlockFrames[n - 1] = frames - (n - 1) * (frames / n);
    g_subBlockOffsetB[0] = 0;
    g_subBlockOffsetA[0] = frames * 4;
    for (uint32_t i = 1; i < n; ++i) {
        g_subBlockOffsetB[i] = g_subBlockOffsetB[i - 1] + g_subBlockFrames[i - 1] * 4;
        g_subBlockOffsetA[i] = g_subBlockOffsetA[i - 1] + g_subBlockFrames[i - 1] * 4;
    }
}

void EndRenderThreads() {
    g_threadsRun = 0;
    // The notify threads wait for their events without a time-out.
    if (g_hNotifyEventA != nullptr) SetEvent(g_hNotifyEventA);
    if (g_hNotifyEventB != nullptr) SetEvent(g_hNotifyEventB);
    for (ThreadHandle* t : {&g_hPollThread, &g_hNotifyThreadA, &g_hNotifyThreadB}) {
        JoinPlatformThread(*t);
        *t = nullptr;
    }
    for (EventHandle* e : {&g_hPollEvent, &g_hNotifyEventA, &g_hNotifyEventB}) {
        if (*e != nullptr) CloseEvent(*e);
        *e = nullptr;
    }
}

bool CreateRenderThreads() {
    g_audioRunning = 0;
    g_threadsAvailable = 1;
    g_hPollEvent = CreateAutoResetEvent();
    g_hNotifyEventA = CreateAutoResetEvent();
    g_hNotifyEventB = CreateAutoResetEvent();
    g_hPollThread = CreatePlatformThread(DSoundPollThread, g_hPollEvent, true);
    g_hNotifyThreadA = CreatePlatformThread(DSoundNotifyThreadA, g_hNotifyEventA, true);
    g_hNotifyThreadB = CreatePlatformThread(DSoundNotifyThreadB, g_hNotifyEventB, true);
    SetThreadTimeCritical(g_hPollThread);
    SetThreadTimeCritical(g_hNotifyThreadA);
    SetThreadTimeCritical(g_hNotifyThreadB);
    return g_hPollEvent != nullptr && g_hNotifyEventA != nullptr && g_hNotifyEventB != nullptr &&
           g_hPollThread != nullptr && g_hNotifyThreadA != nullptr && g_hNotifyThreadB != nullptr;
}
