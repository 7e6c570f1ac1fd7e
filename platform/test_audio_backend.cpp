#include "platform/test_audio_backend.h"

#include <algorithm>

class TestAudioBackend::Stream final : public AudioStream {
public:
    Stream(TestAudioBackend* owner, AudioSource* source) : owner_(owner), source_(source) {}
    ~Stream() override {
        std::lock_guard<std::mutex> lock(owner_->m_);
        auto& v = owner_->live_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    bool Start() override {
        std::lock_guard<std::mutex> lock(owner_->m_);
        running_ = true;
        startOrder_ = ++owner_->starts_;
        return true;
    }
    void Stop() override {
        std::lock_guard<std::mutex> lock(owner_->m_);
        running_ = false;
    }
    bool Paced() const override { return false; }

    TestAudioBackend* owner_;
    AudioSource* source_;
    bool running_ = false;
    int startOrder_ = 0;
};

void TestAudioBackend::ForceResult(AudioCall call, uint32_t result, int skip) {
    std::lock_guard<std::mutex> lock(m_);
    forced_[static_cast<size_t>(call)] = Forced{result, skip};
}

uint32_t TestAudioBackend::ForcedResult(AudioCall call) {
    std::lock_guard<std::mutex> lock(m_);
    Forced& f = forced_[static_cast<size_t>(call)];
    if (f.result == 0) return 0;
    if (f.skip > 0) {
        --f.skip;
        return 0;
    }
    const uint32_t r = f.result;
    f.result = 0;
    return r;
}

std::unique_ptr<AudioStream> TestAudioBackend::Open(int output, AudioSource* source, AudioOpenError& error) {
    std::lock_guard<std::mutex> lock(m_);
    error = openError_;
    openError_ = AudioOpenError::None;
    if (error != AudioOpenError::None) return nullptr;
    if (output < 0 || output >= static_cast<int>(outputs_.size())) {
        error = AudioOpenError::BadDevice;
        return nullptr;
    }
    auto s = std::make_unique<Stream>(this, source);
    live_.push_back(s.get());
    lastOutput_ = output;
    return s;
}

std::vector<uint32_t> TestAudioBackend::Pull(uint32_t frames) {
    Stream* newest = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_);
        for (Stream* s : live_)
            if (s->running_ && (newest == nullptr || s->startOrder_ > newest->startOrder_)) newest = s;
    }
    if (newest == nullptr) return {};
    std::vector<uint32_t> out(frames);
    newest->source_->Pull(reinterpret_cast<int16_t*>(out.data()), frames);
    return out;
}

int TestAudioBackend::LiveStreams() const {
    std::lock_guard<std::mutex> lock(m_);
    return static_cast<int>(live_.size());
}

int TestAudioBackend::LastOpenedOutput() const {
    std::lock_guard<std::mutex> lock(m_);
    return lastOutput_;
}

bool TestAudioBackend::AnyStreamRunning() const {
    std::lock_guard<std::mutex> lock(m_);
    for (Stream* s : live_)
        if (s->running_) return true;
    return false;
}
