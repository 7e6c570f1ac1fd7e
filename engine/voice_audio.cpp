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
// The filter envelope reads only its own fields and the chunk's cutoff, so it
// runs first here, with the same result: the filter's coefficients and the mix
// row are then requested from memory while the oscillators run.
#include "engine/oscillators.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "engine/voice_output.h"
#include "shared/constants.h"
#include "shared/mix_buffer.h"
#include "shared/voice_state.h"

namespace {

// The chunk of one voice; `bus` is the voice's bus in the chunk's mix row.
// Taking the voice's record by reference gives its fields one base address for
// the whole chunk.
[[gnu::noinline]] void VoiceChunk(VoiceState& vs, int32_t* bus) {
    const bool filtered = vs.filterType != 0;
    if (filtered) {
        FilterEnvelope(vs);
        PrefetchFilter(vs);
    }
    RenderOscillator1(vs);
    if (RenderOscillator2(vs)) RenderOscillator3(vs);
    AmpEnvelope(vs);
    AmpStage(vs);
    if (filtered) {
        RenderFilter(vs);
        MixVoiceToBus(vs, bus);
    } else {
        MixFilterOff(vs, bus);
    }
}

}  // namespace

void RenderVoiceChunk(int v, uint32_t pos) {
    VoiceState& vs = g_voiceState[v];
    // The note start keeps bus within 0..7; the mask keeps any other value inside
    // the row.
    int32_t* const bus = g_mixBuffer.row[pos] + 4 * (vs.bus & (kBuses - 1));
    __builtin_prefetch(bus, 1);
    VoiceChunk(vs, bus);
}
