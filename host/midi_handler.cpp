#include "host/midi_handler.h"

#include <algorithm>

#include "data/song_export.h"
#include "engine/event_queue.h"
#include "host/midi_controllers.h"
#include "host/midi_recording.h"
#include "host/midi_state.h"
#include "shared/app_settings.h"
#include "shared/channel_map.h"
#include "shared/editor.h"
#include "shared/events.h"
#include "shared/settings.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "ui/panel_state.h"

namespace {

constexpr int32_t kFramesPerMs = 44;
constexpr int32_t kLowestNote = 12;      // MIDI note 12 is key 0
constexpr int32_t kRecordableKeys = 108;  // pattern notes are keys 0..107

// Frames of the render period that events may use (0 before a device opened).
uint32_t PeriodFrames() { return std::min<uint32_t>(g_bufferFrames, kPeriodPositions); }

// The first free slot of voice v from pos on, below `frames`; -1 when all are taken.
int32_t FreeSlot(int v, uint32_t pos, uint32_t frames) {
    for (uint32_t p = pos; p < frames; ++p)
        if (AcquireLoad(g_voiceEvents.code[v][p]) == 0) return int32_t(p);
    return -1;
}

// Queues an event at voice v, its code published last. Dropped when the
// period has no free slot left or no device has set the period yet.
void QueueEvent(int v, uint32_t pos, uint8_t code, uint8_t key, uint8_t glideFrom, uint8_t sound, uint8_t level) {
    const uint32_t frames = PeriodFrames();
    if (frames == 0) return;
    const int32_t slot = FreeSlot(v, pos, frames);
    if (slot < 0) return;
    VoiceEventQueue& q = g_voiceEvents;
    RelaxedStore(q.key[v][slot], key);
    if (code == kVoiceEventNoteOn) {
        RelaxedStore(q.value[v][slot], glideFrom);
        RelaxedStore(q.sound[v][slot], sound);
        RelaxedStore(q.offset[v][slot], level);
    }
    ReleaseStore(q.code[v][slot], code);
}

// The period position of a message ms into the playing buffer.
uint32_t EventFrame(int32_t ms) {
    const uint32_t frames = PeriodFrames();
    const int64_t p = int64_t(std::max(ms, 0)) * kFramesPerMs;
    if (p < int64_t(frames)) return uint32_t(p);
    return frames >= 4 ? frames - 4 : 0;
}

// The sound a channel plays: its mapped sound, else its last program, else the current sound.
uint32_t ChannelSound(int ch) {
    if (const int32_t s = g_channelSound[ch]; s != 0) return uint32_t(s);
    if (const int32_t p = g_midiProgram[ch]; p != 0) return uint32_t(p);
    return g_curSound;
}

int VoicesInUse() { return g_polyphonyVoices[std::min<uint32_t>(g_polyphony, 5)]; }

bool VoiceIdle(int v) {
    const VoiceState& vs = g_voiceState[v];
    return RelaxedLoad(vs.noteOnCountdown) == 0 && RelaxedLoad(vs.ampGate) == 0;
}

void RebuildFirstVoices() {
    int32_t first = 0;
    for (int c = 0; c < kMidiChannels; ++c) {
        g_channelFirstVoice[c] = first;
        first += std::clamp<int32_t>(g_channelPolyphony[c], 0, kVoices);
    }
}

void NoteOn(int ch, int32_t key, uint32_t velocity, uint32_t pos) {
    const int32_t n = std::clamp<int32_t>(g_channelPolyphony[ch], 0, kVoices);
    if (n == 0) return;
    const int v = VoicesInUse();
    const int32_t first = g_channelFirstVoice[ch];
    int32_t next = g_channelNextVoice[ch];
    int32_t chosen = -1, firstCandidate = 0, firstNext = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (next >= n || next < 0) next = 0;
        const int32_t candidate = first + next;
        ++next;
        if (i == 0) {
            firstCandidate = candidate;
            firstNext = next;
        }
        // A candidate beyond the 32 voices has no state of its own: the voice
        // it folds onto is tested.
        const int32_t tested = candidate < kVoices ? candidate : candidate % v;
        if (VoiceIdle(tested)) {
            chosen = candidate;
            break;
        }
    }
    if (chosen < 0) {
        chosen = firstCandidate;  // the voice whose turn it was is stolen
        next = firstNext;
    }
    g_channelNextVoice[ch] = next;
    while (chosen >= v) chosen -= v;

    const uint32_t sound = ChannelSound(ch);
    const uint8_t level = uint8_t(velocity / 2 + velocity / 4);
    QueueEvent(chosen, pos, kVoiceEventNoteOn, uint8_t(key), uint8_t(g_channelLastKey[ch]), uint8_t(sound), level);
    g_voiceMidiChannel[chosen] = ch;
    g_channelLastKey[ch] = key;
    g_voiceMidiKey[chosen] = key;
}

