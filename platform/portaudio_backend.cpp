// The PortAudio back-end: ALSA and JACK output devices that open a 2-channel
// 44,100 Hz 16-bit stream. A stream on a JACK device outlives the device that
// opened it, so the program's ports keep their names and connections (below).
#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pa_jack.h>
#include <portaudio.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <memory>
#include <string>
#include <thread>

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

// One PortAudio output stream. Its callback pulls the attached source, or
// plays silence while none is attached; detaching returns once the callback no
// longer pulls the old source.
struct PaOutput {
    PaStream* stream = nullptr;
    PaDeviceIndex device = paNoDevice;
    bool running = false;  // started and not aborted (owner's thread)
    bool claimed = false;  // a stream handle uses it (under g_keptMutex when kept)

    void Attach(AudioSource* s) { source.store(s, std::memory_order_seq_cst); }
    void Detach() {
        source.store(nullptr, std::memory_order_seq_cst);
        // Once the callback is seen not pulling, it sees no source until the
        // next attach (it marks itself pulling before it looks again).
        while (pulling.load(std::memory_order_seq_cst)) std::this_thread::yield();
    }

    static int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags flags, void* user) {
        auto* self = static_cast<PaOutput*>(user);
        // The first look takes what the last attach or detach published (the
        // first attach comes before the start, so the set-up among it).
        AudioSource* s = self->source.load(std::memory_order_acquire);
        if (s != nullptr) {
            // Marked pulling before the source is looked at again, so a detach
            // either waits for this pull or is seen here.
            self->pulling.store(true, std::memory_order_seq_cst);
            if (self->source.load(std::memory_order_seq_cst) != s) {
                self->pulling.store(false, std::memory_order_release);
                s = nullptr;
            }
        }
        if (s == nullptr) {
            std::memset(output, 0, static_cast<size_t>(frames) * 4);
            return paContinue;
        }
        if (!self->raised) {  // the server's thread for this client, raised once
            self->raised = true;
            RaiseCurrentThreadPriority();
        }
        if (flags & paOutputUnderflow) self->underflows.fetch_add(1, std::memory_order_relaxed);
        s->Pull(static_cast<int16_t*>(output), static_cast<uint32_t>(frames));
        // What the pull wrote is seen by the thread that detaches.
        self->pulling.store(false, std::memory_order_release);
        return paContinue;
    }

    // The hand-over with the sound server's thread: an attach publishes what
    // was set up for the source, a detach takes what the last pull wrote.
    std::atomic<AudioSource*> source{nullptr};
    std::atomic<bool> pulling{false};
    std::atomic<uint64_t> underflows{0};
    bool raised = false;  // the callback's own
};

// A JACK output is kept open and running from its first open to the end of the
// process: closing a stream unregisters its ports and stopping one cuts every
// connection they have, and the next stream's ports come back under new names
// (the JACK host API numbers them on from a counter). So a connection the user
// made to the program's ports (to a recorder, another program) would not
// survive the song export or a change in Preferences. Closing the device only
// detaches its source, and opening it again on the same JACK device takes the
// kept stream back: the ports keep their names and their connections. A second
// JACK stream opened while the kept one is in use is an ordinary one.
std::mutex g_keptMutex;
PaOutput* g_keptJack = nullptr;  // never freed: the server's thread may still call it at exit

void CloseOutput(PaOutput* out) {
    if (out->running) Pa_AbortStream(out->stream);
    Pa_CloseStream(out->stream);
    delete out;
}

class PaStreamOut final : public AudioStream {
public:
    PaStreamOut(PaOutput* out, AudioSource* source, bool kept)
        : out_(out), source_(source), kept_(kept), underflowBase_(out->underflows.load(std::memory_order_relaxed)) {}
    ~PaStreamOut() override {
        Stop();
        if (kept_) {
            std::lock_guard<std::mutex> lock(g_keptMutex);
            out_->claimed = false;
        } else {
            CloseOutput(out_);
        }
    }
    bool Start() override {
        if (attached_) return true;
        // Everything written before the start is seen by the callback, which
        // runs on the sound server's thread.
        out_->Attach(source_);
        if (!out_->running) out_->running = Pa_StartStream(out_->stream) == paNoError;
        if (!out_->running) {
            out_->Detach();
            return false;
        }
        attached_ = true;
        return true;
    }
    void Stop() override {
        if (!attached_) return;
        out_->Detach();  // the last pull has returned: what it wrote is seen from here on
        attached_ = false;
        if (kept_) return;  // a kept stream plays silence on
        Pa_AbortStream(out_->stream);
        out_->running = false;
    }
    bool Paced() const override { return true; }
    uint64_t DeviceUnderflows() const override {
        return out_->underflows.load(std::memory_order_relaxed) - underflowBase_;
    }

private:
    PaOutput* out_;
    AudioSource* source_;
    bool kept_;
    bool attached_ = false;
    uint64_t underflowBase_;
};

class PortAudioBackend final : public AudioBackend {
public:
    std::vector<AudioOutputInfo> EnumerateOutputs() override {
        std::vector<AudioOutputInfo> list;
        paIndex_.clear();
        isJack_.clear();
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
            isJack_.push_back(api->type == paJACK);
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
        const PaDeviceIndex device = paIndex_[static_cast<size_t>(output)];
        const bool jack = isJack_[static_cast<size_t>(output)];
        if (jack) {
            std::lock_guard<std::mutex> lock(g_keptMutex);
            PaOutput* kept = g_keptJack;
            // A kept stream that the server has stopped, or one on another JACK
            // device, makes way for a new one.
            if (kept != nullptr && !kept->claimed &&
                (kept->device != device || (kept->running && Pa_IsStreamActive(kept->stream) != 1))) {
                CloseOutput(kept);
                g_keptJack = kept = nullptr;
            }
            if (kept != nullptr && !kept->claimed) {
                kept->claimed = true;
                if (g_openedHook != nullptr) g_openedHook(ClientName());
                return std::make_unique<PaStreamOut>(kept, source, true);
            }
        }
        auto out = std::make_unique<PaOutput>();
        out->device = device;
        PaStreamParameters params{};
        params.device = device;
        params.channelCount = 2;
        params.sampleFormat = paInt16;
        params.suggestedLatency = info->defaultLowOutputLatency;
        const PaError e = Pa_OpenStream(&out->stream, nullptr, &params, 44100.0, paFramesPerBufferUnspecified,
                                        paClipOff | paDitherOff, &PaOutput::Callback, out.get());
        if (e != paNoError) {
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
        bool keep = false;
        if (jack) {
            std::lock_guard<std::mutex> lock(g_keptMutex);
            if (g_keptJack == nullptr) {
                out->claimed = true;
                g_keptJack = out.get();
                keep = true;
            }
        }
        if (g_openedHook != nullptr) g_openedHook(ClientName());
        return std::make_unique<PaStreamOut>(out.release(), source, keep);
    }

private:
    std::vector<PaDeviceIndex> paIndex_;
    std::vector<bool> isJack_;
    int defaultOutput_ = -1;
};

}  // namespace

void SetAudioClientName(const std::string& name) { ClientName() = name; }
void SetAudioStreamOpenedHook(void (*hook)(const std::string&)) { g_openedHook = hook; }
std::unique_ptr<AudioBackend> MakePortAudioBackend() { return std::make_unique<PortAudioBackend>(); }
