// The MIDI layer above the back-ends: the input ring and its delivery thread,
// the two output rings and their sender thread (see midi.h).
#include "platform/midi.h"

#include <array>
#include <atomic>
#include <thread>

#include "shared/clock.h"

namespace {

std::unique_ptr<MidiBackend> g_backend;

// A fixed ring of one producer and one consumer: the producer publishes an
// entry by a release store of the head, the consumer frees it by a release
// store of the tail.
template <typename T, uint32_t N>
class SpscRing {
    static_assert((N & (N - 1)) == 0);

public:
    bool Push(const T& v) {
        const uint32_t h = head_.load(std::memory_order_relaxed);
        if (h - tail_.load(std::memory_order_acquire) >= N) return false;
        slots_[h & (N - 1)] = v;
        head_.store(h + 1, std::memory_order_release);
        return true;
    }
    bool Pop(T& v) {
        const uint32_t t = tail_.load(std::memory_order_relaxed);
        if (t == head_.load(std::memory_order_acquire)) return false;
        v = slots_[t & (N - 1)];
        tail_.store(t + 1, std::memory_order_release);
        return true;
    }
    uint32_t Head() const { return head_.load(std::memory_order_acquire); }
    uint32_t Tail() const { return tail_.load(std::memory_order_acquire); }
    // Only while neither side runs.
    void Clear() { tail_.store(head_.load()); }

private:
    std::array<T, N> slots_{};
    std::atomic<uint32_t> head_{0};
    std::atomic<uint32_t> tail_{0};
};

// A wake-up word: a waiter sleeps while it keeps the value it read.
struct Wake {
    std::atomic<uint32_t> count{0};
    void Signal() {
        count.fetch_add(1, std::memory_order_release);
        count.notify_one();
    }
};

struct Arrival {
    uint32_t message;
    uint32_t stamp;
};

// Input.
SpscRing<Arrival, 4096> g_inRing;
Wake g_inWake;
std::atomic<bool> g_inAccepting{false};  // arrivals are queued
std::atomic<bool> g_inStopping{false};
std::atomic<uint32_t> g_inStart{0};
std::atomic<MidiInHandler> g_inHandler{nullptr};
std::atomic<uint32_t> g_inDelivered{0};  // messages handled, counted like the ring's head
std::thread g_inThread;
bool g_inOpen = false;  // GUI thread only

// Output.
SpscRing<uint32_t, 1024> g_outRings[2];
Wake g_outWake;
std::atomic<bool> g_outStopping{false};
std::atomic<bool> g_outOpen{false};
std::atomic<uint32_t> g_outSent[2];  // per ring: messages handed to the port, counted like its head
std::thread g_outThread;

void DeliveryLoop() {
    for (;;) {
        const uint32_t seen = g_inWake.count.load(std::memory_order_acquire);
        if (g_inStopping.load(std::memory_order_acquire)) return;
        Arrival a;
        bool any = false;
        while (!g_inStopping.load(std::memory_order_acquire) && g_inRing.Pop(a)) {
            any = true;
            if (MidiInHandler h = g_inHandler.load(std::memory_order_acquire)) h(a.message, a.stamp);
            g_inDelivered.fetch_add(1, std::memory_order_release);
        }
        if (!any) g_inWake.count.wait(seen, std::memory_order_acquire);
    }
}

void SendLoop() {
    for (;;) {
        const uint32_t seen = g_outWake.count.load(std::memory_order_acquire);
        bool any = false;
        for (int i = 0; i < 2; ++i) {
            uint32_t m;
            while (g_outRings[i].Pop(m)) {
                any = true;
                const uint8_t status = uint8_t(m);
                const uint8_t bytes[3] = {status, uint8_t((m >> 8) & 0x7F), uint8_t((m >> 16) & 0x7F)};
                g_backend->Send(bytes, MidiMessageLength(status));
                g_outSent[i].fetch_add(1, std::memory_order_release);
            }
        }
        if (g_outStopping.load(std::memory_order_acquire)) return;
        if (!any) g_outWake.count.wait(seen, std::memory_order_acquire);
    }
}

}  // namespace

void InstallMidiBackend(std::unique_ptr<MidiBackend> backend) { g_backend = std::move(backend); }

MidiBackend& ActiveMidiBackend() {
    if (!g_backend) g_backend = CreateRtMidiBackend();
    return *g_backend;
}

