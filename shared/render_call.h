// The render call block: how the audio host talks to RenderBlock.
//
// Before each call the host fills g_renderOut (one 32-bit word per stereo frame,
// left 16-bit sample in bits 0-15, right in bits 16-31), g_renderFrames (1 to
// 11,025) and g_renderPeriodPos (position of the call's first frame within the
// current render period; position + frames <= 11,025). The engine stores exactly
// g_renderFrames words and leaves g_renderOut just behind the last one.
// g_renderBusy is 1 from the entry of RenderBlock to its exit; the live output
// paths skip a block while it is set. The output words are stored relaxed: the
// block may lie in a sound buffer that the device reads meanwhile.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

extern Relaxed<uint32_t*> g_renderOut;
extern Relaxed<uint32_t> g_renderFrames;
extern Relaxed<uint32_t> g_renderPeriodPos;
extern Relaxed<uint8_t> g_renderBusy;

// The busy word's entry and exit marks, and the one look that other threads take
// at it before they release memory the engine reads. The entry is an exchange
// with acquire and release order, the exit a release store, and the look a
// compare-exchange 0 -> 0 with both orders. When the look succeeds, every call
// that ran before it has finished reading, and every call that starts after it
// sees everything the looking thread wrote before the look (for example a
// cleared data pointer).
inline void MarkRenderEntry() noexcept { g_renderBusy.exchange(1, std::memory_order_acq_rel); }
inline void MarkRenderExit() noexcept { g_renderBusy.store(0, std::memory_order_release); }
inline bool ObserveRenderIdle() noexcept {
    uint8_t idle = 0;
    return g_renderBusy.compare_exchange(idle, 0, std::memory_order_acq_rel);
}
