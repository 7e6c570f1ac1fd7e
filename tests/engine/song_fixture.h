// Songs built in code for engine tests: pattern blocks allocated here and stored
// in g_patterns, the order list, the timing, and every sequencing, automation
// and event word back at its program-start value.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/event_queue.h"
#include "engine/render.h"
#include "shared/automation.h"
#include "shared/clock.h"
#include "shared/editor.h"
#include "shared/events.h"
#include "shared/mixer.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"

namespace song_fixture {

inline constexpr uint32_t kMaxPatternLength = 128;
inline uint8_t g_patternStore[kMaxPatterns][4 * kVoices * kMaxPatternLength];

// Pattern `number` allocated as a new pattern of the current g_patternLength:
// 254 in every note byte, 0 in planes 0 to 2.
inline uint8_t* NewPattern(int number) {
    uint8_t* p = g_patternStore[number];
    const uint32_t length = g_patternLength;
    std::memset(p, 0, sizeof(g_patternStore[number]));
    for (uint32_t t = 0; t < static_cast<uint32_t>(kVoices); ++t)
        std::memset(p + PatternIndex(t, 3, 0, length), kNoteEmpty, length);
    g_patterns[number] = p;
    return p;
}

inline uint8_t& Cell(int number, int track, int plane, int row) {
    return g_patterns[number].load()[PatternIndex(track, plane, row, g_patternLength)];
}
inline void SetNote(int number, int track, int row, uint8_t note) { Cell(number, track, 3, row) = note; }
// Command A with its value, and optionally command B with its value.
inline void SetCommands(int number, int track, int row, uint8_t a, uint8_t va, uint8_t b = 0, uint8_t vb = 0) {
    Cell(number, track, 0, row) = static_cast<uint8_t>(a << 4 | b);
    Cell(number, track, 1, row) = va;
    Cell(number, track, 2, row) = vb;
}

inline void OrderPattern(int pos, uint8_t pattern, uint8_t transpose = kNoTranspose) {
    g_songOrder[pos] = pattern;
    g_songOrderJump[pos] = transpose;
}
inline void OrderJump(int pos, uint8_t target) {
    g_songOrder[pos] = kOrderJump;
    g_songOrderJump[pos] = target;
}
inline void OrderEnd(int pos) { g_songOrder[pos] = kOrderEnd; }

// Frames from one row tick to the next: two ticks of (K / tempo) >> 13 + 1
// frames, K = 0xA16C1000 for 4 steps a beat, two thirds of it for 6, halved
// with the doubled setting.
inline uint32_t FramesPerRow(uint32_t tempo, uint32_t steps = 4, bool doubled = false) {
    uint32_t k = (steps == 6 || steps == 12) ? 0x6B9D6000u : 0xA16C1000u;
    if (doubled) k >>= 1;
    return 2 * (((k / tempo) >> 13) + 1);
}

// Renders `frames` frames in calls of at most `maxCall` frames (1 to 8,192),
// each call the start of a new render period.
inline void RenderFrames(uint64_t frames, uint32_t maxCall = 8192) {
    static std::vector<uint32_t> out(kMaxRenderFrames);
    while (frames != 0) {
        const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(frames, maxCall));
        g_renderOut = out.data();
        g_renderFrames = n;
        g_renderPeriodPos = 0;
        RenderBlock();
        frames -= n;
    }
}

// A start request served by the next call; that call's first frame is the first
// row tick.
inline void RequestStart(uint32_t pos = 0, uint32_t row = 0) {
    g_orderTop = 0;
    g_orderCursor = pos;
    g_editStep = row;
    g_playFromCursor = row != 0 ? 1 : 0;
    g_engineReset = kResetStart;
}

// The reset song (pattern 0 everywhere, a jump back to 0 at position 1, pattern 0
// allocated and empty, 64 rows, 4 steps a beat) and every transport, editor,
// automation, mixer, sound and event word at its start value.
inline void ResetSongAndTransport() {
    for (auto& p : g_patterns) p = nullptr;
    g_patternLength = 64;
    std::memset(g_songOrder, 0, sizeof(g_songOrder));
    std::memset(g_songOrderJump, 0, sizeof(g_songOrderJump));
    OrderJump(1, 0);
    NewPattern(0);
    g_stepsPerBeat = 4;
    g_doubleStepsPerBeat = 0;
    g_songMode = 1;
    g_playFlag = 0;
    g_loopPattern = 0;
    g_playFromCursor = 0;
    g_midiStartPending = 0;
    g_clockCount = 0;
    g_captureOn = 0;
    g_captureArmed = 0;
    g_captureCloseCountdown = 0;

    g_orderTop = 0;
    g_orderCursor = 0;
    g_editStep = 0;
    g_patternFocus = 0;
    g_cursorColumn = 0;
    g_firstTrack = 0;

    g_midiSync = 0;
    g_previewNote = 1;
    g_freeAudioDevWhenStopped = 0;
    g_bassTrebleEq = 1;
    g_bufferMs = 250;
    g_bufferFrames = 11000;
    g_bufferStartTime = 0;
    g_previewPending = 0;
    g_previewKey = 0;
    g_previewLane = 0;
    SetClockForTest(nullptr);

    std::memset(g_tweakLaneData, 0, sizeof(g_tweakLaneData));
    for (int i = 0; i < kAutomationKnobs; ++i) {
        g_knobParam[i] = 0;
        g_knobSound[i] = 0;
        g_knobEnabled[i] = 0;
    }
    g_automationOn = 0;
    g_dragKnob.value = 0;
    g_dragKnob.index = 0;
    g_dragKnob.dragging = 0;

    std::memset(g_modulationBank, 0, sizeof(g_modulationBank));
    std::memset(g_soundBank, 0, sizeof(g_soundBank));
    for (int b = 0; b < kBuses; ++b) {
        g_mixerSettings.volume[b] = 0;
        g_mixerSettings.pan[b] = 0;
        g_mixerSettings.send1[b] = 0;
        g_mixerSettings.send2[b] = 0;
        g_volumeOverrides.bus[b] = 0;
    }
    g_mixerSettings.master = 0;
    g_volumeOverrides.master = 0;
}

}  // namespace song_fixture
