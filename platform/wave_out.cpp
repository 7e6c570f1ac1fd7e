#include "platform/wave_out.h"

#include <semaphore.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <thread>

#include "platform/audio_backend.h"
#include "platform/threads.h"
#include "shared/relaxed.h"

namespace {

constexpr uint32_t kQueueSlots = 64;

// Single-producer single-consumer ring of header pointers.
struct HeaderRing {
    WAVEHDR* slot[kQueueSlots] = {};
    std::atomic<uint32_t> head{0};  // next to pop
    std::atomic<uint32_t> tail{0};  // next to push

    bool Push(WAVEHDR* h) {
        const uint32_t t = tail.load(std::memory_order_relaxed);
        if (t - head.load(std::memory_order_acquire) >= kQueueSlots) return false;
        slot[t % kQueueSlots] = h;
        tail.store(t + 1, std::memory_order_release);
        return true;
    }
    WAVEHDR* Pop() {
        const uint32_t h = head.load(std::memory_order_relaxed);
        if (h == tail.load(std::memory_order_acquire)) return nullptr;
        WAVEHDR* p = slot[h % kQueueSlots];
        head.store(h + 1, std::memory_order_release);
        return p;
    }
    bool Empty() const { return head.load(std::memory_order_acquire) == tail.load(std::memory_order_acquire); }
};

uint32_t Flags(const WAVEHDR* h) { return AcquireLoad(h->dwFlags); }
void SetFlags(WAVEHDR* h, uint32_t f) { ReleaseStore(h->dwFlags, f); }

}  // namespace

struct WaveOutDevice final : AudioSource {
    WaveOutProc callback = nullptr;
    uintptr_t instance = 0;
    int output = -1;
    std::unique_ptr<AudioStream> stream;
    bool running = false;

    std::mutex writeMutex;  // writers and reset on the producer side of `queue`
    HeaderRing queue;       // written buffers, popped by Pull
    HeaderRing done;        // finished buffers, popped by the driver thread
    WAVEHDR* current = nullptr;  // Pull's buffer and the frames of it played so far
    uint32_t offset = 0;
    std::atomic<bool> fed{false};
    std::atomic<uint64_t> underruns{0};

    sem_t wake;
    std::atomic<bool> quit{false};
    std::thread driver;
    std::thread::id driverId;
    std::mutex idleMutex;
    std::condition_variable idleCv;
    std::atomic<uint64_t> handed{0};
    uint64_t delivered = 0;

    // Moves a finished buffer to the driver thread.
    void HandBack(WAVEHDR* h) {
        SetFlags(h, (Flags(h) & ~WHDR_INQUEUE) | WHDR_DONE);
        handed.fetch_add(1, std::memory_order_relaxed);
        done.Push(h);
        sem_post(&wake);
    }

    // Sound server side: copies queued buffers out back to back; never blocks.
    void Pull(int16_t* out, uint32_t frames) override {
        auto* dst = reinterpret_cast<uint8_t*>(out);
        while (frames > 0) {
            if (current == nullptr) {
                current = queue.Pop();
                offset = 0;
                if (current == nullptr) {
                    std::memset(dst, 0, static_cast<size_t>(frames) * 4);
                    if (fed.load(std::memory_order_relaxed)) underruns.fetch_add(1, std::memory_order_relaxed);
                    return;
                }
            }
            const uint32_t total = current->dwBufferLength / 4;
            const uint32_t n = std::min(frames, total - std::min(offset, total));
            // A buffer is queued again before it is rendered into: its words
            // are read as the renderer writes them, relaxed.
            const auto* words = reinterpret_cast<const uint32_t*>(current->lpData) + offset;
            for (uint32_t i = 0; i < n; ++i) {
                const uint32_t w = RelaxedLoad(words[i]);
                std::memcpy(dst + static_cast<size_t>(i) * 4, &w, 4);
            }
            dst += static_cast<size_t>(n) * 4;
            frames -= n;
            offset += n;
            if (offset >= total) {
                HandBack(current);
                current = nullptr;
            }
        }
    }

