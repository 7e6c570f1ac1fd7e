// The output half of a voice's chunk: amplifier envelope and amplifier stage,
// filter envelope, voice filter, distortion and the mix into the voice's bus.
// Each step works on one voice's fields, once per chunk of four frames, in the
// order RenderVoiceChunk calls them:
//   AmpEnvelope, AmpStage, then with a filter type FilterEnvelope, RenderFilter
//   and MixVoiceToBus, or without one MixFilterOff.
// `bus` points at the four words of the voice's bus in the chunk's mix row.
//
// The steps are inline (envelopes.h, filter.h, bus_mix.h): the voice's chunk
// runs them all in one body.
#pragma once

#include <cstdint>

#include "shared/voice_state.h"

// Amplifier envelope step: ampEnvPrev := ampEnv; ampEnv := the envelope value
// >> 1 (Q31), 0 for level 0 or after the release; fading += 1 when it is 0.
inline void AmpEnvelope(VoiceState& vs);
// Ring modulation (osc1Out := osc1Out x osc2Out >> 30, saturated to 32 bits),
// the envelope ramp e_i = ampEnv + i x ((ampEnv - ampEnvPrev) >> 2) and the mix
// of one, two or three oscillators into voiceOut.
inline void AmpStage(VoiceState& vs);
// Filter envelope step: filterCutoff from cutoff and the envelope value.
inline void FilterEnvelope(VoiceState& vs);
// Voice filter types 1..5 on voiceOut, in place (type 0 leaves it alone).
inline void RenderFilter(VoiceState& vs);
// Asks for the coefficients RenderFilter will read in this chunk (a hint only).
inline void PrefetchFilter(const VoiceState& vs);
// Filter-off mix: voiceOut >> 6 into the bus, or with drive the pre-gain and
// clipper; neither voiceGain nor its ramp applies.
inline void MixFilterOff(const VoiceState& vs, int32_t* bus);
// Plain mix with the voice-gain ramp, or with drive the distortion.
inline void MixVoiceToBus(VoiceState& vs, int32_t* bus);

#include "engine/bus_mix.h"
#include "engine/envelopes.h"
#include "engine/filter.h"

// The envelope steps of a chunk and the pulse-width sweep: the part of the chunk
// that the control part of the next chunk reads back (fading, the envelope
// stages, the running pulse width). The pulse wave sweeps its running width once
// per chunk; the chunk plays the offset formed before the sweep.
[[gnu::always_inline]] inline void VoiceChunkEnvelopes(VoiceState& vs) {
    if (vs.filterType != 0) FilterEnvelope(vs);
    if (vs.osc1Wave == 4) vs.osc1PulseWidth += vs.osc1PwmRate;  // the pulse wave
    AmpEnvelope(vs);
}
