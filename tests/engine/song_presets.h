// Sounds and songs built in code for the engine-wide tests and the engine
// benchmark: a heavy sound that uses every stage of a voice, a plain
// two-oscillator sound with the filter, and songs that hold or play them on
// several tracks.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "engine/sequencing.h"
#include "shared/sound_bank.h"
#include "tests/engine/song_fixture.h"

namespace song_presets {

using Settings = std::initializer_list<std::pair<SoundParam, int>>;

// Sound s with every parameter 0 except the centred tunes, channel 1 and the
// given settings.
inline void DefineSound(int s, Settings settings) {
    for (int p = 0; p < kSoundParams; ++p) g_soundBank[p][s] = 0;
    for (SoundParam p : {kParamOsc1Tune, kParamOsc2Tune, kParamOsc2FineTune, kParamOsc3Tune, kParamOsc3FineTune})
        g_soundBank[p][s] = 40;
    g_soundBank[kParamChannel][s] = 1;
    for (const auto& [p, v] : settings) g_soundBank[p][s] = static_cast<uint8_t>(v);
}

// Every stage of a voice at work: a pulse with pulse-width modulation, FM and
// sync from a sawtooth oscillator 2, oscillator 3, ring modulation, the LFO on
// the cutoff, the user envelope on oscillator 2's pitch, the 24 dB low pass with
// resonance and its envelope, and distortion.
inline void HeavySound(int s, int channel = 1) {
    DefineSound(s, {{kParamOsc1Wave, 4},       {kParamOsc1KeyTrack, 1},   {kParamOsc1PulseWidth, 30},
                    {kParamOsc1Pwm, 12},       {kParamOsc2On, 1},         {kParamOsc2Wave, 3},
                    {kParamOsc2Tune, 47},      {kParamOsc2KeyTrack, 1},   {kParamOsc2FmAmount, 30},
                    {kParamOscSync, 1},        {kParamRingMod, 1},        {kParamOsc2Volume, 60},
                    {kParamOsc3On, 1},         {kParamOsc3Wave, 4},       {kParamOsc3FineTune, 45},
                    {kParamOsc3Volume, 50},    {kParamAmpAttack, 20},     {kParamAmpDecay, 40},
                    {kParamAmpSustain, 60},    {kParamAmpRelease, 30},    {kParamAmpGain, 80},
                    {kParamFilterOn, 1},       {kParamFilterType, 2},     {kParamFilterCutoff, 45},
                    {kParamFilterResonance, 60}, {kParamFilterAttack, 30}, {kParamFilterDecay, 40},
                    {kParamFilterSustain, 30}, {kParamFilterRelease, 40}, {kParamFilterGain, 50},
                    {kParamFilterKeyTrack, 1}, {kParamLfoOn, 1},          {kParamLfoDestination, 4},
                    {kParamLfoShape, 1},       {kParamLfoRate, 40},       {kParamLfoDepth, 10},
                    {kParamUserEnvOn, 1},      {kParamUserEnvAttack, 30}, {kParamUserEnvDecay, 40},
                    {kParamUserEnvSustain, 20}, {kParamUserEnvRelease, 40}, {kParamUserEnvGain, 40},
                    {kParamUserEnvDestination, 4}, {kParamVibratoDepth, 8}, {kParamVibratoRate, 30},
                    {kParamDistortion, 40},    {kParamChannel, channel}});
}

// A plain two-oscillator sound with the 12 dB low pass and its envelope.
inline void PlainSound(int s, int channel = 1) {
    DefineSound(s, {{kParamOsc1Wave, 3},    {kParamOsc1KeyTrack, 1}, {kParamOsc2On, 1},
                    {kParamOsc2Wave, 4},    {kParamOsc2KeyTrack, 1}, {kParamOsc2FineTune, 44},
                    {kParamOsc2Volume, 50}, {kParamAmpAttack, 5},    {kParamAmpDecay, 40},
                    {kParamAmpSustain, 50}, {kParamAmpRelease, 35},  {kParamAmpGain, 70},
                    {kParamFilterOn, 1},    {kParamFilterType, 1},   {kParamFilterCutoff, 50},
                    {kParamFilterResonance, 20}, {kParamFilterDecay, 40}, {kParamFilterSustain, 20},
                    {kParamFilterRelease, 40}, {kParamFilterGain, 40}, {kParamChannel, channel}});
}

// Mixer: bus volumes at 40, pans and sends 0, master 40.
inline void MixerDefaults() {
    for (int b = 0; b < kBuses; ++b) {
        g_mixerSettings.volume[b] = 40;
        g_mixerSettings.pan[b] = 0;
        g_mixerSettings.send1[b] = 0;
        g_mixerSettings.send2[b] = 0;
    }
    g_mixerSettings.master = 40;
}

// Pattern 0 (64 rows) looping: `tracks` tracks each hold one note of sound
// `sound` from row 0, keys spread over two octaves.
inline void HeldNotesSong(int tracks, int sound) {
    using namespace song_fixture;
    g_patternLength = 64;
    NewPattern(0);
    for (int t = 0; t < tracks; ++t) {
        SetCommands(0, t, 0, kCmdInstrument, static_cast<uint8_t>(sound));
        SetNote(0, t, 0, static_cast<uint8_t>(36 + (t * 7) % 24));
    }
    OrderPattern(0, 0);
    OrderJump(1, 0);
}

// Pattern 0 (16 rows) looping: `tracks` tracks play a note of sound `sound`
// every four rows, each released two rows later.
inline void MovingNotesSong(int tracks, int sound) {
    using namespace song_fixture;
    g_patternLength = 16;
    NewPattern(0);
    for (int t = 0; t < tracks; ++t) {
        for (int r = 0; r < 16; r += 4) {
            if (r == 0) SetCommands(0, t, 0, kCmdInstrument, static_cast<uint8_t>(sound));
            SetNote(0, t, r, static_cast<uint8_t>(40 + (t * 5 + r) % 24));
            SetNote(0, t, r + 2, kNoteRelease);
        }
    }
    OrderPattern(0, 0);
    OrderJump(1, 0);
}

}  // namespace song_presets
