// The PortAudio back-end: ALSA and JACK output devices that open a 2-channel
// 44,100 Hz 16-bit stream.
#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_jack.h>
#include <portaudio.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/audio_backend.h"
#include "platform/threads.h"

namespace {

std::string& ClientName() {
    static std::string name = "MorvelCanopy";
    return name;
}
void (*g_openedHook)(const std::string&) = nullptr;

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

// PortAudio is initialised once per process; its library chatter is silenced
// and no sound server is started on our behalf.
bool InitialisePortAudio() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        snd_lib_error_set_handler(QuietAlsa);
        jack_set_error_function(QuietJack);
        jack_set_info_function(QuietJack);
        setenv("JACK_NO_START_SERVER", "1", 0);
        PaJack_SetClientName(ClientName().c_str());
        ok = Pa_Initialize() == paNoError;
    });
    return ok;
}

class PaStreamOut final : public AudioStream {
public:
    PaStreamOut(PaStream* stream, AudioSource* source) : stream_(stream), source_(source) {}
    ~PaStreamOut() override {
        if (stream_ == nullptr) return;
        Stop();
        Pa_CloseStream(stream_);
    }
    bool Start() override {
        if (running_) return true;
        // Everything written before the start is seen by the callback, which
        // runs on the sound server's thread.
        started_.store(true, std::memory_order_release);
        running_ = Pa_StartStream(stream_) == paNoError;
        return running_;
    }
    void Stop() override {
        if (!running_) return;
        Pa_AbortStream(stream_);
        // The last callback has returned: what it wrote is seen from here on.
        (void)finished_.load(std::memory_order_acquire);
        running_ = false;
    }
    bool Paced() const override { return true; }
    uint64_t DeviceUnderflows() const override { return underflows_.load(std::memory_order_relaxed); }

    static int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags flags, void* user) {
        auto* self = static_cast<PaStreamOut*>(user);
        if (!self->started_.load(std::memory_order_acquire)) {
            std::memset(output, 0, static_cast<size_t>(frames) * 4);
            return paContinue;
        }
        if (!self->raised_) {  // the server's thread for this client, raised once
            self->raised_ = true;
            RaiseCurrentThreadPriority();
        }
        if (flags & paOutputUnderflow) self->underflows_.fetch_add(1, std::memory_order_relaxed);
        self->source_->Pull(static_cast<int16_t*>(output), static_cast<uint32_t>(frames));
        self->finished_.fetch_add(1, std::memory_order_release);
        return paContinue;
    }

    PaStream** Slot() { return &stream_; }

private:
    PaStream* stream_;
    AudioSource* source_;
    bool running_ = false;
    bool raised_ = false;  // the callback's own
    // The hand-over with the sound server's thread, which PortAudio and JACK
    // order with their own means: the start publishes what was set up, each
    // callback publishes what it wrote for the stop to take.
    std::atomic<bool> started_{false};
    std::atomic<uint64_t> finished_{0};
    std::atomic<uint64_t> underflows_{0};
};

class PortAudioBackend final : public AudioBackend {
public:
    std::vector<AudioOutputInfo> EnumerateOutputs() override {
        std::vector<AudioOutputInfo> list;
        paIndex_.clear();
        defaultOutput_ = -1;
        if (!InitialisePortAudio()) return list;
        const PaDeviceIndex count = Pa_GetDeviceCount();
        const PaDeviceIndex paDefault = Pa_GetDefaultOutputDevice();
        for (PaDeviceIndex i = 0; i < count; ++i) {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (info == nullptr || info->maxOutputChannels < 2) continue;
            const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
            if (api == nullptr || (api->type != paALSA && api->type != paJACK)) continue;
            PaStreamParameters out{};
            out.device = i;
            out.channelCount = 2;
            out.sampleFormat = paInt16;
            out.suggestedLatency = info->defaultLowOutputLatency;
            if (Pa_IsFormatSupported(nullptr, &out, 44100.0) != paFormatIsSupported) continue;
            if (i == paDefault) defaultOutput_ = static_cast<int>(list.size());
            AudioOutputInfo entry;
            entry.name = info->name;
            list.push_back(entry);
            paIndex_.push_back(i);
        }
        if (defaultOutput_ < 0 && !list.empty()) defaultOutput_ = 0;
        return list;
    }

    int DefaultOutput() override { return defaultOutput_; }

    std::unique_ptr<AudioStream> Open(int output, AudioSource* source, AudioOpenError& error) override {
        error = AudioOpenError::None;
        if (output < 0 || output >= static_cast<int>(paIndex_.size())) {
            error = AudioOpenError::BadDevice;
            return nullptr;
        }
        const PaDeviceInfo* info = Pa_GetDeviceInfo(paIndex_[static_cast<size_t>(output)]);
        if (info == nullptr) {
            error = AudioOpenError::NoDriver;
            return nullptr;
        }
        PaStreamParameters out{};
        out.device = paIndex_[static_cast<size_t>(output)];
        out.channelCount = 2;
        out.sampleFormat = paInt16;
        out.suggestedLatency = info->defaultLowOutputLatency;
        auto stream = std::make_unique<PaStreamOut>(nullptr, source);
        const PaError e = Pa_OpenStream(stream->Slot(), nullptr, &out, 44100.0, paFramesPerBufferUnspecified,
                                        paClipOff | paDitherOff, &PaStreamOut::Callback, stream.get());
        if (e != paNoError) {
            *stream->Slot() = nullptr;  // nothing to close
            switch (e) {
                case paInvalidDevice: error = AudioOpenError::BadDevice; break;
                case paDeviceUnavailable: error = AudioOpenError::Busy; break;
                case paInsufficientMemory: error = AudioOpenError::NoMemory; break;
                case paInvalidChannelCount:
                case paInvalidSampleRate:
                case paSampleFormatNotSupported: error = AudioOpenError::BadFormat; break;
                default: error = AudioOpenError::Other; break;
            }
            return nullptr;
        }
        if (g_openedHook != nullptr) g_openedHook(ClientName());
        return stream;
    }

private:
    std::vector<PaDeviceIndex> paIndex_;
    int defaultOutput_ = -1;
};

}  // namespace

void SetAudioClientName(const std::string& name) { ClientName() = name; }
void SetAudioStreamOpenedHook(void (*hook)(const std::string&)) { g_openedHook = hook; }
std::unique_ptr<AudioBackend> MakePortAudioBackend() { return std::make_unique<PortAudioBackend>(); }
