#include "platform/audio_backend.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

namespace {

struct BackendState {
    std::mutex m;
    std::unique_ptr<AudioBackend> backend;
    bool listed = false;
    std::vector<AudioOutputInfo> outputs;
    int defaultOutput = -1;
};

BackendState& State() {
    static BackendState state;
    return state;
}

AudioBackend& BackendLocked(BackendState& s) {
    if (!s.backend) s.backend = MakePortAudioBackend();
    return *s.backend;
}

void ListLocked(BackendState& s) {
    if (s.listed) return;
    AudioBackend& b = BackendLocked(s);
    s.outputs = b.EnumerateOutputs();
    s.defaultOutput = b.DefaultOutput();
    s.listed = true;
}

}  // namespace

void InstallAudioBackend(std::unique_ptr<AudioBackend> backend) {
    BackendState& s = State();
    std::lock_guard<std::mutex> lock(s.m);
    s.backend = std::move(backend);
    s.listed = false;
    s.outputs.clear();
    s.defaultOutput = -1;
}

AudioBackend& ActiveAudioBackend() {
    BackendState& s = State();
    std::lock_guard<std::mutex> lock(s.m);
    return BackendLocked(s);
}

const std::vector<AudioOutputInfo>& AudioOutputs() {
    BackendState& s = State();
    std::lock_guard<std::mutex> lock(s.m);
    ListLocked(s);
    return s.outputs;
}

int DefaultAudioOutput() {
    BackendState& s = State();
    std::lock_guard<std::mutex> lock(s.m);
    ListLocked(s);
    return s.defaultOutput;
}

int ResolveAudioOutput(int id) {
    const int count = static_cast<int>(AudioOutputs().size());
    if (id == -1) return DefaultAudioOutput();
    return (id >= 0 && id < count) ? id : -1;
}

uint32_t ForcedAudioResult(AudioCall call) { return ActiveAudioBackend().ForcedResult(call); }

void* AllocateAudioBuffer(uint32_t bytes) {
    if (ForcedAudioResult(AudioCall::AllocateBuffer) != 0) return nullptr;
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void FreeAudioBuffer(void* block) { std::free(block); }
