// The MIDI input's costs: HandleMidiMessage for a note on that must steal among
// 32 sounding voices and for a mapped controller, and the delivery of one
// message from its arrival at the layer to the handler on the delivery thread.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "engine/event_queue.h"
#include "host/midi_controllers.h"
#include "host/midi_handler.h"
#include "platform/midi.h"
#include "platform/test_midi_backend.h"
#include "shared/channel_map.h"
#include "shared/settings.h"
#include "shared/voice_state.h"

namespace {

void SoundingVoices() {
    g_polyphony = 5;
    g_bufferFrames = 4096;
    g_bufferMs = 250;
    g_channelPolyphony[0] = 32;
    for (auto& vs : g_voiceState) vs.ampGate = 1;  // every voice busy: each note on steals
    ApplyMidiControllerMap();
}

void BM_NoteOnStealing(benchmark::State& state) {
    SoundingVoices();
    int i = 0;
    for (auto _ : state) {
        HandleMidiMessage(0x90 | uint32_t(36 + (i & 63)) << 8 | 100 << 16, 50);
        if ((++i & 1023) == 0) {
            state.PauseTiming();
            ClearEventQueues();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_NoteOnStealing);

void BM_MappedController(benchmark::State& state) {
    SoundingVoices();
    int i = 0;
    for (auto _ : state) HandleMidiMessage(0xB0 | uint32_t(13 + (i++ & 31)) << 8 | 64 << 16, 0);
}
BENCHMARK(BM_MappedController);

std::atomic<uint32_t> g_handled{0};
void Count(uint32_t, uint32_t) { g_handled.fetch_add(1, std::memory_order_release); }

// Arrival to handler: one message at a time, the next only after the handler ran.
void BM_DeliveryToHandler(benchmark::State& state) {
    InstallMidiBackend(std::make_unique<QuietMidiBackend>());
    uint32_t started;
    MidiInOpen("In", Count, started);
    const uint8_t note[3] = {0x90, 60, 100};
    for (auto _ : state) {
        const uint32_t before = g_handled.load(std::memory_order_acquire);
        MidiBytesArrived(note, 3);
        while (g_handled.load(std::memory_order_acquire) == before) {
        }
    }
    MidiInClose();
}
BENCHMARK(BM_DeliveryToHandler)->UseRealTime();

}  // namespace
