// Sample playback (wave 6 of every oscillator).
//
// Numeric contract:
// - The play position is 32.32 fixed point: whole frames in pos (signed 32-bit),
//   the fraction in frac (units of 2^-32 frame). The step per output frame is
//   g_sampleStepHigh/Low[pitch], 2^((pitch - 0x4800) / 3072) frames truncated:
//   pitch 0x4800 plays at the stored rate (one 2^-32 under a whole frame).
// - Per frame: advance, then the end test (pos >= length jumps to the loop
//   point with fraction 0; the loop point equal to the length means no loop and
//   parks the position on the zero guard frame), then read.
// - Output = p0 x 2^16 + 2 x floor((p1 - p0) x w / 2^16), w = frac >> 1, formed
//   exactly: a full-scale sample spans +-2^31. p1 (the next frame) is read only
//   when w is not 0, so no read goes past the guard frame. The stored fraction
//   keeps only the 31 bits the weight used.
// - Sample number, data pointer, length and loop point are read once per chunk.
#pragma once

#include <algorithm>

#include "engine/oscillators.h"
#include "engine/tables.h"
#include "shared/constants.h"
#include "shared/samples.h"

[[gnu::always_inline]] inline bool PlaySample(uint32_t sample, int32_t& pos, uint32_t& frac, uint32_t pitch,
                                              int32_t (&out)[4]) {
    const uint32_t n = sample & (kSampleSlots - 1);  // the field always holds 0..255
    const int16_t* data = g_sampleData[n];
    if (data == nullptr) {
        out[0] = out[1] = out[2] = out[3] = 0;
        return false;
    }
    const uint32_t length = g_sampleLength[n];
    // A loop point beyond the length would leave the sample's memory: held at the
    // length (no loop).
    const uint32_t loop = std::min<uint32_t>(g_sampleLoopPoint[n], length);
    const uint32_t stepLow = g_sampleStepLow[pitch];
    const uint32_t stepHigh = g_sampleStepHigh[pitch];

    uint32_t p = static_cast<uint32_t>(pos);
    uint32_t f = frac;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const uint32_t sum = f + stepLow;
        p += stepHigh + (sum < f ? 1u : 0u);
        f = sum;
        // Compared unsigned: a position that a start offset or a wrap made
        // negative counts as past the end instead of reading before the data.
        if (p >= length) {
            p = loop;
            f = 0;
        }
        const int32_t p0 = data[p];
        const uint32_t w = f >> 1;
        int32_t value = p0 * 65536;
        if (w != 0) {
            const int64_t diff = static_cast<int64_t>(data[p + 1]) - p0;
            value += static_cast<int32_t>(((diff * w) >> 16) * 2);
        }
        out[i] = value;
        f &= ~1u;
    }
    pos = static_cast<int32_t>(p);
    frac = f;
    return true;
}
