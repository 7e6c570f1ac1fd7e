// Building blocks of the effect units, shared by units 1 and 2 (effects.cpp)
// and unit 3 (reverb.h).
//
// A ring frame is one 32-bit word, left sample in the low 16 bits, right in the
// high 16 bits. Arithmetic wraps in 32 bits; every stored sample is clamped to
// 16 bits.
#pragma once

#include <cstdint>

#include "engine/effect_setup.h"
#include "shared/fixed.h"

namespace fx {

struct Stereo {
    int32_t left;
    int32_t right;
};

inline int32_t Clamp16(int32_t x) { return x < -32768 ? -32768 : (x > 32767 ? 32767 : x); }
inline int32_t Low(uint32_t frame) { return static_cast<int16_t>(frame & 0xFFFF); }
inline int32_t High(uint32_t frame) { return static_cast<int16_t>(frame >> 16); }
inline uint32_t Pack(int32_t left, int32_t right) {
    return (static_cast<uint32_t>(right) << 16) | (static_cast<uint32_t>(left) & 0xFFFF);
}

// |P| of a phase taken as signed, as an unsigned word (P = -2^31 gives 2^31).
inline uint32_t SweepOf(uint32_t phase) {
    return static_cast<int32_t>(phase) < 0 ? 0u - phase : phase;
}

// A delay in whole frames and a 15-bit fraction toward the next older frame,
// from an 8.24 modulation value m plus a fixed offset in frames.
struct SweptDelay {
    uint32_t frames;
    int32_t fraction;  // 0..32,767
};
inline SweptDelay SweptDelayOf(uint32_t m, uint32_t offset) {
    return {(m >> 24) + offset, static_cast<int32_t>((m & 0xFFFFFF) >> 9)};
}

// One channel (shift 0 = left, 16 = right) read D frames back from write frame
// w in a ring of mask + 1 frames, moved f / 32,768 of the way toward the frame
// one older; the sum is taken in 16 bits.
inline int32_t SweptRead(const uint32_t* ring, uint32_t mask, uint32_t w, SweptDelay d, int shift) {
    const uint32_t r = (w - d.frames) & mask;
    const uint32_t r1 = (r - 1) & mask;
    const int32_t c = static_cast<int16_t>(ring[r] >> shift);
    const int32_t a = static_cast<int16_t>(ring[r1] >> shift);
    const int32_t delta = a - c;  // -65,535..65,535; times f fits in 31 bits
    return static_cast<int16_t>(c + 2 * ((delta * d.fraction) >> 16));
}

// One frame of the four delays (codes 1-4) on a whole ring. writePos is a byte
// offset, 4 bytes per frame; delayLength in bytes. Returns the frame read.
inline Stereo DelayFrame(uint32_t* ring, uint32_t code, uint32_t& writePos, uint32_t delayLength,
                         int32_t feedback, int32_t left, int32_t right) {
    int32_t a;
    int32_t b;
    if (code == kFxDelayDigital) {
        a = left;
        b = right;
    } else if (code == kFxDelayStereo) {
        a = right;
        b = left;
    } else {  // spatial and ping-pong: the right input inverted on the left
        a = 0 - right;
        b = left;
    }
    a >>= 1;
    b >>= 1;
    constexpr uint32_t kByteMask = kFxRingBytes - 1;
    writePos = ((writePos + 4) & kByteMask) & ~3u;
    const uint32_t readPos = ((writePos - delayLength) & kByteMask) & ~3u;
    const uint32_t x = ring[readPos >> 2];
    const int32_t outLeft = Low(x);
    const int32_t outRight = High(x);
    const int32_t backLeft = code == kFxDelayPingPong ? outRight : outLeft;
    const int32_t backRight = code == kFxDelayPingPong ? outLeft : outRight;
    a = Clamp16(a + 2 * hi(backLeft, feedback));
    b = Clamp16(b + 2 * hi(backRight, feedback));
    ring[writePos >> 2] = Pack(a, b);
    return {outLeft, outRight};
}

}  // namespace fx
