// Little-endian numbers in file bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// 16-bit frames as they lie in a file (little-endian) <-> in memory. On a
// little-endian machine both are the same bytes.
inline void FramesFromFileOrder(int16_t* frames, size_t count) {
    if constexpr (std::endian::native != std::endian::little) {
        auto* b = reinterpret_cast<uint8_t*>(frames);
        for (size_t i = 0; i < count; ++i) frames[i] = static_cast<int16_t>(GetU16(b + 2 * i));
    }
}
inline void FramesToFileOrder(const int16_t* frames, uint8_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) PutU16(out + 2 * i, static_cast<uint16_t>(frames[i]));
}
