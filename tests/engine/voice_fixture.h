// Set-up for the voice tests: the engine fixture plus an empty sound bank,
// modulation bank, sample store and split sets, and helpers that write a sound
// and start a note through the voice's own fields.
#pragma once

#include <cstring>
#include <utility>
#include <vector>

#include "engine/oscillators.h"
#include "engine/stages.h"
#include "shared/samples.h"
#include "tests/engine/engine_fixture.h"

class VoiceTest : public EngineTest {
protected:
    static constexpr int kSound = 7;
    static constexpr int kVoice = 3;

    void SetUp() override {
        EngineTest::SetUp();
        std::memset(g_soundBank, 0, sizeof(g_soundBank));
        std::memset(g_modulationBank, 0, sizeof(g_modulationBank));
        std::memset(g_splitSample, 0, sizeof(g_splitSample));
        std::memset(g_splitTranspose, 0, sizeof(g_splitTranspose));
        for (int n = 0; n < kSampleSlots; ++n) {
            g_sampleData[n] = nullptr;
            g_sampleLength[n] = 0;
            g_sampleLoopPoint[n] = 0;
        }
        // A plain sound: oscillator 1 sine at centre tune with key tracking, full
        // amplifier gain, bus 1, everything else off.
        Set(kParamOsc1Wave, 1);
        Set(kParamOsc1Tune, 40);
        Set(kParamOsc1KeyTrack, 1);
        Set(kParamOsc2Tune, 40);
        Set(kParamOsc2FineTune, 40);
        Set(kParamOsc2KeyTrack, 1);
        Set(kParamOsc3Tune, 40);
        Set(kParamOsc3FineTune, 40);
        Set(kParamAmpGain, 80);
        Set(kParamChannel, 1);
    }

    static void Set(SoundParam p, int value, int sound = kSound) {
        g_soundBank[p][sound] = static_cast<uint8_t>(value);
    }
    static void Mod(ModTarget t, int value, int sound = kSound) {
        g_modulationBank[t][sound] = static_cast<uint8_t>(value);
    }

    static VoiceState& V() { return g_voiceState[kVoice]; }

    // The frame in which a pending note's countdown has reached 1: the note start,
    // then the control part as the render call runs it (chunkPhase 0, so the
    // chunk step runs too). Returns whether the chunk's audio is due.
    static bool StartFrame(int key, int sound = kSound) {
        VoiceState& vs = V();
        vs.pendingSound = sound;
        vs.pendingKey = key;
        if (vs.sound == 0) vs.sound = sound;
        vs.noteOnCountdown = 1;
        vs.chunkPhase = 0;
        return StartNote(kVoice) && UpdateModulation(kVoice);
    }

    // The note start alone (no control part).
    static void NoteStartOnly(int key, int sound = kSound) {
        VoiceState& vs = V();
        vs.pendingSound = sound;
        vs.pendingKey = key;
        if (vs.sound == 0) vs.sound = sound;
        vs.noteOnCountdown = 1;
        StartNote(kVoice);
    }

    // One chunk step without a control tick. Returns whether the audio is due.
    static bool ChunkOnly() {
        V().controlCounter = 1;
        V().chunkPhase = 0;
        return UpdateModulation(kVoice);
    }

    // One further frame of the voice's control part (no note pending), with the
    // counters advanced as the render call advances them.
    static bool Frame() {
        VoiceState& vs = V();
        vs.chunkPhase = (vs.chunkPhase + 1) & 3;
        if (vs.chunkPhase == 0) vs.chunkCount = (vs.chunkCount + 1) & 3;
        return StartNote(kVoice) && UpdateModulation(kVoice);
    }

    // Runs frames until the next control tick has run (controlCounter back at 0).
    static void ToNextTick() {
        do Frame();
        while (V().controlCounter != 0);
    }

    // Installs a sample: frames plus the zero guard frame, exactly that long (so
    // that the sanitizer catches a read past the guard frame).
    static std::vector<int16_t>& Sample(int n, std::vector<int16_t> frames, uint32_t loop) {
        static std::vector<int16_t> store[kSampleSlots];
        const uint32_t length = static_cast<uint32_t>(frames.size());
        frames.push_back(0);
        store[n] = std::move(frames);
        store[n].shrink_to_fit();
        g_sampleData[n] = store[n].data();
        g_sampleLength[n] = length;
        g_sampleLoopPoint[n] = loop;
        return store[n];
    }
};
