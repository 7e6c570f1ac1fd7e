// Shared set-up for the MIDI host tests: a test back-end with the program's
// own ports among the listed ones, input and output opened as the application
// opens them, a test clock, a 32-voice synthesizer with a 4,096-frame period
// that no engine empties, and a fresh song for recording. Messages go through
// the back-end and the layer's delivery thread like real ones.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/pattern_store.h"
#include "data/song_export.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "engine/event_queue.h"
#include "host/midi_controllers.h"
#include "host/midi_ports.h"
#include "host/midi_recording.h"
#include "host/midi_state.h"
#include "platform/midi.h"
#include "platform/test_midi_backend.h"
#include "shared/app_settings.h"
#include "shared/channel_map.h"
#include "shared/clock.h"
#include "shared/editor.h"
#include "shared/events.h"
#include "shared/message_box.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "ui/panel_state.h"
#include "ui/view_globals.h"

// One slot of a voice's event queue.
struct QueuedEvent {
    int32_t pos = -1;  // -1: the voice has nothing queued
    uint8_t code = 0, key = 0, glideFrom = 0, sound = 0, level = 0;
};

class MidiTest : public ::testing::Test {
protected:
    static constexpr uint32_t kStart = 100000;  // g_bufferStartTime

    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text, unsigned, unsigned) {
            boxes.push_back(text);
            return IDOK;
        });
        SetClockForTest([this] { return now.load(); });
        auto b = std::make_unique<TestMidiBackend>(inputs, outputs);
        backend = b.get();
        InstallMidiBackend(std::move(b));

        g_patternLength = 64;
        ResetSong();
        ResetSoundBank();
        g_polyphony = 5;
        g_bufferStartTime = kStart;
        g_bufferMs = 250;
        g_bufferFrames = 4096;
        ClearEventQueues();
        std::memset(static_cast<void*>(g_voiceState), 0, sizeof(g_voiceState));
        for (int c = 0; c < kMidiChannels; ++c) {
            g_channelSound[c] = 0;
            g_channelPolyphony[c] = 0;
            g_midiProgram[c] = 0;
            g_channelNextVoice[c] = 0;
            g_channelLastKey[c] = 0;
        }
        g_curSound = 7;
        g_exporting = 0;
        g_midiSync = 0;
        g_songPlaying = 0;
        g_engineReset = 0;
        g_transmitTweaks = 0;
        g_midiActivity = 0;
        g_activeValuePtr = nullptr;
        g_useCustomControllers = 0;
        for (auto& c : g_customControllerSet) c = 0;
        g_midiWritesSequencer = 0;
        g_patternFocus = 0;
        g_ctrlDown = 0;
        g_shiftDown = 0;
        g_clockCount = 0;
        g_clockCatchUp = 0;
        g_songPosReceived = 0;
        g_lastClockTime = 0;
        g_stepsPerBeat = 4;
        g_doubleStepsPerBeat = 0;

        now = kStart;
        EnumerateMidiDevices();
        g_midiInDevice = 0;
        g_midiOutDevice = 0;
        ASSERT_TRUE(OpenMidiIn());
        ASSERT_TRUE(OpenMidiOut());
    }

    void TearDown() override {
        CloseMidiIn();
        CloseMidiOut();
        PlayMidiRecording();  // nothing left for the next test
        SetClockForTest({});
        SetMessageBoxHandler({});
        g_bufferFrames = 0;
        ResetSong();
    }

    // Delivers a message `ms` after the playing buffer began and waits until it is handled.
    void Send(uint32_t message, int32_t ms = 0) {
        now = kStart + uint32_t(ms);
        backend->InjectWord(message);
        MidiInFlush();
    }
    static uint32_t NoteOn(int ch, int note, int velocity) { return uint32_t(0x90 | ch | note << 8 | velocity << 16); }
    static uint32_t NoteOff(int ch, int note) { return uint32_t(0x80 | ch | note << 8 | 0x40 << 16); }
    static uint32_t Control(int ch, int c, int v) { return uint32_t(0xB0 | ch | c << 8 | v << 16); }

    // The first queued event of voice v.
    static QueuedEvent Queued(int v, int32_t from = 0) {
        QueuedEvent e;
        for (int32_t p = from; p < kPeriodPositions; ++p) {
            const uint8_t code = g_voiceEvents.code[v][p];
            if (code == 0) continue;
            e.pos = p;
            e.code = code;
            e.key = g_voiceEvents.key[v][p];
            e.glideFrom = g_voiceEvents.value[v][p];
            e.sound = g_voiceEvents.sound[v][p];
            e.level = g_voiceEvents.offset[v][p];
            return e;
        }
        return e;
    }
    // Voices that have an event queued.
    static std::vector<int> VoicesWithEvents() {
        std::vector<int> voices;
        for (int v = 0; v < kVoices; ++v)
            if (Queued(v).pos >= 0) voices.push_back(v);
        return voices;
    }
    // Takes the queued events out, as the engine would, and marks the voices sounding.
    static void Consume(bool sounding = true) {
        for (int v = 0; v < kVoices; ++v) {
            const QueuedEvent e = Queued(v);
            if (e.pos < 0) continue;
            if (e.code == kVoiceEventNoteOn) g_voiceState[v].ampGate = sounding ? 1 : 0;
        }
        ClearEventQueues();
    }

    std::vector<std::string> inputs{"Keys", "Morvel Canopy MIDI OUT", "Pads"};
    std::vector<std::string> outputs{"Morvel Canopy MIDI IN", "Synth"};
    TestMidiBackend* backend = nullptr;
    std::atomic<uint32_t> now{kStart};
    std::vector<std::string> boxes;
};