MidiPortList MidiListInputs() { return ActiveMidiBackend().ListInputs(); }
MidiPortList MidiListOutputs() { return ActiveMidiBackend().ListOutputs(); }

size_t MidiMessageLength(uint8_t status) {
    if (status < 0x80) return 0;
    if (status < 0xF0) return (status & 0xE0) == 0xC0 ? 2 : 3;  // program change, channel pressure: 2
    switch (status) {
    case 0xF1:
    case 0xF3: return 2;
    case 0xF2: return 3;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF: return 1;
    default: return 0;  // 0xF0, 0xF7 (system exclusive), 0xF4, 0xF5, 0xF9, 0xFD (undefined)
    }
}

void MidiBytesArrived(const uint8_t* bytes, size_t count) {
    if (count == 0 || count > 3 || !g_inAccepting.load(std::memory_order_acquire)) return;
    const uint8_t status = bytes[0];
    if (MidiMessageLength(status) == 0) return;  // system exclusive and stray bytes
    uint32_t message = status;
    for (size_t i = 1; i < count; ++i) message |= uint32_t(bytes[i] & 0x7F) << (8 * i);
    const Arrival a{message, timeGetTime() - g_inStart.load(std::memory_order_relaxed)};
    while (!g_inRing.Push(a)) {
        // Full: a clock or active sensing gives way; anything else waits for
        // the delivery thread to make room.
        if (status == 0xF8 || status == 0xFE) return;
        if (!g_inAccepting.load(std::memory_order_acquire)) return;
        std::this_thread::yield();
    }
    g_inWake.Signal();
}

MidiOpenResult MidiInOpen(const std::string& name, MidiInHandler handler, uint32_t& started) {
    if (g_inOpen) MidiInClose();
    g_inRing.Clear();
    g_inDelivered = g_inRing.Tail();
    g_inStopping = false;
    g_inHandler = handler;
    started = timeGetTime();
    g_inStart = started;
    g_inAccepting = true;
    const MidiOpenResult r = ActiveMidiBackend().OpenIn(name);
    if (r != MidiOpenResult::Ok) {
        g_inAccepting = false;
        g_inRing.Clear();
        return r;
    }
    g_inThread = std::thread(DeliveryLoop);
    g_inOpen = true;
    return r;
}

void MidiInClose() {
    if (!g_inOpen) return;
    g_inAccepting = false;
    g_backend->CloseIn();  // no arrival after this
    g_inStopping = true;
    g_inWake.Signal();
    g_inThread.join();
    g_inRing.Clear();
    g_inHandler = nullptr;
    g_inOpen = false;
}

bool MidiInIsOpen() { return g_inOpen; }

void MidiInFlush() {
    if (!g_inOpen) return;
    const uint32_t head = g_inRing.Head();
    while (int32_t(g_inDelivered.load(std::memory_order_acquire) - head) < 0) std::this_thread::yield();
}

MidiOpenResult MidiOutOpen(const std::string& name) {
    if (g_outOpen) MidiOutClose();
    const MidiOpenResult r = ActiveMidiBackend().OpenOut(name);
    if (r != MidiOpenResult::Ok) return r;
    for (int i = 0; i < 2; ++i) {
        g_outRings[i].Clear();
        g_outSent[i] = g_outRings[i].Tail();
    }
    g_outStopping = false;
    g_outThread = std::thread(SendLoop);
    g_outOpen.store(true, std::memory_order_release);
    return r;
}

void MidiOutClose() {
    if (!g_outOpen) return;
    g_outOpen.store(false, std::memory_order_release);
    g_outStopping = true;
    g_outWake.Signal();
    g_outThread.join();  // the sender drains what was queued first
    g_backend->CloseOut();
}

bool MidiOutIsOpen() { return g_outOpen.load(std::memory_order_acquire); }

bool MidiOutShortMsg(uint32_t message, MidiProducer producer) {
    if (!g_outOpen.load(std::memory_order_acquire)) return false;
    if (MidiMessageLength(uint8_t(message)) == 0) return false;
    if (!g_outRings[int(producer)].Push(message)) return false;
    g_outWake.Signal();
    return true;
}

void MidiOutFlush() {
    if (!g_outOpen.load(std::memory_order_acquire)) return;
    uint32_t heads[2] = {g_outRings[0].Head(), g_outRings[1].Head()};
    for (int i = 0; i < 2; ++i)
        while (int32_t(g_outSent[i].load(std::memory_order_acquire) - heads[i]) < 0) std::this_thread::yield();
}
