#include "platform/direct_sound.h"

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "platform/audio_backend.h"
#include "shared/relaxed.h"

const GUID IID_IDirectSoundNotify = {0x4D43534E, 0x4E4F, 0x5449, {'F', 'Y', 'S', 'O', 'U', 'N', 'D', '1'}};

namespace {

// Device GUIDs of this layer: a fixed tag and the output index.
constexpr uint32_t kDeviceTag = 0x4D434456;
GUID DeviceGuid(int index) {
    GUID g{kDeviceTag, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    g.Data2 = static_cast<uint16_t>(index);
    return g;
}

bool IsOutputFormat(const WAVEFORMATEX* f) {
    return f != nullptr && f->wFormatTag == WAVE_FORMAT_PCM && f->nChannels == 2 && f->nSamplesPerSec == 44100 &&
           f->wBitsPerSample == 16 && f->nBlockAlign == 4;
}

HRESULT OpenErrorResult(AudioOpenError e) {
    switch (e) {
        case AudioOpenError::None: return DS_OK;
        case AudioOpenError::Busy: return DSERR_ALLOCATED;
        case AudioOpenError::NoMemory: return E_OUTOFMEMORY;
        case AudioOpenError::BadFormat: return DSERR_BADFORMAT;
        case AudioOpenError::BadDevice:
        case AudioOpenError::NoDriver: return DSERR_NODRIVER;
        case AudioOpenError::Other: break;
    }
    return E_FAIL;
}

uint64_t NowNs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// Frames the pump keeps queued beyond two server periods, and the bounds of
// the pump's step interval: a sixteenth of a half-buffer, so that the cursor
// moves finely enough for the smallest buffers while a larger buffer's pump
// does not wake hundreds of times a second for nothing (the default 100 ms
// half-buffer steps every 6.25 ms; buffers of the polling path, up to 40 ms,
// keep steps of at most 2.5 ms).
constexpr uint32_t kQueueMarginFrames = 128;
constexpr long kPumpStepMinNs = 500000;
constexpr long kPumpStepMaxNs = 8000000;

long PumpStepNs(uint32_t bufferFrames) {
    const long sixteenthOfHalf = static_cast<long>(uint64_t{bufferFrames} / 2 * 1000000000ull / 44100 / 16);
    return std::clamp(sixteenthOfHalf, kPumpStepMinNs, kPumpStepMaxNs);
}
constexpr uint32_t kQueueFrames = 16384;

class PrimaryBuffer final : public IDirectSoundBuffer {
public:
    HRESULT SetFormat(const WAVEFORMATEX* format) override {
        if (const uint32_t forced = ForcedAudioResult(AudioCall::SetFormat)) return static_cast<HRESULT>(forced);
        if (format == nullptr) return E_INVALIDARG;
        return IsOutputFormat(format) ? DS_OK : DSERR_BADFORMAT;
    }
    HRESULT GetCurrentPosition(uint32_t* play, uint32_t* write) override {
        if (play) *play = 0;
        if (write) *write = 0;
        return DS_OK;
    }
    HRESULT Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*, uint32_t) override {
        return DSERR_PRIOLEVELNEEDED;
    }
    HRESULT Unlock(void*, uint32_t, void*, uint32_t) override { return DSERR_INVALIDCALL; }
    HRESULT Play(uint32_t, uint32_t, uint32_t) override { return DS_OK; }
    HRESULT Stop() override { return DS_OK; }
    HRESULT QueryInterface(const GUID&, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t Release() override {
        const int left = --refs_;
        if (left == 0) delete this;
        return static_cast<uint32_t>(left);
    }

private:
    std::atomic<int> refs_{1};
};

class SoundBuffer final : public IDirectSoundBuffer, public IDirectSoundNotify, public AudioSource {
public:
    SoundBuffer(int output, uint32_t bytes, bool notify)
        : output_(output), bytes_(bytes), frames_(bytes / 4), notify_(notify), pumpStepNs_(PumpStepNs(bytes / 4)),
          data_(bytes / 4, 0), fresh_(bytes / 4, 0), queue_(kQueueFrames, 0) {}

    void SetStream(std::unique_ptr<AudioStream> s) {
        stream_ = std::move(s);
        streamPaced_ = stream_->Paced();
    }
    int Output() const { return output_; }

    SoundBufferStats Stats() const {
        SoundBufferStats s{};
        s.framesPlayed = played_.load(std::memory_order_relaxed);
        s.lateHalves = late_.load(std::memory_order_relaxed);
        s.queueUnderruns = queueUnderruns_.load(std::memory_order_relaxed);
        s.deviceUnderflows = stream_ ? stream_->DeviceUnderflows() : 0;
        return s;
    }

    // IDirectSoundBuffer
    HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }

    HRESULT GetCurrentPosition(uint32_t* play, uint32_t* write) override {
        const uint32_t c = cursor_.load(std::memory_order_acquire);
        if (play) *play = c * 4;
        if (write) *write = ((c + 32) % frames_) * 4;
        return DS_OK;
    }

    HRESULT Lock(uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* bytes1, void** ptr2, uint32_t* bytes2,
                 uint32_t flags) override {
        if (ptr1 == nullptr || bytes1 == nullptr || flags != 0 || offset >= bytes_ || bytes == 0 ||
            bytes > bytes_ || (offset % 4) != 0 || (bytes % 4) != 0) {
            return E_INVALIDARG;
        }
        auto* base = reinterpret_cast<uint8_t*>(data_.data());
        const uint32_t first = std::min(bytes, bytes_ - offset);
        *ptr1 = base + offset;
        *bytes1 = first;
        if (ptr2) *ptr2 = first < bytes ? base : nullptr;
        if (bytes2) *bytes2 = bytes - first;
        return DS_OK;
    }

    HRESULT Unlock(void* ptr1, uint32_t bytes1, void* ptr2, uint32_t bytes2) override {
        if (!MarkWritten(ptr1, bytes1) || !MarkWritten(ptr2, bytes2)) return E_INVALIDARG;
        return DS_OK;
    }

    HRESULT Play(uint32_t, uint32_t, uint32_t) override {
        std::lock_guard<std::mutex> lock(control_);
        if (playing_) return DS_OK;
        playing_ = true;
        firstHalf_ = true;
        halfStale_ = false;
        const uint32_t c = cursor_.load(std::memory_order_relaxed);
        for (const auto& n : positions_)
            if (n.first == c) SetEvent(n.second);
        if (streamPaced_) {
            consumed_.store(0, std::memory_order_relaxed);
            lastPullFrames_.store(0, std::memory_order_relaxed);
            produced_ = 0;
            qHead_.store(0, std::memory_order_relaxed);
            qTail_.store(0, std::memory_order_relaxed);
            pumpQuit_.store(false, std::memory_order_relaxed);
            // The queue starts with silence of its target length, so the cursor
            // starts at the output rate from its position.
            for (uint32_t i = 0; i < 2 * 128 + kQueueMarginFrames; ++i) RelaxedStore(queue_[i], 0u);
            qTail_.store(2 * 128 + kQueueMarginFrames, std::memory_order_release);
            produced_ = 2 * 128 + kQueueMarginFrames;
            pump_ = std::thread([this] { PumpLoop(); });
        }
        stream_->Start();
        return DS_OK;
    }

    HRESULT Stop() override {
        std::lock_guard<std::mutex> lock(control_);
        if (!playing_) return DS_OK;
        stream_->Stop();
        if (pump_.joinable()) {
            pumpQuit_.store(true, std::memory_order_release);
            pump_.join();
        }
        playing_ = false;
        return DS_OK;
    }

    HRESULT QueryInterface(const GUID& iid, void** object) override {
        if (object == nullptr) return E_INVALIDARG;
        *object = nullptr;
        if (const uint32_t forced = ForcedAudioResult(AudioCall::QueryNotify)) return static_cast<HRESULT>(forced);
        if (std::memcmp(&iid, &IID_IDirectSoundNotify, sizeof(GUID)) != 0 || !notify_) return E_NOINTERFACE;
        ++refs_;
        *object = static_cast<IDirectSoundNotify*>(this);
        return DS_OK;
    }

    uint32_t Release() override {
        const int left = --refs_;
        if (left == 0) {
            Stop();
            stream_.reset();
            delete this;
        }
        return static_cast<uint32_t>(left);
    }

    // IDirectSoundNotify
    HRESULT SetNotificationPositions(uint32_t count, const DSBPOSITIONNOTIFY* positions) override {
        if (const uint32_t forced = ForcedAudioResult(AudioCall::SetNotificationPositions))
            return static_cast<HRESULT>(forced);
        if (count > 0 && positions == nullptr) return E_INVALIDARG;
        std::lock_guard<std::mutex> lock(control_);
        if (playing_) return DSERR_INVALIDCALL;
        std::vector<std::pair<uint32_t, EventHandle>> list;
        for (uint32_t i = 0; i < count; ++i) {
            if (positions[i].dwOffset >= bytes_ || positions[i].hEventNotify == nullptr) return E_INVALIDARG;
            list.emplace_back(positions[i].dwOffset / 4, positions[i].hEventNotify);
        }
        positions_ = std::move(list);
        return DS_OK;
    }

    // AudioSource: on a test stream the pull moves the cursor itself; on a real
    // device it drains the pump's queue.
    void Pull(int16_t* out, uint32_t frames) override {
        auto* dst = reinterpret_cast<uint32_t*>(out);
        if (!streamPaced_) {
            Advance(dst, frames);
            return;
        }
        uint32_t head = qHead_.load(std::memory_order_relaxed);
        const uint32_t avail = qTail_.load(std::memory_order_acquire) - head;
        const uint32_t n = std::min(avail, frames);
        for (uint32_t i = 0; i < n; ++i) dst[i] = RelaxedLoad(queue_[(head + i) % kQueueFrames]);
        qHead_.store(head + n, std::memory_order_release);
        if (n < frames) {
            std::memset(dst + n, 0, static_cast<size_t>(frames - n) * 4);
            queueUnderruns_.fetch_add(1, std::memory_order_relaxed);
        }
        consumed_.fetch_add(frames, std::memory_order_relaxed);
        lastPullFrames_.store(frames, std::memory_order_relaxed);
    }

private:
    ~SoundBuffer() override = default;

    bool MarkWritten(void* ptr, uint32_t bytes) {
        if (ptr == nullptr || bytes == 0) return true;
        auto* base = reinterpret_cast<uint8_t*>(data_.data());
        auto* p = static_cast<uint8_t*>(ptr);
        if (p < base || p + bytes > base + bytes_) return false;
        const size_t first = static_cast<size_t>(p - base) / 4;
        for (size_t i = 0; i < bytes / 4; ++i) RelaxedStore(fresh_[first + i], uint8_t{1});
        return true;
    }

    // Moves the play cursor by `frames`, copying what it passes to `out`, and
    // signals the notification positions it reaches.
    void Advance(uint32_t* out, uint32_t frames) {
        const uint32_t half = frames_ / 2;
        while (frames > 0) {
            const uint32_t c = cursor_.load(std::memory_order_relaxed);
            const uint32_t boundary = c < half ? half : frames_;
            const uint32_t m = std::min(frames, boundary - c);
            for (uint32_t i = 0; i < m; ++i) {
                out[i] = RelaxedLoad(data_[c + i]);
                if (RelaxedLoad(fresh_[c + i]) == 0) halfStale_ = true;
                RelaxedStore(fresh_[c + i], uint8_t{0});
            }
            out += m;
            frames -= m;
            const uint32_t end = c + m;
            cursor_.store(end == frames_ ? 0 : end, std::memory_order_release);
            played_.fetch_add(m, std::memory_order_relaxed);
            if (end == boundary) {
                if (halfStale_ && !firstHalf_) late_.fetch_add(1, std::memory_order_relaxed);
                halfStale_ = false;
                firstHalf_ = false;
            }
            for (const auto& n : positions_) {
                const uint32_t p = n.first == 0 ? frames_ : n.first;
                if (p > c && p <= end) SetEvent(n.second);
            }
        }
    }

    // Moves `frames` frames from the cursor into the queue (as many as fit).
    void Pump(uint64_t frames) {
        const uint32_t space = kQueueFrames - (qTail_.load(std::memory_order_relaxed) -
                                               qHead_.load(std::memory_order_acquire));
        uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(frames, space));
        uint32_t tail = qTail_.load(std::memory_order_relaxed);
        uint32_t chunk[512];
        while (n > 0) {
            const uint32_t m = std::min<uint32_t>(n, 512);
            Advance(chunk, m);
            for (uint32_t i = 0; i < m; ++i) RelaxedStore(queue_[(tail + i) % kQueueFrames], chunk[i]);
            tail += m;
            qTail_.store(tail, std::memory_order_release);
            produced_ += m;
            n -= m;
        }
    }

