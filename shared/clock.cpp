#include "shared/clock.h"

#include <chrono>
#include <utility>

namespace {
std::function<uint32_t()>& TestClock() {
    static std::function<uint32_t()> clock;
    return clock;
}
}  // namespace

uint32_t timeGetTime() {
    if (const auto& test = TestClock()) return test();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void SetClockForTest(std::function<uint32_t()> clock) { TestClock() = std::move(clock); }
