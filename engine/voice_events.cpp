// Voice event queues: the engine's intake of one slot per voice and frame, and
// the preview writers of the computer keyboard.
#include <algorithm>

#include "engine/event_queue.h"
#include "engine/sequencing.h"
#include "engine/stages.h"
#include "shared/clock.h"
#include "shared/editor.h"
#include "shared/events.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

Relaxed<uint32_t> g_previewPending{0};
Relaxed<uint32_t> g_previewKey{0};
Relaxed<uint32_t> g_previewLane{0};

namespace {

// Fade rate of the sounding note when a queued note-on arrives: a release runs
// its course in 31 chunks.
constexpr uint32_t kEventFadeRate = 0x4000;
// Frames from a queued note-on to its note start, plus one.
constexpr int32_t kEventNoteOnCountdown = 240;
constexpr uint32_t kFramesPerMs = 44;

// Release without a key test: a pending note start is dropped, all three
// envelopes go into their release.
void ReleaseVoice(VoiceState& vs) {
    RelaxedStore(vs.noteOnCountdown, 0);
    RelaxedStore(vs.ampGate, 0);
    RelaxedStore(vs.userEnvGate, 0);
    RelaxedStore(vs.filterEnvGate, 0);
    RelaxedStore(vs.ampStage, 1);
    RelaxedStore(vs.userEnvStage, 1);
    RelaxedStore(vs.filterEnvStage, 1);
}

uint8_t TakeByte(uint8_t& slot) {
    const uint8_t b = RelaxedLoad(slot);
    RelaxedStore(slot, uint8_t{0});
    return b;
}

void NoteOnEvent(VoiceState& vs, int v, uint32_t pos) {
    VoiceEventQueue& q = g_voiceEvents;
    const int32_t sound = ValidSound(TakeByte(q.sound[v][pos]));
    if (vs.sound == 0) vs.sound = sound;
    vs.pendingSound = sound;
    vs.pendingKey = TakeByte(q.key[v][pos]);
    vs.pendingGlideFrom = static_cast<int32_t>(TakeByte(q.value[v][pos])) * 256;

    // Fade the sounding note quickly.
    vs.ampDecayRate = kEventFadeRate;
    vs.ampReleaseRate = kEventFadeRate;
    RelaxedStore(vs.ampGate, 0);
    const int32_t stage = RelaxedLoad(vs.ampStage);
    if (stage == 0) vs.ampSustainLevel = 0;
    if (stage != 1) RelaxedStore(vs.ampStage, -1);

    vs.ampGainOffset = TakeByte(q.offset[v][pos]);
    // A live note carries none of the pattern's per-note settings.
    vs.cutoffOffset = 0;
    vs.filterEnvGainOffset = 0;
    vs.osc2Transpose = 0;
    vs.osc3Transpose = 0;
    vs.slideSpeed = 0;
    RelaxedStore(vs.noteOnCountdown, kEventNoteOnCountdown);
    vs.fading = 1;
    vs.resonanceHalved = 1;
}

}  // namespace

void ReadVoiceEvents(int v, uint32_t pos) {
    uint8_t& codeSlot = g_voiceEvents.code[v][pos];
    const uint8_t code = AcquireLoad(codeSlot);
    if (code == 0) return;
    RelaxedStore(codeSlot, uint8_t{0});

    VoiceState& vs = g_voiceState[v];
    switch (code) {
        case kVoiceEventNoteOn:
            NoteOnEvent(vs, v, pos);
            break;
        case kVoiceEventNoteOff: {
            uint8_t& keySlot = g_voiceEvents.key[v][pos];
            if (static_cast<int32_t>(RelaxedLoad(keySlot)) == vs.pendingKey) {
                RelaxedStore(keySlot, uint8_t{0});
                ReleaseVoice(vs);
            } else {
                // Not the voice's latest key: becomes a release of whatever the
                // voice plays when this position comes round in the next period.
                RelaxedStore(codeSlot, kVoiceEventRelease);
            }
            break;
        }
        case kVoiceEventRelease:
            ReleaseVoice(vs);
            break;
        case kVoiceEventClock:
            if (g_midiSync != 0 && g_trackPlaying[v] != 0) g_trackClockTicks[v] += 1;
            break;
        default:
            break;  // unknown codes are cleared without effect
    }
}

uint32_t EventPosition() {
    const uint32_t ms = timeGetTime() - g_bufferStartTime;
    const uint32_t frames = std::min<uint32_t>(g_bufferFrames, kPeriodPositions);
    const uint64_t p = static_cast<uint64_t>(ms) * kFramesPerMs;
    // A late event lands on the period's last position, never beyond it.
    return frames == 0 ? 0 : static_cast<uint32_t>(std::min<uint64_t>(p, frames - 1));
}

void QueueNoteOn(uint8_t sound, uint32_t key) {
    const uint32_t lane = (g_cursorColumn / 7 + g_firstTrack) & (kVoices - 1);
    if (g_previewNote == 0 || g_freeAudioDevWhenStopped != 0) {
        g_previewPending = 0;
        return;
    }
    const uint32_t pos = EventPosition();
    if (g_previewPending != 0) return;  // one preview note at a time

    g_previewKey = key;
    g_previewLane = lane;
    VoiceEventQueue& q = g_voiceEvents;
    RelaxedStore(q.key[lane][pos], static_cast<uint8_t>(key));
    RelaxedStore(q.sound[lane][pos], sound);
    RelaxedStore(q.offset[lane][pos], uint8_t{0});
    ReleaseStore(q.code[lane][pos], kVoiceEventNoteOn);
    g_previewPending = 1;
}

void QueueNoteOff() {
    const uint32_t pos = EventPosition();
    if (g_previewPending == 0) return;
    g_previewPending = 0;
    const uint32_t lane = g_previewLane & (kVoices - 1);
    VoiceEventQueue& q = g_voiceEvents;
    RelaxedStore(q.key[lane][pos], static_cast<uint8_t>(g_previewKey));
    ReleaseStore(q.code[lane][pos], kVoiceEventNoteOff);
}

void ClearEventQueues() {
    VoiceEventQueue& q = g_voiceEvents;
    for (int v = 0; v < kVoices; ++v) {
        for (int p = 0; p < kPeriodPositions; ++p) {
            RelaxedStore(q.code[v][p], uint8_t{0});
            RelaxedStore(q.key[v][p], uint8_t{0});
            RelaxedStore(q.value[v][p], uint8_t{0});
            RelaxedStore(q.sound[v][p], uint8_t{0});
            RelaxedStore(q.offset[v][p], uint8_t{0});
        }
    }
}