    void DriverLoop() {
        RaiseCurrentThreadPriority();
        callback(this, WOM_OPEN, instance, 0, 0);
        for (;;) {
            while (sem_wait(&wake) != 0) {
            }
            while (WAVEHDR* h = done.Pop()) {
                callback(this, WOM_DONE, instance, reinterpret_cast<uintptr_t>(h), 0);
                std::lock_guard<std::mutex> lock(idleMutex);
                ++delivered;
                idleCv.notify_all();
            }
            if (quit.load(std::memory_order_acquire)) break;
        }
        callback(this, WOM_CLOSE, instance, 0, 0);
    }

    void WaitIdle() {
        if (std::this_thread::get_id() == driverId) return;
        std::unique_lock<std::mutex> lock(idleMutex);
        idleCv.wait(lock, [this] { return delivered >= handed.load(std::memory_order_relaxed); });
    }
};

namespace {

std::mutex g_devicesMutex;
std::set<WaveOutDevice*>& Devices() {
    static std::set<WaveOutDevice*> devices;
    return devices;
}

bool Valid(HWAVEOUT d) {
    std::lock_guard<std::mutex> lock(g_devicesMutex);
    return d != nullptr && Devices().count(d) != 0;
}

MMRESULT OpenErrorResult(AudioOpenError e) {
    switch (e) {
        case AudioOpenError::None: return MMSYSERR_NOERROR;
        case AudioOpenError::BadDevice: return MMSYSERR_BADDEVICEID;
        case AudioOpenError::Busy: return MMSYSERR_ALLOCATED;
        case AudioOpenError::NoMemory: return MMSYSERR_NOMEM;
        case AudioOpenError::BadFormat: return WAVERR_BADFORMAT;
        case AudioOpenError::NoDriver: return MMSYSERR_NODRIVER;
        case AudioOpenError::Other: break;
    }
    return MMSYSERR_ERROR;
}

}  // namespace

uint32_t waveOutGetNumDevs() { return static_cast<uint32_t>(AudioOutputs().size()); }

