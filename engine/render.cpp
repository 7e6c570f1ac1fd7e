// RenderBlock: entry, test tone, request dispatch, the voice-major voice loops
// with their polyphony exits, the master loop and the exit. See render.h.
#include "engine/render.h"

#include <algorithm>

#include "engine/lane_output_stage.h"
#include "engine/master.h"
#include "engine/output_stage.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "shared/constants.h"
#include "shared/events.h"
#include "shared/master_state.h"
#include "shared/relaxed.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

uint32_t g_frameCounter = 0;
Relaxed<uint32_t> g_songPlayingLast{0};
Relaxed<int32_t> g_testToneLevel{0};
uint32_t g_testTonePhase = 0;

namespace {

// Voices (and tracks) in use for a polyphony setting; any value outside 0..4
// runs all 32.
int VoicesInUse(uint32_t polyphony) {
    switch (polyphony) {
        case 0: return 1;
        case 1: return 4;
        case 2: return 8;
        case 3: return 16;
        case 4: return 24;
        default: return kVoices;
    }
}

void RenderTestTone(uint32_t frames) {
    uint32_t* out = g_renderOut;
    int32_t level = g_testToneLevel;
    const bool on = g_testSignal != 0;
    for (uint32_t f = 0; f < frames; ++f) {
        const uint32_t p = g_testTonePhase;
        g_testTonePhase = p + kTestTonePhaseStep;
        const int64_t s = static_cast<int64_t>(g_sineTable[p >> 19]) * level;
        if (on) {
            if (level != kTestToneFullLevel) level += kTestToneLevelStep;
        } else {
            if (level != 0) level -= kTestToneLevelStep;
        }
        const uint32_t sample = static_cast<uint32_t>(static_cast<uint64_t>(s) >> 48) & 0xFFFF;
        RelaxedStore(*out++, sample | (sample << 16));
    }
    g_testToneLevel = level;
    g_renderOut = out;
}

// The chunk of voice v in frame f (period position pos): recorded for its lane
// group, or at once.
bool g_lanesThisCall = false;

[[gnu::always_inline]] inline void VoiceChunk(VoiceState& vs, int v, uint32_t f, uint32_t pos) {
    if (g_lanesThisCall) {
        VoiceChunkLater(vs, v, f, pos);
    } else {
        RenderVoiceChunk(v, pos);
    }
}

// Frames from the current one on, at most `limit`, in which voice v does nothing
// but advance its counters: no queued event (`codes` are the event codes of
// those frames), no sequencer tick, no note start, no control tick and no audio.
// `playing` and `clocked` are the track's playing flag and g_midiSync as read
// for this run.
uint32_t QuietFrames(const VoiceState& vs, int v, bool playing, bool clocked, const uint8_t* codes,
                     uint32_t limit) {
    uint32_t n = limit;
    if (playing) {
        if (clocked) {
            if (g_trackClockTicks[v] != 0) return 0;
        } else {
            // The frame in which the countdown falls below 0 ticks.
            const int32_t countdown = vs.tickCountdown;
            if (countdown <= 0) return 0;
            n = std::min(n, static_cast<uint32_t>(countdown));
        }
    }
    if (vs.sound != 0) {
        // The frame that finds the note-on countdown at 1 starts the note.
        const int32_t noteOn = RelaxedLoad(vs.noteOnCountdown);
        if (noteOn == 1) return 0;
        if (noteOn > 1) n = std::min(n, static_cast<uint32_t>(noteOn - 1));
        if (vs.voiceGain != 0) {
            // The frame whose control counter becomes 0 runs the control tick,
            // the one whose chunk phase becomes 0 the chunk.
            n = std::min(n, static_cast<uint32_t>(63 - vs.controlCounter) & 63u);
            if (vs.osc1Wave != 0) n = std::min(n, static_cast<uint32_t>(3 - vs.chunkPhase) & 3u);
        }
    }
    // The first queued event, eight code bytes at a time until one is set.
    uint32_t i = 0;
    while (n - i >= 8 && (RelaxedLoad(codes[i]) | RelaxedLoad(codes[i + 1]) | RelaxedLoad(codes[i + 2]) |
                          RelaxedLoad(codes[i + 3]) | RelaxedLoad(codes[i + 4]) | RelaxedLoad(codes[i + 5]) |
                          RelaxedLoad(codes[i + 6]) | RelaxedLoad(codes[i + 7])) == 0) {
        i += 8;
    }
    for (; i < n; ++i) {
        if (RelaxedLoad(codes[i]) != 0) return i;
    }
    return n;
}

// Advances a voice over n quiet frames, as n frames of the voice loop would;
// `counting`: its sequencer counts down in every frame.
void SkipQuietFrames(VoiceState& vs, bool counting, uint32_t n) {
    const uint32_t phase = static_cast<uint32_t>(vs.chunkPhase) + n;
    vs.chunkCount = static_cast<int32_t>((static_cast<uint32_t>(vs.chunkCount) + (phase >> 2)) & 3u);
    vs.chunkPhase = static_cast<int32_t>(phase & 3u);
    vs.controlCounter = static_cast<int32_t>((static_cast<uint32_t>(vs.controlCounter) + n) & 63u);
    if (counting) vs.tickCountdown -= static_cast<int32_t>(n);
    if (vs.sound != 0) {
        const int32_t noteOn = RelaxedLoad(vs.noteOnCountdown);
        if (noteOn > 1) RelaxedStore(vs.noteOnCountdown, noteOn - static_cast<int32_t>(n));
    }
}

// Whole chunks of a voice that sounds steadily, from frame f (the frame after a
// chunk frame) on: each is three counting frames and a chunk frame with no event,
// no sequencer tick and no note-on countdown. Stops before the first chunk that
// would need more (or would not end inside the call) and returns its first frame.
uint32_t SteadyChunks(VoiceState& vs, int v, const uint8_t* codes, uint32_t periodPos, uint32_t f,
                      uint32_t frames) {
    if (vs.sound == 0 || RelaxedLoad(vs.noteOnCountdown) > 0) return f;
    const bool playing = g_trackPlaying[v] != 0;
    const bool clocked = g_midiSync != 0;
    if (playing && clocked && g_trackClockTicks[v] != 0) return f;
    const bool counting = playing && !clocked;
    while (frames - f >= 4) {
        if (vs.voiceGain == 0 || vs.osc1Wave == 0) break;
        // The control counter must not reach 0 in one of the counting frames.
        const int32_t control = vs.controlCounter;
        if (control >= 61) break;
        if (counting && vs.tickCountdown < 4) break;
        if ((RelaxedLoad(codes[f]) | RelaxedLoad(codes[f + 1]) | RelaxedLoad(codes[f + 2]) |
             RelaxedLoad(codes[f + 3])) != 0) {
            break;
        }
        vs.chunkCount = (vs.chunkCount + 1) & 3;  // chunkPhase runs 1, 2, 3 and back to 0
        if (counting) vs.tickCountdown -= 4;
        f += 3;
        g_frameCounter = f;
        // StartNote and UpdateModulation of the chunk frame, for a voice with a
        // sound, no pending note and a gain.
        vs.controlCounter = (control + 4) & 63;
        if (vs.controlCounter == 0) ControlTick(vs);
        if (voice_control::ChunkStep(vs)) VoiceChunk(vs, v, f, periodPos + f);
        ++f;
    }
    return f;
}

// One voice for all frames of the call. Runs of frames in which the voice only
// counts are taken in one step; every other frame runs the full order of work.
void RenderVoice(int v, uint32_t frames, uint32_t periodPos) {
    VoiceState& vs = g_voiceState[v];
    // A voice that stood still above the polyphony limit while the master went on
    // comes back in step with the master, so that the chunk it writes into the
    // mix row is the one the master reads (and clears) in the same frame.
    vs.chunkPhase = g_masterState.chunkPhase;
    const uint8_t* const codes = g_voiceEvents.code[v] + periodPos;
    uint32_t f = 0;
    while (f < frames) {
        const bool playing = g_trackPlaying[v] != 0;
        const bool clocked = g_midiSync != 0;
        const uint32_t quiet = QuietFrames(vs, v, playing, clocked, codes + f, frames - f);
        if (quiet != 0) {
            SkipQuietFrames(vs, playing && !clocked, quiet);
            f += quiet;
            if (f == frames) break;
        }
        g_frameCounter = f;
        const uint32_t pos = periodPos + f;
        vs.chunkPhase = (vs.chunkPhase + 1) & 3;
        if (vs.chunkPhase == 0) vs.chunkCount = (vs.chunkCount + 1) & 3;
        if (RelaxedLoad(codes[f]) != 0) ReadVoiceEvents(v, pos);
        if (g_trackPlaying[v] != 0) {
            // Between its ticks the sequencer only counts down.
            if (g_midiSync == 0 && vs.tickCountdown > 0) {
                vs.tickCountdown -= 1;
            } else {
                StepTrack(v);
            }
        }
        if (StartNote(v) && UpdateModulation(v)) VoiceChunk(vs, v, f, pos);
        ++f;
        if (vs.chunkPhase == 0) f = SteadyChunks(vs, v, codes, periodPos, f, frames);
    }
    g_frameCounter = frames;
}

void MasterLoop(uint32_t frames, uint32_t periodPos) {
    if (VoiceLanesInUse()) {
        MasterLoopLanes(frames, periodPos);
        return;
    }
    using namespace output_stage;
    MasterState& ms = g_masterState;
    uint32_t* out = g_renderOut;
    // The output stage's state stays in locals for the whole loop.
    OutputChannel left = LoadLeft(ms);
    OutputChannel right = LoadRight(ms);
    int32_t lastLeft = g_lastOutLeft;
    int32_t lastRight = g_lastOutRight;
    for (uint32_t f = 0; f < frames; ++f) {
        if (MasterFrameCounters(ms, lastLeft, lastRight)) MixBuses(periodPos + f);
        RunEffectUnits();
        const int k = ms.chunkPhase & 3;
        const int32_t sumLeft = wrapAdd(wrapAdd(ms.dryLeft[k], ms.fx1OutLeft), ms.fx2OutLeft);
        const int32_t sumRight = wrapAdd(wrapAdd(ms.dryRight[k], ms.fx1OutRight), ms.fx2OutRight);
        // The output may lie in a buffer the device reads meanwhile.
        RelaxedStore(*out++, Frame(left, right, sumLeft, sumRight, g_bassTrebleEq != 0, g_trebleLimiter != 0,
                                   ms.masterVolume, lastLeft, lastRight));
    }
    StoreLeft(ms, left);
    StoreRight(ms, right);
    g_lastOutLeft = lastLeft;
    g_lastOutRight = lastRight;
    g_frameCounter = frames;
    g_renderOut = out;
}

}  // namespace

