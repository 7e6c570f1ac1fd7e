// Transport words shared by the engine, the transport commands, the MIDI input
// and the main window.
//
// g_engineReset is the request word: -1 start, 1 stop, 0 none; the engine takes a
// request at the start of its next call (one atomic exchange) and writes a stop
// request itself, only into an empty word, when the last track in use stops.
// Per-track words are indexed by track number (track t = voice t).
#pragma once

#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"

inline constexpr int32_t kResetStart = -1;
inline constexpr int32_t kResetStop = 1;

extern Relaxed<int32_t> g_engineReset;
extern Relaxed<uint32_t> g_songPlaying;              // OR of the playing flags of the tracks in use
extern Relaxed<uint32_t> g_trackPlaying[kVoices];    // track sequencer switched on
extern Relaxed<uint32_t> g_trackSongPos[kVoices];    // each track's own song position
extern Relaxed<uint32_t> g_trackRow[kVoices];        // each track's row
extern Relaxed<int32_t> g_trackClockTicks[kVoices];  // MIDI clock steps banked per track
extern Relaxed<uint32_t> g_masterMute;               // master target gain while non-zero (fade-out)
extern Relaxed<uint32_t> g_patternCue;               // one-time advance (pattern mode) / hold (song mode)
extern Relaxed<uint32_t> g_patternCueDone;           // the sequencer has acted on the cue
extern Relaxed<uint32_t> g_songMode;                 // 1 song mode, 0 pattern mode
extern Relaxed<uint32_t> g_playFlag;                 // transport's play state shown by the main window
extern Relaxed<uint32_t> g_stopFlag;                 // the panel's stop button drawn pressed while 1
extern Relaxed<uint8_t> g_releaseDevicePending;      // close the device once the fade-out is quiet
extern Relaxed<uint8_t> g_loopPattern;               // 1 = repeat the current pattern at its end
extern Relaxed<uint32_t> g_playFromCursor;           // 1 = start at g_editStep (cleared at play start)
extern Relaxed<uint32_t> g_midiStartPending;         // MIDI Start/Continue: keep the track positions
extern Relaxed<uint32_t> g_clockCount;               // MIDI clocks counted toward the next step

// Live output capture, the engine's share.
extern Relaxed<uint32_t> g_captureOn;                // a capture file is open
extern Relaxed<uint32_t> g_captureArmed;             // rendered blocks are appended to it
extern Relaxed<uint32_t> g_captureCloseCountdown;    // 40 ms ticks of tail left after a stop