    // Moves the cursor at the output rate in steps of 0.5 to 8 ms. The
    // rate leans up to 5 % toward keeping the queue at its target (two server
    // periods and a margin), so it follows the frames the server actually takes
    // while late or bunched server periods do not move the cursor in bursts.
    void PumpLoop() {
        RaiseCurrentThreadPriority();
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        uint64_t lastNs = NowNs();
        double owed = 0.0;
        while (!pumpQuit_.load(std::memory_order_acquire)) {
            next.tv_nsec += pumpStepNs_;
            if (next.tv_nsec >= 1000000000) {
                next.tv_nsec -= 1000000000;
                ++next.tv_sec;
            }
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
            const uint64_t now = NowNs();
            const double ms = static_cast<double>(now - lastNs) * 1e-6;
            lastNs = now;
            const uint64_t period = std::max<uint64_t>(lastPullFrames_.load(std::memory_order_relaxed), 64);
            const double target = static_cast<double>(2 * period + kQueueMarginFrames);
            const uint64_t consumed = consumed_.load(std::memory_order_relaxed);
            const double level = produced_ > consumed ? static_cast<double>(produced_ - consumed) : 0.0;
            if (level > 3.0 * target) {
                owed = 0.0;  // the server has stopped taking frames
                continue;
            }
            const double lean = std::clamp((target - level) / target, -1.0, 1.0) * 0.05;
            owed += ms * 44.1 * (1.0 + lean);
            const auto n = static_cast<uint64_t>(owed);
            owed -= static_cast<double>(n);
            Pump(n);
            timespec cur{};
            clock_gettime(CLOCK_MONOTONIC, &cur);
            if (cur.tv_sec > next.tv_sec + 1) next = cur;  // far behind: no burst of steps
        }
    }

