// Per-voice state of the render engine.
//
// One VoiceState record per voice; g_voiceState[t] belongs to voice t, which
// plays pattern track t and reads lane t of the event queues. Every field is
// 32 bits; a field declared [4] holds one value per sub-frame 0..3 of a chunk
// (entry i = frame i of the chunk in which it was written). All fields are 0
// at program start; the engine resets only the fields its steps name.
//
// The record is engine-private, except for these words, which other threads
// touch while the engine runs and which are therefore accessed through
// RelaxedLoad / RelaxedStore (shared/relaxed.h) on both sides:
//   written by the MIDI input thread: pitchBend, vibratoDepthCmd,
//     vibratoRateCmd, ampGate, filterEnvGate, userEnvGate, ampStage,
//     filterEnvStage, userEnvStage;
//   read by the MIDI input thread: noteOnCountdown, ampGate;
//   read by the GUI thread: tickParity (voice 0).
//
// Formats: pitch index = 1/256 semitone (6,144 = C0, 0..0x9800 in use);
// cutoff index = 1/64 semitone (0..0x1FFE); Q31 = 0x7FFFFFFF is 1.0; envelope
// values are unsigned with full scale 2^32; phases are unsigned accumulators
// that wrap at one period; knob units are 0..80 (a sum with its modulation
// offset 0..160).
#pragma once

#include <atomic>
#include <cstdint>
#include <type_traits>

#include "shared/constants.h"

struct VoiceState {
    // Rate counters.
    int32_t chunkPhase;      // 0..3, +1 mod 4 every frame; the audio runs when it becomes 0
    int32_t chunkCount;      // 0..3, +1 mod 4 whenever chunkPhase becomes 0 (16-frame LFO step)
    int32_t controlCounter;  // 0..63, frame counter of the control tick; 0 at note start

    // Event intake and track sequencer: clock, pending note, per-note settings.
    int32_t tickCountdown;        // frames until the next tick; a tick when it falls below 0
    int32_t tickParity;           // 1 after a row tick, 0 after a half-row tick
    int32_t positionTranspose;    // transpose of the song position, semitones -24..+24
    int32_t sound;                // sound number 1..99; 0 = idle voice
    int32_t pendingSound;         // sound of the next note start
    int32_t pendingKey;           // key of the latest note-on, semitones from C-0
    int32_t pendingGlideFrom;     // glide start, key x 256 (pitch units); 0 = no glide
    int32_t noteOnCountdown;      // frames to the note start (note starts at 1); 0 = none pending
    int32_t key;                  // key of the sounding note, semitones (legato and key changes write it)
    int32_t slideSpeed;           // slide speed 55..79 standing in for Portamento; 0 = none
    int32_t vibratoDepthCmd;      // vibrato override depth, knob units 0..72 (used x 8)
    int32_t vibratoRateCmd;       // vibrato override rate, knob units 0..72 (used << 20); 0 = sound's own vibrato
    int32_t osc2Transpose;        // pitch units added to oscillator 2, semitones x 256
    int32_t osc3Transpose;        // pitch units added to oscillator 3, semitones x 256
    int32_t ampGainOffset;        // knob units added to Amplifier - Gain at note start
    int32_t filterEnvGainOffset;  // knob units added to Filter - Gain at note start
    int32_t cutoffOffset;         // knob units added to Filter - Cutoff (note start and control tick)
    int32_t sampleStartPercent;   // sample start offset 0..99 percent of the sample length

    // Note start: values fixed for the note.
    int32_t osc1SplitTranspose;  // split-set transpose of oscillator 1, semitones x 256
    int32_t osc2SplitTranspose;  // split-set transpose of oscillator 2, semitones x 256
    int32_t osc3SplitTranspose;  // split-set transpose of oscillator 3, semitones x 256

