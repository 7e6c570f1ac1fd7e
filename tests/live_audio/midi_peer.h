// A JACK client with one MIDI output and one MIDI input port, standing in for
// an outside instrument: the test queues messages for its output and reads
// what reached its input. Words pack a short message as the program does
// (status in the low byte); the word 0xF0 sends a short system exclusive.
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>
#include <pthread.h>
#include <sched.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

class MidiPeer {
public:
    // Null client when no server runs.
    explicit MidiPeer(const char* name) {
        client_ = jack_client_open(name, JackNoStartServer, nullptr);
        if (!client_) return;
        out_ = jack_port_register(client_, "to_program", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        in_ = jack_port_register(client_, "from_program", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client_, Process, this);
        jack_set_xrun_callback(client_, Xrun, this);
        jack_activate(client_);
        // The server runs without real-time scheduling; the client's thread is
        // raised where the system allows, as the program raises its own.
        sched_param sp{};
        sp.sched_priority = sched_get_priority_max(SCHED_RR) - 10;
        pthread_setschedparam(jack_client_thread_id(client_), SCHED_RR, &sp);
        name_ = jack_get_client_name(client_);
    }
    ~MidiPeer() {
        if (client_) jack_client_close(client_);
    }
    bool Running() const { return client_ != nullptr; }
    std::string OutputName() const { return name_ + ":to_program"; }
    std::string InputName() const { return name_ + ":from_program"; }

    // Queues a message for the next process cycle (one producer: the test).
    void Send(uint32_t word) {
        const uint32_t h = sendHead_.load(std::memory_order_relaxed);
        pending_[h % pending_.size()] = word;
        sendHead_.store(h + 1, std::memory_order_release);
    }
    bool AllSent() const { return sendTail_.load(std::memory_order_acquire) == sendHead_.load(std::memory_order_acquire); }
    std::vector<uint32_t> Received() const {
        const uint32_t n = recvCount_.load(std::memory_order_acquire);
        return std::vector<uint32_t>(received_.begin(), received_.begin() + n);
    }

    // Periods the server reported it failed to run in time since the client
    // opened: MIDI of such a period may never reach its destination.
    int Xruns() const { return xruns_.load(); }

private:
    static int Xrun(void* arg) {
        static_cast<MidiPeer*>(arg)->xruns_.fetch_add(1);
        return 0;
    }

    static int Process(jack_nframes_t n, void* arg) {
        auto* p = static_cast<MidiPeer*>(arg);
        void* out = jack_port_get_buffer(p->out_, n);
        jack_midi_clear_buffer(out);
        uint32_t t = p->sendTail_.load(std::memory_order_relaxed);
        const uint32_t h = p->sendHead_.load(std::memory_order_acquire);
        for (int i = 0; t != h && i < 64; ++t, ++i) {
            const uint32_t w = p->pending_[t % p->pending_.size()];
            if (w == 0xF0) {
                const jack_midi_data_t sysex[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
                jack_midi_event_write(out, 0, sysex, sizeof sysex);
                continue;
            }
            const jack_midi_data_t bytes[3] = {jack_midi_data_t(w), jack_midi_data_t(w >> 8), jack_midi_data_t(w >> 16)};
            const uint8_t s = bytes[0];
            const size_t len = s >= 0xF8 || s == 0xF6 ? 1 : (s & 0xE0) == 0xC0 || s == 0xF1 || s == 0xF3 ? 2 : 3;
            jack_midi_event_write(out, 0, bytes, len);
        }
        p->sendTail_.store(t, std::memory_order_release);

        void* in = jack_port_get_buffer(p->in_, n);
        const uint32_t events = jack_midi_get_event_count(in);
        uint32_t c = p->recvCount_.load(std::memory_order_relaxed);
        for (uint32_t i = 0; i < events && c < p->received_.size(); ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, in, i) != 0) continue;
            uint32_t w = 0;
            for (size_t b = 0; b < e.size && b < 4; ++b) w |= uint32_t(e.buffer[b]) << (8 * b);
            p->received_[c++] = w;
        }
        p->recvCount_.store(c, std::memory_order_release);
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* out_ = nullptr;
    jack_port_t* in_ = nullptr;
    std::string name_;
    std::array<uint32_t, 8192> pending_{};
    std::atomic<uint32_t> sendHead_{0}, sendTail_{0};
    std::array<uint32_t, 8192> received_{};
    std::atomic<uint32_t> recvCount_{0};
    std::atomic<int> xruns_{0};
};
