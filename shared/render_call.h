// The render call block: how the audio host talks to RenderBlock.
//
// Before each call the host fills g_renderOut (one 32-bit word per stereo frame,
// left 16-bit sample in bits 0-15, right in bits 16-31), g_renderFrames (1 to
// 11,025) and g_renderPeriodPos (position of the call's first frame within the
// current render period; position + frames <= 11,025). The engine stores exactly
// g_renderFrames words and leaves g_renderOut just behind the last one.
// g_renderBusy is 1 from the entry of RenderBlock to its exit; the live output
// paths skip a block while it is set.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

extern Relaxed<uint32_t*> g_renderOut;
extern Relaxed<uint32_t> g_renderFrames;
extern Relaxed<uint32_t> g_renderPeriodPos;
extern Relaxed<uint8_t> g_renderBusy;