MMRESULT waveOutGetDevCaps(uint32_t deviceId, WAVEOUTCAPS* caps) {
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    const int index = ResolveAudioOutput(deviceId == WAVE_MAPPER ? -1 : static_cast<int>(deviceId));
    if (index < 0) return MMSYSERR_BADDEVICEID;
    const AudioOutputInfo& info = AudioOutputs()[static_cast<size_t>(index)];
    if (info.capsResult != 0) return info.capsResult;
    std::memset(caps, 0, sizeof(*caps));
    std::strncpy(caps->szPname, info.name.c_str(), sizeof(caps->szPname) - 1);
    caps->dwFormats = info.formats;
    caps->wChannels = info.channels;
    caps->dwSupport = info.support;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format, WaveOutProc callback,
                     uintptr_t instance, uint32_t flags) {
    if (device == nullptr || format == nullptr) return MMSYSERR_INVALPARAM;
    *device = nullptr;
    if (const uint32_t forced = ForcedAudioResult(AudioCall::WaveOutOpen)) return forced;
    if (callback == nullptr || (flags & CALLBACK_FUNCTION) == 0) return MMSYSERR_INVALPARAM;
    const int index = ResolveAudioOutput(deviceId == WAVE_MAPPER ? -1 : static_cast<int>(deviceId));
    if (index < 0) return deviceId == WAVE_MAPPER ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    if (format->wFormatTag != WAVE_FORMAT_PCM || format->nChannels != 2 || format->nSamplesPerSec != 44100 ||
        format->wBitsPerSample != 16 || format->nBlockAlign != 4) {
        return WAVERR_BADFORMAT;
    }
    auto* d = new (std::nothrow) WaveOutDevice;
    if (d == nullptr) return MMSYSERR_NOMEM;
    d->callback = callback;
    d->instance = instance;
    d->output = index;
    AudioOpenError error = AudioOpenError::None;
    d->stream = ActiveAudioBackend().Open(index, d, error);
    if (!d->stream) {
        delete d;
        return error == AudioOpenError::None ? MMSYSERR_ERROR : OpenErrorResult(error);
    }
    sem_init(&d->wake, 0, 0);
    d->driver = std::thread([d] { d->DriverLoop(); });
    d->driverId = d->driver.get_id();
    d->running = d->stream->Start();
    {
        std::lock_guard<std::mutex> lock(g_devicesMutex);
        Devices().insert(d);
    }
    *device = d;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header) {
    if (!Valid(device)) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || header->lpData == nullptr) return MMSYSERR_INVALPARAM;
    if (Flags(header) & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    SetFlags(header, Flags(header) | WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header) {
    if (!Valid(device)) return MMSYSERR_INVALHANDLE;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    if (Flags(header) & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    SetFlags(header, Flags(header) & ~WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header) {
    if (!Valid(device)) return MMSYSERR_INVALHANDLE;
    if (const uint32_t forced = ForcedAudioResult(AudioCall::WaveOutWrite)) return forced;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    const uint32_t f = Flags(header);
    if ((f & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
    if (f & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    std::lock_guard<std::mutex> lock(device->writeMutex);
    SetFlags(header, (f & ~WHDR_DONE) | WHDR_INQUEUE);
    if (!device->queue.Push(header)) {
        SetFlags(header, f);
        return MMSYSERR_NOMEM;
    }
    device->fed.store(true, std::memory_order_relaxed);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT device) {
    if (!Valid(device)) return MMSYSERR_INVALHANDLE;
    const bool onDriver = std::this_thread::get_id() == device->driverId;
    // A callback that is running while the reset starts may write its buffer
    // again; the reset then goes round once more.
    for (int pass = 0; pass < 16; ++pass) {
        {
            std::lock_guard<std::mutex> lock(device->writeMutex);
            if (device->running) device->stream->Stop();
            device->running = false;
            device->fed.store(false, std::memory_order_relaxed);
            if (device->current != nullptr) device->HandBack(device->current);
            device->current = nullptr;
            while (WAVEHDR* h = device->queue.Pop()) device->HandBack(h);
        }
        if (onDriver) break;
        device->WaitIdle();
        std::lock_guard<std::mutex> lock(device->writeMutex);
        if (device->queue.Empty()) break;
    }
    std::lock_guard<std::mutex> lock(device->writeMutex);
    device->running = device->stream->Start();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT device) {
    if (!Valid(device)) return MMSYSERR_INVALHANDLE;
    if (std::this_thread::get_id() == device->driverId) return MMSYSERR_ERROR;
    {
        std::lock_guard<std::mutex> lock(device->writeMutex);
        if (device->running) device->stream->Stop();  // Pull no longer runs
        device->running = false;
        if (device->current != nullptr || !device->queue.Empty()) {
            device->running = device->stream->Start();
            return WAVERR_STILLPLAYING;
        }
        device->stream.reset();
    }
    {
        std::lock_guard<std::mutex> lock(g_devicesMutex);
        Devices().erase(device);
    }
    device->quit.store(true, std::memory_order_release);
    sem_post(&device->wake);
    device->driver.join();
    sem_destroy(&device->wake);
    delete device;
    return MMSYSERR_NOERROR;
}

void waveOutWaitIdle(HWAVEOUT device) {
    if (Valid(device)) device->WaitIdle();
}

uint64_t waveOutUnderruns(HWAVEOUT device) {
    return Valid(device) ? device->underruns.load(std::memory_order_relaxed) : 0;
}

int waveOutOutputIndex(HWAVEOUT device) { return Valid(device) ? device->output : -1; }