    std::atomic<int> refs_{1};
    const int output_;
    const uint32_t bytes_;
    const uint32_t frames_;
    const bool notify_;
    const long pumpStepNs_;
    std::vector<uint32_t> data_;   // the looping buffer, one word per frame
    std::vector<uint8_t> fresh_;   // frame written since it last played
    std::unique_ptr<AudioStream> stream_;
    bool streamPaced_ = false;

    std::mutex control_;
    bool playing_ = false;
    std::vector<std::pair<uint32_t, EventHandle>> positions_;  // frame offset, event
    std::atomic<uint32_t> cursor_{0};
    std::atomic<uint64_t> played_{0};
    std::atomic<uint64_t> late_{0};
    bool firstHalf_ = true;
    bool halfStale_ = false;

    // Pump and its queue (real devices only).
    std::thread pump_;
    std::atomic<bool> pumpQuit_{false};
    std::vector<uint32_t> queue_;
    std::atomic<uint32_t> qHead_{0};
    std::atomic<uint32_t> qTail_{0};
    uint64_t produced_ = 0;
    std::atomic<uint64_t> consumed_{0};
    std::atomic<uint64_t> lastPullFrames_{0};
    std::atomic<uint64_t> queueUnderruns_{0};
};

class DirectSoundObject final : public IDirectSound {
public:
    explicit DirectSoundObject(int output) : output_(output) {}

