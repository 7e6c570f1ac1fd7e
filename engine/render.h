// RenderBlock: the whole engine as one call.
//
// Each call renders g_renderFrames stereo frames (44,100 Hz, 16-bit, one word per
// frame, left in bits 0-15) at g_renderOut and advances it. Order of one call:
// entry (busy flag, tempo 0 -> 1); the test tone, which replaces everything up to
// the exit; the request dispatch; the voices, voice-major (each voice runs all
// frames of the call, voices 0, 1, ... up to the polyphony limit); the master
// loop frame by frame; the exit (pattern cue, song-playing word, stop request).
//
// Rates: event intake, sequencer and control per frame; a voice's audio once per
// chunk of 4 frames (four sub-frames at the full rate); the bus mixer every 4
// frames; meters and gain smoothing every 32 frames; effects and output every
// frame.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

void RenderBlock();

// Engine-private words, visible for the stage files and for tests.
extern uint32_t g_frameCounter;           // frame index f of the running loop
extern Relaxed<uint32_t> g_songPlayingLast;  // g_songPlaying as written at the previous exit
extern Relaxed<int32_t> g_testToneLevel;  // 0..0x50000000
extern uint32_t g_testTonePhase;          // phase accumulator of the 440 Hz tone

inline constexpr uint32_t kTestTonePhaseStep = 0x028DDFB9;  // 440.0 Hz at 44,100 Hz
inline constexpr int32_t kTestToneLevelStep = 0x200000;
inline constexpr int32_t kTestToneFullLevel = 0x50000000;