void NoteOff(int ch, int32_t key, uint32_t pos) {
    for (int v = 0; v < kVoices; ++v) {
        if (g_voiceMidiChannel[v] != ch || g_voiceMidiKey[v] != key) continue;
        g_voiceMidiKey[v] = -1;
        QueueEvent(v, pos, kVoiceEventNoteOff, uint8_t(key), 0, 0, 0);
    }
}

void PitchBend(int ch, uint32_t d1, uint32_t d2) {
    const int32_t bend = (int32_t(d2 * 128 + d1) - 8192) >> 4;
    for (int v = 0; v < kVoices; ++v)
        if (g_voiceMidiChannel[v] == ch) RelaxedStore(g_voiceState[v].pitchBend, bend);
}

void ModulationWheel(int ch, uint32_t value) {
    const int32_t m = int32_t(value / 2);
    for (int v = 0; v < kVoices; ++v) {
        if (g_voiceMidiChannel[v] != ch) continue;
        VoiceState& vs = g_voiceState[v];
        RelaxedStore(vs.vibratoDepthCmd, m <= 4 ? 0 : m);
        RelaxedStore(vs.vibratoRateCmd, m <= 4 ? 0 : 40);
    }
}

void AllNotesOff(int ch) {
    for (int v = 0; v < kVoices; ++v) {
        if (g_voiceMidiChannel[v] != ch) continue;
        VoiceState& vs = g_voiceState[v];
        RelaxedStore(vs.ampGate, 0);
        RelaxedStore(vs.filterEnvGate, 0);
        RelaxedStore(vs.userEnvGate, 0);
        RelaxedStore(vs.ampStage, 1);
        RelaxedStore(vs.filterEnvStage, 1);
        RelaxedStore(vs.userEnvStage, 1);
    }
}

void MappedController(int ch, int p, uint32_t value) {
    const uint32_t sound = ChannelSound(ch);
    const uint32_t kind = g_paramKinds[p];
    const bool pressed = g_paramValuePtrs[p].Address() == g_activeValuePtr.load();
    const int32_t r = ControllerValueForKind(kind, value);
    if (kind >= 1 && kind <= 6) {
        if (sound >= uint32_t(kSounds)) return;
        const bool current = sound == g_curSound;
        if (pressed && current) return;  // the user holds this very knob
        RelaxedStore(g_paramBankArrays[p][sound], uint8_t(r));
        if (current) g_paramValuePtrs[p].Store(kind == 3 ? r - 40 : r);
    } else if (kind >= 7 && kind <= 9) {
        if (!pressed) g_paramValuePtrs[p].Store(r);
    }
}

void ControlChange(int ch, uint32_t c, uint32_t value) {
    if (c == 1) {
        ModulationWheel(ch, value);
        return;
    }
    for (int p = 0; p < kControllerKnobs; ++p) {
        if (g_midiControllerMap[p] == c) {
            MappedController(ch, p, value);
            return;
        }
    }
    if (c == 120) g_engineReset = kResetStop;
    else if (c == 123) AllNotesOff(ch);
    // 121 (reset all controllers) and the rest: no effect.
}

}  // namespace

void HandleMidiMessage(uint32_t message, int32_t ms) {
    if (g_exporting != 0) return;
    g_midiBusy = 1;
    const uint32_t status = message & 0xFF;
    const uint32_t d1 = (message >> 8) & 0x7F;
    const uint32_t d2 = (message >> 16) & 0x7F;
    const int ch = int(status & 0x0F);
    uint32_t kind = status & 0xF0;
    if (kind == 0x90 && d2 == 0) kind = 0x80;

    const uint32_t pos = EventFrame(ms);
    RebuildFirstVoices();
    // Notes below 12 give no key: they are ignored.
    const int32_t key = int32_t(d1) - kLowestNote;
    const bool note = (kind == 0x90 || kind == 0x80) && key >= 0;
    switch (kind) {
    case 0x90:
        if (note) NoteOn(ch, key, d2, pos);
        break;
    case 0x80:
        if (note) NoteOff(ch, key, pos);
        break;
    case 0xE0: PitchBend(ch, d1, d2); break;
    case 0xB0: ControlChange(ch, d1, d2); break;
    case 0xC0:
        // Programs 100..127 name no sound: the channel keeps its sound.
        if (d1 < uint32_t(kSounds)) g_midiProgram[ch] = int32_t(d1);
        break;
    default: break;
    }
    g_midiBusy = 0;

    // Keys 108 and up sound but are no pattern notes.
    if (!note || key >= kRecordableKeys) return;
    if (g_midiWritesSequencer == 0 || g_patternFocus == 0) return;
    QueueMidiRecordStep({uint8_t(key), uint8_t(kind == 0x90 ? 1 : 0), uint8_t(g_ctrlDown != 0), uint8_t(g_shiftDown != 0)});
}