    // Control tick (every 64 frames) and chunk step (every 4 frames).
    uint32_t fading;             // non-zero: voiceGain falls; counts chunks with ampEnv 0
    int32_t gateTimer;           // control ticks to the automatic release; 0 = none
    int32_t vibratoDelay;        // control ticks before the sound's vibrato starts
    uint32_t vibratoPhase;       // vibrato phase; top 13 bits index the triangle table
    int32_t glidePitch;          // portamento pitch, pitch units (key x 256)
    int32_t pitchBend;           // pitch units -512..+511 added at every control tick
    int32_t osc1Tune;            // pitch units, smoothed toward tune knob + vibrato
    int32_t osc2Tune;            // pitch units, tune + fine tune + vibrato, smoothed
    int32_t osc3Tune;            // pitch units, tune + fine tune + vibrato, smoothed
    int32_t osc1BasePitch;       // pitch index 0..0x9800 of the control tick
    int32_t osc2BasePitch;       // pitch index 0..0x9800 of the control tick
    int32_t osc1FmDepthBase;     // FM depth of the control tick, Q31 (knob << 24)
    uint32_t pulseWidthSmooth;   // smoothed pulse-width phase offset (knob x 0x1966666 + 0x1000020)
    uint32_t osc1PulseWidth;     // running pulse-width phase offset; swept by osc1PwmRate
    uint32_t osc1PwmRate;        // pulse-width sweep per chunk (knob << 14); 0 = no sweep
    int32_t osc2VolumeSmooth;    // Q31, smoothed toward Oscillator 2 - Volume x 0x1999999
    int32_t osc2VolumeBase;      // Q31 volume of the control tick
    int32_t osc3VolumeSmooth;    // Q31, smoothed toward Oscillator 3 - Volume x 0x1999999
    int32_t cutoffSmooth;        // cutoff index, smoothed by 1/32
    int32_t cutoffBase;          // cutoff index of the control tick
    int32_t cutoff;              // cutoff index of this chunk before the filter envelope, 0..0x1FFE
    int32_t resonanceHalved;     // 1 from a note-on until its note start: resonance halved
    int32_t filterTypeActive;    // type the filter memories belong to; a change clears them
    int32_t lfoShape;            // 0 = LFO off, 1..3 table shapes, 4 random
    int32_t lfoDepth;            // Q31 depth 0..0x78000000
    int32_t lfoRate;             // phase step per LFO step (every 16 frames)
    int32_t lfoTarget;           // 0 none, 1 pulse width, 2 osc 1 pitch, 3 osc 2 pitch, 4 cutoff
    uint32_t lfoPhase;           // LFO phase; top 10 bits index the LFO wave tables
    int32_t lfoValue;            // current LFO output (signed, depth-scaled)
    int32_t lfoRandomCount;      // random shape: number of values drawn
    int32_t lfoRandomSeed;       // random shape: generator state
    int32_t lfoRandomSmooth;     // random shape: smoothed value

    // Oscillator 1.
    uint32_t osc1Phase;        // phase of waves 1..4
    uint32_t osc1Phase2;       // second phase of the pulse wave
    int32_t osc1History[4];    // table values of the last four frames; [0] also holds the held noise value
    int32_t osc1History2[4];   // second-phase table values of the last four frames (pulse)
    int32_t osc1NoisePhase;    // noise clock, 31-bit; never reset
    uint32_t osc1NoiseCount;   // noise values drawn; never reset
    uint32_t osc1NoiseSeed;    // noise generator state; never reset
    uint32_t osc1SyncMask;     // bit i: oscillator 2 passed a sync point in frame i
    int32_t osc1Out[4];        // output of the chunk, sine full scale +-2^30

    // Sample playback: position is a 32.32 frame count (whole frames, fraction).
    uint32_t osc1Sample;       // sample number 0..255 (255 = none)
    int32_t osc1SamplePos;     // whole frames of the play position
    uint32_t osc1SampleFrac;   // fraction of the play position, 2^-32 frame
    uint32_t osc2Sample;
    int32_t osc2SamplePos;
    uint32_t osc2SampleFrac;
    uint32_t osc3Sample;
    int32_t osc3SamplePos;
    uint32_t osc3SampleFrac;

    // Oscillators 2 and 3.
    uint32_t osc2Phase;        // phase of waves 1..4
    int32_t osc2History[4];    // sine values of the last four frames; [0] also holds the held noise value
    int32_t osc2NoisePhase;    // noise clock, 31-bit; never reset
    uint32_t osc2NoiseCount;   // noise values drawn; never reset
    uint32_t osc2NoiseSeed;    // noise generator state; never reset
    int32_t osc2Out[4];        // output of the chunk; oscillator 1's FM input one chunk later
    uint32_t osc3Phase;
    int32_t osc3History[4];
    int32_t osc3NoisePhase;
    uint32_t osc3NoiseCount;
    uint32_t osc3NoiseSeed;
    int32_t osc3Out[4];

