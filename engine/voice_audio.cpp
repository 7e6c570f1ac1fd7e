// Voice audio: one chunk (four frames) of a sounding voice, in the frame in which
// the control part found its audio due.
//
// Order of a chunk: oscillator 1, oscillator 2, oscillator 3 (skipped when
// oscillator 2 is off or silent by selector); then the amplifier envelope and the
// amplifier stage (voiceOut); then, with a filter type, the filter envelope, the
// voice filter and the mix into the voice's bus at `pos`, or without one the
// filter-off mix. Oscillator 1 runs first, so it hears oscillator 2's FM output
// and sync bits of the previous chunk.
//
// The envelope steps read only their own fields and the chunk's cutoff, and the
// pulse-width sweep only its own two words, so they run first here, with the
// same result: the filter's coefficients and the mix row are then requested
// from memory while the oscillators run. The voice lanes (voice_lanes.h) run
// the same two halves apart.
#include "engine/oscillators.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "engine/voice_output.h"
#include "shared/constants.h"
#include "shared/mix_buffer.h"
#include "shared/voice_state.h"

namespace {

// The signal part of a chunk; `bus` is the voice's bus in the chunk's mix row.
// Taking the voice's record by reference gives its fields one base address for
// the whole chunk.
[[gnu::always_inline]] inline void ChunkSignal(VoiceState& vs, int32_t* bus) {
    const bool filtered = vs.filterType != 0;
    if (filtered) PrefetchFilter(vs);
    RenderOscillator1(vs);
    if (RenderOscillator2(vs)) RenderOscillator3(vs);
    AmpStage(vs);
    if (filtered) {
        RenderFilter(vs);
        MixVoiceToBus(vs, bus);
    } else {
        MixFilterOff(vs, bus);
    }
}

[[gnu::noinline]] void VoiceChunk(VoiceState& vs, int32_t* bus) {
    VoiceChunkEnvelopes(vs);
    ChunkSignal(vs, bus);
}

}  // namespace

int32_t* VoiceBusWords(const VoiceState& vs, uint32_t pos) {
    // The note start keeps bus within 0..7; the mask keeps any other value inside
    // the row.
    return g_mixBuffer.row[pos] + 4 * (vs.bus & (kBuses - 1));
}

void VoiceChunkSignal(VoiceState& vs, int32_t* bus) { ChunkSignal(vs, bus); }

void RenderVoiceChunk(int v, uint32_t pos) {
    VoiceState& vs = g_voiceState[v];
    int32_t* const bus = VoiceBusWords(vs, pos);
    __builtin_prefetch(bus, 1);
    VoiceChunk(vs, bus);
}
