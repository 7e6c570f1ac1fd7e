// Random words for the tests that compare the lane code with the voice-by-voice
// code: uniform draws, and a pick among edge values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

class RandomWords {
public:
    explicit RandomWords(uint32_t seed) : rng_(seed) {}
    uint32_t U() { return static_cast<uint32_t>(rng_()); }
    uint32_t Below(uint32_t n) { return U() % n; }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    template <std::size_t N>
    uint32_t Pick(const uint32_t (&edges)[N]) {
        return edges[Below(N)];
    }

private:
    std::mt19937 rng_;
};
