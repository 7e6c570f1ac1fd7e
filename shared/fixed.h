// Fixed-point helpers of the engine.
//
// Engine arithmetic is 32-bit two's complement and wraps on overflow (the build
// uses -fwrapv, so signed +, - and * wrap without undefined behaviour); shifts
// right of signed values are arithmetic (defined in C++20). hi(a, b) is the upper
// 32 bits of the signed 64-bit product, floor(a * b / 2^32); hiu(a, b) the same
// for unsigned factors. No division and no floating point in the audio path.
#pragma once

#include <cstdint>

inline constexpr int32_t hi(int32_t a, int32_t b) noexcept {
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 32);
}
inline constexpr uint32_t hiu(uint32_t a, uint32_t b) noexcept {
    return static_cast<uint32_t>((static_cast<uint64_t>(a) * b) >> 32);
}
// Wrapping 32-bit add/sub/mul spelled out, for places where the reader should see
// that a wrap is intended.
inline constexpr int32_t wrapAdd(int32_t a, int32_t b) noexcept {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline constexpr int32_t wrapSub(int32_t a, int32_t b) noexcept {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline constexpr int32_t wrapMul(int32_t a, int32_t b) noexcept {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// Scaling by 0.8 used by the pattern commands and the chase: hiu(v, 0xCCCCCCCC),
// one less than 0.8 v for the non-zero multiples of 5 (50 gives 39).
inline constexpr uint32_t scale08(uint32_t v) noexcept { return hiu(v, 0xCCCCCCCCu); }
