// A back-end for tests: a device list the test chooses, forced results for the
// calls it wants to fail, and streams that play only when the test pulls them,
// so every buffer end, cursor move and notification happens at a step the test
// decides.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio_backend.h"

class TestAudioBackend final : public AudioBackend {
public:
    explicit TestAudioBackend(std::vector<AudioOutputInfo> outputs, int defaultOutput = 0)
        : outputs_(std::move(outputs)), default_(defaultOutput) {}

    // The next `skip` calls of `call` succeed, the one after returns `result`.
    void ForceResult(AudioCall call, uint32_t result, int skip = 0);
    // Makes the next stream open fail with `error`.
    void FailNextOpen(AudioOpenError error) { openError_ = error; }

    // Pulls `frames` frames from the newest started stream as its device would;
    // returns them one word per frame (left in the low half). Empty when no
    // stream plays.
    std::vector<uint32_t> Pull(uint32_t frames);
    // Streams open now, and the output index of the newest opened.
    int LiveStreams() const;
    int LastOpenedOutput() const;
    bool AnyStreamRunning() const;

    std::vector<AudioOutputInfo> EnumerateOutputs() override { return outputs_; }
    int DefaultOutput() override { return default_; }
    std::unique_ptr<AudioStream> Open(int output, AudioSource* source, AudioOpenError& error) override;
    uint32_t ForcedResult(AudioCall call) override;

private:
    class Stream;
    friend class Stream;
    struct Forced {
        uint32_t result = 0;
        int skip = 0;
    };

    mutable std::mutex m_;
    std::vector<AudioOutputInfo> outputs_;
    int default_;
    std::array<Forced, static_cast<size_t>(AudioCall::Count)> forced_{};
    AudioOpenError openError_ = AudioOpenError::None;
    std::vector<Stream*> live_;
    int starts_ = 0;
    int lastOutput_ = -1;
};
