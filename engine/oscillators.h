// The three oscillators of a voice and their sample playback. Each runs once per
// chunk and writes four values, one per frame of the chunk, in the order
// oscillator 1, 2, 3: oscillator 1 therefore hears oscillator 2's output (its FM
// input) and sync bits one chunk late.
//
// The steps are inline (oscillator1.h, oscillators23.h, sample_playback.h): the
// voice's chunk runs them all in one body.
#pragma once

#include <cstdint>

#include "shared/voice_state.h"

// Wave selector of an oscillator.
enum OscWave : uint32_t {
    kWaveOff = 0,
    kWaveSine = 1,
    kWaveTriangle = 2,
    kWaveSaw = 3,
    kWavePulse = 4,  // oscillators 2 and 3: a rounded square
    kWaveNoise = 5,
    kWaveSample = 6,
};

// Oscillator 1: osc1Wave at osc1Pitch, FM depth osc1FmDepth from the last chunk's
// osc2Out, sync from osc1SyncMask, pulse offset osc1PulseOffset; writes osc1Out.
inline void RenderOscillator1(VoiceState& vs);
// Oscillator 2: osc2Wave at osc2Pitch; writes osc2Out and, with osc2Sync, ORs
// sync bits into osc1SyncMask. Returns false when oscillator 3 is not computed in
// this chunk (osc2Wave 0 or above 6).
inline bool RenderOscillator2(VoiceState& vs);
// Oscillator 3: osc3Wave at osc3Pitch; writes osc3Out.
inline void RenderOscillator3(VoiceState& vs);

// Sample playback of one oscillator for one chunk (sample number, 32.32 position
// pos.frac, pitch index). Returns false, with out 0 and the position unchanged,
// when the sample has no data.
inline bool PlaySample(uint32_t sample, int32_t& pos, uint32_t& frac, uint32_t pitch, int32_t (&out)[4]);

#include "engine/oscillator1.h"
#include "engine/oscillators23.h"
#include "engine/sample_playback.h"
