// Waits on what another thread does: polls a condition every millisecond
// until it holds or the time is up.
#pragma once

#include <chrono>
#include <thread>

// True once `done` holds, false when it still does not after `limit`.
template <typename Pred>
bool Eventually(Pred done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