    HRESULT SetCooperativeLevel(void*, uint32_t level) override {
        if (const uint32_t forced = ForcedAudioResult(AudioCall::SetCooperativeLevel))
            return static_cast<HRESULT>(forced);
        if (level < 1 || level > 4) return E_INVALIDARG;
        level_ = level;
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) override {
        if (buffer == nullptr || desc == nullptr || desc->dwSize != sizeof(DSBUFFERDESC)) return E_INVALIDARG;
        *buffer = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (level_ == 0) return DSERR_UNINITIALIZED;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (const uint32_t forced = ForcedAudioResult(AudioCall::CreatePrimaryBuffer))
                return static_cast<HRESULT>(forced);
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat != nullptr) return E_INVALIDARG;
            auto* p = new (std::nothrow) PrimaryBuffer;
            if (p == nullptr) return E_OUTOFMEMORY;
            *buffer = p;
            return DS_OK;
        }
        if (const uint32_t forced = ForcedAudioResult(AudioCall::CreateSoundBuffer))
            return static_cast<HRESULT>(forced);
        if (desc->lpwfxFormat == nullptr) return E_INVALIDARG;
        if (!IsOutputFormat(desc->lpwfxFormat)) return DSERR_BADFORMAT;
        if (desc->dwBufferBytes < 16 || (desc->dwBufferBytes % 8) != 0) return E_INVALIDARG;
        auto* b = new (std::nothrow)
            SoundBuffer(output_, desc->dwBufferBytes, (desc->dwFlags & DSBCAPS_CTRLPOSITIONNOTIFY) != 0);
        if (b == nullptr) return E_OUTOFMEMORY;
        AudioOpenError error = AudioOpenError::None;
        auto stream = ActiveAudioBackend().Open(output_, b, error);
        if (!stream) {
            b->Release();
            return error == AudioOpenError::None ? E_FAIL : OpenErrorResult(error);
        }
        b->SetStream(std::move(stream));
        *buffer = b;
        return DS_OK;
    }

    uint32_t Release() override {
        const int left = --refs_;
        if (left == 0) delete this;
        return static_cast<uint32_t>(left);
    }

