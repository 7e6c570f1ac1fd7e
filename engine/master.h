// Master section of the render engine: bus mixer, mixer-gain smoothing, level
// meters and output stage (the stage functions themselves are declared in
// engine/stages.h).
//
// Numeric contract of the mixer:
// - Every 4 frames MixBuses reads and clears one g_mixBuffer row. A bus whose
//   four values are all 0 is left out. For each sub-frame k of a bus b:
//   v = hi(x, busVolume[b]); right = 2 hi(v, busPan[b]); left = v - right;
//   dry[k] += left / right; each non-zero send adds 2 hi(left, send) and
//   2 hi(right, send) to its effect input. All sums wrap in 32 bits.
// - Every 32 frames SmoothMixer moves each of the 33 gains toward its target by
//   hi((target - current), K), K = 3/128 (0x6000000) for the volumes and 1/64
//   (0x4000000) for the pans and sends; a step of 0 becomes +1, so every gain
//   reaches its target exactly and never overshoots it.
// - Targets: a non-zero volume override is the gain itself; else the master
//   takes a non-zero g_masterMute; else the tables at the settings. Settings
//   outside their ranges (volume and master 0..56, pan -20..+20, sends 0..40)
//   are clamped into them; the master-volume page is 1 while g_bassTrebleEq is
//   non-zero, else 0.
// - Every 32 frames, before the smoothing, UpdateMeters raises g_meterLevels:
//   bus amplitude |g_busMeterSample| >> 5, master amplitude |g_lastOut| >> 4;
//   a level is looked up in g_meterLevelTable only when the amplitude exceeds
//   g_meterThresholds at the current level. Amplitudes beyond the table's last
//   entry read that entry (level 16).
#pragma once

#include <cstdint>

#include "engine/stages.h"
#include "shared/constants.h"
#include "shared/master_state.h"

// Per bus, the sub-frame-0 value after the bus volume from the last MixBuses
// run (0 for a bus that had nothing): the buses' meter input.
extern int32_t g_busMeterSample[kBuses];

// The clipped 16-bit samples of the last output frame: the master meters' input.
extern int32_t g_lastOutLeft;
extern int32_t g_lastOutRight;

// Per current meter level 0..31, the amplitude a new value must exceed before
// the level is looked up again: the first amplitude of the next level.
inline constexpr int kMeterThresholds = 32;
extern const int32_t g_meterThresholds[kMeterThresholds];

// Sets every smoothed mixer gain (8 bus volumes, the master volume, 8 pans, 16
// sends) at once to the target SmoothMixer moves it toward, so that playback
// begins at the set levels without a glide. The play start calls it after it
// has cleared g_masterMute.
void SnapMixerGains();

// The master's counters for one frame: chunkPhase +1 mod 4; when it comes round
// to 0, meterPhase +1 mod 8, and every 32 frames the last output samples are
// published and UpdateMeters and SmoothMixer run. True when the frame is a
// chunk frame: the bus mix of its row is due.
inline bool MasterFrameCounters(MasterState& ms, int32_t lastLeft, int32_t lastRight) {
    ms.chunkPhase = (ms.chunkPhase + 1) & 3;
    if (ms.chunkPhase != 0) return false;
    ms.meterPhase = (ms.meterPhase + 1) & 7;
    if (ms.meterPhase == 0) {
        g_lastOutLeft = lastLeft;
        g_lastOutRight = lastRight;
        UpdateMeters();
        SmoothMixer();
    }
    return true;
}
