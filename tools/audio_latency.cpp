// Measures the DirectSound-style output on a running sound server: how many
// blocks came late, the smallest buffer setting that runs without underruns,
// and the render thread's share of one core.
//
//   audio_latency [--seconds S] [--index I] [--scan SECONDS_PER_SETTING]
//
// Plays the heaviest engine fixture (all 32 voices holding a three-oscillator,
// filtered sound) for S seconds (default 30) at latency index I (default 8,
// 10 ms), then, with --scan, each setting from 2 ms up for the given seconds
// until one runs without underruns. Late blocks: halves of the looping buffer
// that played before the render thread had filled them (the first half after
// the start, silence by design, does not count), periods that found the
// layer's queue short, and periods the server itself reported as underflows.
// Start the server first (scripts/measure_audio.sh does).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "engine/tables.h"
#include "host/audio_device.h"
#include "host/render_paths.h"
#include "platform/audio_backend.h"
#include "platform/direct_sound.h"
#include "platform/threads.h"
#include "shared/events.h"
#include "shared/settings.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"

namespace {

// Sound 1: three oscillators, filter, LFO and user envelope on, full sustain;
// a note on every voice at the start of the first period.
void HeaviestFixture() {
    auto set = [](int param, uint8_t v) { g_soundBank[param][1] = v; };
    set(kParamOsc1Wave, 2);
    set(kParamOsc2On, 1);
    set(kParamOsc2Wave, 3);
    set(kParamOsc3On, 1);
    set(kParamOsc3Wave, 4);
    set(kParamOsc2Volume, 60);
    set(kParamOsc3Volume, 60);
    set(kParamAmpSustain, 80);
    set(kParamAmpGain, 60);
    set(kParamFilterOn, 1);
    set(kParamFilterType, 1);
    set(kParamFilterCutoff, 50);
    set(kParamFilterResonance, 40);
    set(kParamFilterSustain, 60);
    set(kParamLfoOn, 1);
    set(kParamLfoRate, 40);
    set(kParamLfoDepth, 20);
    set(kParamUserEnvOn, 1);
    g_polyphony = 5;
    g_testSignal = 0;
}

void QueueNotes() {
    for (int v = 0; v < kVoices; ++v) {
        g_voiceEvents.key[v][0] = static_cast<uint8_t>(36 + v);
        g_voiceEvents.sound[v][0] = 1;
        g_voiceEvents.offset[v][0] = 60;
        g_voiceEvents.code[v][0] = kVoiceEventNoteOn;
    }
}

struct Result {
    bool opened = false;
    SoundBufferStats stats{};
    double cpuShare = 0.0;
    uint32_t ms = 0;
};

Result Run(int entry, int32_t index, double seconds) {
    Result r;
    g_waveOutDevice = entry;
    g_responseTime = index;
    if (!OpenAudioDevice()) return r;
    r.opened = true;
    r.ms = g_bufferMs;
    QueueNotes();
    ThreadHandle threads[2] = {g_hPollThread, nullptr};
    if (g_renderThreadMode == 1) threads[0] = g_hNotifyThreadA, threads[1] = g_hNotifyThreadB;
    double cpu0 = 0.0;
    for (ThreadHandle t : threads) cpu0 += ThreadCpuSeconds(t);
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    double cpu1 = 0.0;
    for (ThreadHandle t : threads) cpu1 += ThreadCpuSeconds(t);
    r.stats = GetSoundBufferStats(g_pSoundBuffer);
    r.cpuShare = (cpu1 - cpu0) / wall;
    CloseAudioDevice();
    return r;
}

uint64_t Underruns(const Result& r) {
    return r.stats.lateHalves + r.stats.queueUnderruns + r.stats.deviceUnderflows;
}

void Print(const Result& r, double seconds) {
    std::printf("%4u ms: %6.1f s, late halves %llu, queue underruns %llu, server underflows %llu, "
                "render thread %.2f %% of a core\n",
                r.ms, seconds, static_cast<unsigned long long>(r.stats.lateHalves),
                static_cast<unsigned long long>(r.stats.queueUnderruns),
                static_cast<unsigned long long>(r.stats.deviceUnderflows), r.cpuShare * 100.0);
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 30.0;
    int32_t index = 8;
    double scan = 0.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--index") == 0) index = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--scan") == 0) scan = std::atof(argv[i + 1]);
    }
    BuildEngineTables();
    if (!CreateRenderThreads()) {
        std::fprintf(stderr, "render threads could not be created\n");
        return 1;
    }
    EnumerateAudioDevices();
    int entry = -1;
    for (int i = 0; i < g_deviceCount; ++i)
        if (g_deviceIsDirectSound[i] == 1 && g_deviceNames[i] == "Primary Sound Driver") entry = i;
    if (entry < 0) {
        std::fprintf(stderr, "no output device (is the sound server running?)\n");
        return 1;
    }
    HeaviestFixture();

    const Result main = Run(entry, index, seconds);
    if (!main.opened) return 1;
    Print(main, seconds);
    if (scan > 0.0) {
        for (int32_t i = 0; i <= kLastLatencyIndex; ++i) {
            const Result r = Run(entry, i, scan);
            if (!r.opened) return 1;
            Print(r, scan);
            if (Underruns(r) == 0) {
                std::printf("smallest setting without underruns: %u ms\n", r.ms);
                break;
            }
        }
    }
    return 0;
}