void RenderBlock() {
    MarkRenderEntry();
    if (g_tempo == 0) g_tempo = 1;

    // Out-of-contract calls stay inside the period's stores: a call never reaches
    // beyond period position 11,025.
    uint32_t frames = g_renderFrames;
    const uint32_t periodPos = g_renderPeriodPos;
    if (periodPos >= static_cast<uint32_t>(kPeriodPositions)) {
        frames = 0;
    } else if (frames > kPeriodPositions - periodPos) {
        frames = kPeriodPositions - periodPos;
    }

    if (g_testToneLevel != 0 || g_testSignal != 0) {
        RenderTestTone(frames);
    } else {
        // Take the request and clear it in one step: a request written meanwhile by
        // another thread is kept for the next call.
        const int32_t request = g_engineReset.exchange(0);
        if (request > 0) {
            FullReset();
        } else if (request < 0) {
            if (g_soundModuleMode != 0) {
                FullReset();
            } else {
                PlayStartReset();
            }
        }
        ServeEffectMemoryReset();

        // Voices in groups of eight: each group's recorded chunks run after its
        // last voice's control.
        const int voices = VoicesInUse(g_polyphony);
        g_lanesThisCall = VoiceLanesInUse();
        const uint32_t masterPhase = static_cast<uint32_t>(g_masterState.chunkPhase);
        for (int v = 0; v < voices; ++v) {
            if (g_lanesThisCall && v % kLanes == 0) BeginLaneGroup(v, masterPhase, frames);
            RenderVoice(v, frames, periodPos);
            if (g_lanesThisCall && (v % kLanes == kLanes - 1 || v == voices - 1)) RunLaneGroup();
        }
        g_lanesThisCall = false;
        MasterLoop(frames, periodPos);
    }

    // Exit.
    if (g_patternCueDone == 1) {
        g_patternCue = 0;
        g_patternCueDone = 0;
    }
    const int tracks = VoicesInUse(g_polyphony);
    uint32_t playing = 0;
    for (int t = 0; t < tracks; ++t) playing |= g_trackPlaying[t];
    g_songPlaying = playing;
    if (playing != g_songPlayingLast) {
        g_songPlayingLast = playing;
        if (playing == 0) {
            // Only into an empty request word: a start request written during this
            // call must not be lost.
            int32_t none = 0;
            g_engineReset.compare_exchange(none, kResetStop);
        }
    }
    MarkRenderExit();
}
