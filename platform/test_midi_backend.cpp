#include "platform/test_midi_backend.h"

MidiPortList TestMidiBackend::List(const std::vector<std::string>& names, ListError e) {
    MidiPortList list;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i == e.at) {
            list.error = e.error;
            break;
        }
        list.names.push_back(names[i]);
    }
    return list;
}

MidiOpenResult TestMidiBackend::Open(const std::vector<std::string>& names, const std::string& name) {
    if (auto f = forced_.find(name); f != forced_.end()) return f->second;
    for (const std::string& n : names)
        if (n == name) return MidiOpenResult::Ok;
    return MidiOpenResult::Failed;
}

MidiOpenResult TestMidiBackend::OpenIn(const std::string& name) {
    const MidiOpenResult r = Open(inputs_, name);
    if (r == MidiOpenResult::Ok) {
        openIn_ = name;
        inOpen_.store(true, std::memory_order_release);
    }
    return r;
}

void TestMidiBackend::CloseIn() {
    inOpen_.store(false, std::memory_order_release);
    openIn_.clear();
}

MidiOpenResult TestMidiBackend::OpenOut(const std::string& name) {
    const MidiOpenResult r = Open(outputs_, name);
    if (r == MidiOpenResult::Ok) openOut_ = name;
    return r;
}

void TestMidiBackend::CloseOut() { openOut_.clear(); }

void TestMidiBackend::Inject(std::vector<uint8_t> bytes) {
    if (inOpen_.load(std::memory_order_acquire)) MidiBytesArrived(bytes.data(), bytes.size());
}

void TestMidiBackend::InjectWord(uint32_t message) {
    size_t n = MidiMessageLength(uint8_t(message));
    if (n == 0) n = 1;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < n; ++i) bytes.push_back(uint8_t(message >> (8 * i)));
    Inject(bytes);
}

void TestMidiBackend::Send(const uint8_t* bytes, size_t count) {
    uint32_t word = 0;
    for (size_t i = 0; i < count && i < 4; ++i) word |= uint32_t(bytes[i]) << (8 * i);
    std::lock_guard lock(m_);
    sent_.push_back(word);
}

std::vector<uint32_t> TestMidiBackend::Sent() const {
    std::lock_guard lock(m_);
    return sent_;
}

void TestMidiBackend::ClearSent() {
    std::lock_guard lock(m_);
    sent_.clear();
}