    // Amplifier envelope (AdsrEnvelope) and amplifier stage.
    int32_t ampLevel;           // level 0..31, row of the attack curve; 0 = no output
    uint32_t ampAttackRate;     // attack phase step per chunk
    uint32_t ampDecayRate;      // decay phase step per chunk
    uint32_t ampReleaseRate;    // release phase step per chunk
    uint32_t ampSustainLevel;   // sustain value (envelope value)
    int32_t ampGate;            // non-zero while the note is held
    int32_t ampStage;           // 0 attack, negative decay, positive sustain/release
    uint32_t ampAttackPhase;    // stage runs while bit 19 is clear
    uint32_t ampDecayPhase;
    uint32_t ampReleasePhase;   // release ends at 0x7C000
    uint32_t ampPeak;           // value reached in the attack (envelope value)
    uint32_t ampValue;          // value before the release curve (envelope value)
    int32_t voiceOut[4];        // voice signal of the chunk; filtered in place, then mixed

    // Filter envelope (AdsrEnvelope).
    int32_t filterEnvLevel;
    uint32_t filterEnvAttackRate;
    uint32_t filterEnvDecayRate;
    uint32_t filterEnvReleaseRate;
    uint32_t filterEnvSustainLevel;
    int32_t filterEnvGate;
    int32_t filterEnvStage;
    uint32_t filterEnvAttackPhase;
    uint32_t filterEnvDecayPhase;
    uint32_t filterEnvReleasePhase;
    uint32_t filterEnvPeak;
    uint32_t filterEnvValue;

    // User envelope (AdsrEnvelope).
    int32_t userEnvTarget;      // 0 off, 1 FM depth, 2 pulse width, 3 osc 1 pitch, 4 osc 2 pitch, 5 osc 2 volume, 6 cutoff
    int32_t userEnvLevel;
    uint32_t userEnvAttackRate;
    uint32_t userEnvDecayRate;
    uint32_t userEnvReleaseRate;
    uint32_t userEnvSustainLevel;
    int32_t userEnvGate;
    int32_t userEnvStage;
    uint32_t userEnvAttackPhase;
    uint32_t userEnvDecayPhase;
    uint32_t userEnvReleasePhase;
    uint32_t userEnvPeak;
    uint32_t userEnvValue;

    // Voice filter: three two-pole memories, last output Y1 and the one before Y2.
    int32_t filterMem1Y1;
    int32_t filterMem1Y2;
    int32_t filterMem2Y1;
    int32_t filterMem2Y2;
    int32_t filterMem3Y1;
    int32_t filterMem3Y2;

    // Distortion and bus mix.
    uint32_t voiceGainPrev;     // voiceGain as used by the previous plain (undistorted) mix
    // Inputs of the chunk's signal part, as the chunk step, the control tick,
    // the note start and the envelope steps leave them. One contiguous block,
    // in this order: the voice lanes record it for every chunk (ChunkInputs).
    uint32_t osc1Wave;           // OscWave 1..6; 0 = voice has no audio part; 7..255 play as 1
    uint32_t osc1Pitch;          // pitch index 0..0x9800 of this chunk (user envelope and LFO applied)
    int32_t osc1FmDepth;         // FM depth of this chunk, Q31 0..0x7FFFFFFF
    uint32_t osc1PulseOffset;    // pulse phase offset of this chunk
    uint32_t osc2Wave;           // OscWave 1..6; 0 = off (then oscillator 3 is not computed)
    uint32_t osc2Pitch;          // pitch index 0..0x9800 of this chunk (user envelope and LFO applied)
    uint32_t osc2Sync;           // non-zero: oscillator 2 raises sync bits for oscillator 1
    uint32_t osc2RingMod;        // non-zero: oscillator 1 ring-modulated by oscillator 2
    uint32_t osc2Volume;         // Q31 volume of this chunk (user envelope applied)
    uint32_t osc3Wave;           // OscWave 1..6; 0 = off
    uint32_t osc3Pitch;          // pitch index 0..0x9800, changed only at control ticks
    uint32_t osc3Volume;         // Q31 mix volume
    uint32_t ampEnv;            // envelope of this chunk, Q31 (envelope value >> 1)
    uint32_t ampEnvPrev;        // ampEnv of the previous chunk
    int32_t filterType;          // FilterType 0..5 (0 = off)
    int32_t resonance;           // resonance row 0..30
    uint32_t filterCutoff;      // cutoff index 0..8191 the filter uses in this chunk
    uint32_t drive;              // distortion amount 0..0x1400000 (knob << 18), smoothed by 1/16
    uint32_t voiceGain;          // Q31; 0x7E000000 at note start, -0x2000000 per chunk while fading; 0 = not rendered
    uint32_t bus;                // mixer bus 0..7 (Channel knob - 1)
};

static_assert(std::is_trivially_copyable_v<VoiceState> && std::is_standard_layout_v<VoiceState>);
static_assert(std::atomic_ref<int32_t>::required_alignment <= alignof(int32_t));

extern VoiceState g_voiceState[kVoices];