private:
    ~DirectSoundObject() override = default;
    std::atomic<int> refs_{1};
    const int output_;
    uint32_t level_ = 0;
};

}  // namespace

HRESULT DirectSoundEnumerate(LPDSENUMCALLBACK callback, void* context) {
    if (const uint32_t forced = ForcedAudioResult(AudioCall::DirectSoundEnumerate))
        return static_cast<HRESULT>(forced);
    if (callback == nullptr) return E_INVALIDARG;
    const auto& outputs = AudioOutputs();
    if (outputs.empty()) return DS_OK;
    if (callback(nullptr, "Primary Sound Driver", "", context) == 0) return DS_OK;
    for (size_t i = 0; i < outputs.size(); ++i) {
        GUID g = DeviceGuid(static_cast<int>(i));
        if (callback(&g, outputs[i].name.c_str(), "", context) == 0) break;
    }
    return DS_OK;
}

HRESULT DirectSoundCreate(const GUID* device, IDirectSound** object, void* outer) {
    if (object == nullptr) return E_INVALIDARG;
    *object = nullptr;
    if (const uint32_t forced = ForcedAudioResult(AudioCall::DirectSoundCreate)) return static_cast<HRESULT>(forced);
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    int index;
    if (device == nullptr) {
        index = DefaultAudioOutput();
    } else {
        const GUID g = DeviceGuid(device->Data2);
        if (std::memcmp(device, &g, sizeof(GUID)) != 0) return DSERR_NODRIVER;
        index = ResolveAudioOutput(device->Data2);
    }
    if (index < 0) return DSERR_NODRIVER;
    auto* ds = new (std::nothrow) DirectSoundObject(index);
    if (ds == nullptr) return E_OUTOFMEMORY;
    *object = ds;
    return DS_OK;
}

SoundBufferStats GetSoundBufferStats(IDirectSoundBuffer* buffer) {
    auto* b = dynamic_cast<SoundBuffer*>(buffer);
    return b ? b->Stats() : SoundBufferStats{};
}

int SoundBufferOutputIndex(IDirectSoundBuffer* buffer) {
    auto* b = dynamic_cast<SoundBuffer*>(buffer);
    return b ? b->Output() : -1;
}
