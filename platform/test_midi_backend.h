// A MIDI back-end for tests: port lists the test chooses (with a listing error
// at a chosen place), forced open results, messages injected as if they had
// arrived at the open input, and a log of every message sent.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/midi.h"

class TestMidiBackend final : public MidiBackend {
public:
    TestMidiBackend(std::vector<std::string> inputs, std::vector<std::string> outputs)
        : inputs_(std::move(inputs)), outputs_(std::move(outputs)) {}

    // The listing stops before entry `at` with `error`.
    void FailInputListing(size_t at, uint32_t error) { inError_ = {at, error}; }
    void FailOutputListing(size_t at, uint32_t error) { outError_ = {at, error}; }
    // Opening the port of that name gives `result`.
    void ForceOpen(const std::string& name, MidiOpenResult result) { forced_[name] = result; }

    // Delivers a whole message to the open input as its port would (from the
    // calling thread); nothing while no input is open.
    void Inject(std::vector<uint8_t> bytes);
    void InjectWord(uint32_t message);  // a short message, sized by its status

    // What was sent, each message packed as a word (status in the low byte).
    std::vector<uint32_t> Sent() const;
    void ClearSent();
    std::string OpenInput() const { return openIn_; }
    std::string OpenOutput() const { return openOut_; }

    MidiPortList ListInputs() override { return List(inputs_, inError_); }
    MidiPortList ListOutputs() override { return List(outputs_, outError_); }
    MidiOpenResult OpenIn(const std::string& name) override;
    void CloseIn() override;
    MidiOpenResult OpenOut(const std::string& name) override;
    void CloseOut() override;
    void Send(const uint8_t* bytes, size_t count) override;

private:
    struct ListError {
        size_t at = SIZE_MAX;
        uint32_t error = 0;
    };
    static MidiPortList List(const std::vector<std::string>& names, ListError e);
    MidiOpenResult Open(const std::vector<std::string>& names, const std::string& name);

    std::vector<std::string> inputs_, outputs_;
    ListError inError_, outError_;
    std::map<std::string, MidiOpenResult> forced_;
    std::string openIn_, openOut_;
    std::atomic<bool> inOpen_{false};  // Inject runs on the test's sender threads
    mutable std::mutex m_;
    std::vector<uint32_t> sent_;
};

// A back-end for measurements: one input "In" and one output "Out" that take
// messages without allocating or keeping them, only counting what is sent.
class QuietMidiBackend final : public MidiBackend {
public:
    MidiPortList ListInputs() override { return {{"In"}, 0}; }
    MidiPortList ListOutputs() override { return {{"Out"}, 0}; }
    MidiOpenResult OpenIn(const std::string&) override { return MidiOpenResult::Ok; }
    void CloseIn() override {}
    MidiOpenResult OpenOut(const std::string&) override { return MidiOpenResult::Ok; }
    void CloseOut() override {}
    void Send(const uint8_t*, size_t) override { sent.fetch_add(1, std::memory_order_relaxed); }
    std::atomic<uint32_t> sent{0};
};
