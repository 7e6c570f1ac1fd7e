// Words shared between threads.
//
// The engine, the GUI thread and the MIDI thread share plain global words without
// locks. Every such word is accessed atomically with relaxed order: on the
// machines we run on that costs nothing over a plain access, and it keeps the
// program free of data races. Where one store publishes other bytes (an event
// code after its key and sound bytes), the writer uses release and the reader
// acquire.
#pragma once

#include <atomic>
#include <cstddef>
#include <type_traits>

// A scalar global word read and written with relaxed atomic order; converts to
// and from T like a plain variable.
template <typename T>
class Relaxed {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    constexpr Relaxed() noexcept : v_(T{}) {}
    constexpr Relaxed(T v) noexcept : v_(v) {}  // NOLINT: implicit on purpose
    Relaxed(const Relaxed&) = delete;

    operator T() const noexcept { return v_.load(std::memory_order_relaxed); }
    T load(std::memory_order mo = std::memory_order_relaxed) const noexcept { return v_.load(mo); }
    void store(T v, std::memory_order mo = std::memory_order_relaxed) noexcept { v_.store(v, mo); }
    Relaxed& operator=(T v) noexcept {
        v_.store(v, std::memory_order_relaxed);
        return *this;
    }
    Relaxed& operator=(const Relaxed& o) noexcept {
        store(o.load());
        return *this;
    }
    T exchange(T v, std::memory_order mo = std::memory_order_relaxed) noexcept { return v_.exchange(v, mo); }
    bool compare_exchange(T& expected, T desired,
                          std::memory_order mo = std::memory_order_relaxed) noexcept {
        return v_.compare_exchange_strong(expected, desired, mo, std::memory_order_relaxed);
    }
    // Read-modify-write from one writer thread (not an atomic increment).
    Relaxed& operator+=(T d) noexcept { return *this = static_cast<T>(load() + d); }
    Relaxed& operator-=(T d) noexcept { return *this = static_cast<T>(load() - d); }

private:
    std::atomic<T> v_;
};

// Relaxed access to one element of a plain shared array (song and sound data,
// event queue bytes), for the places where another thread may write it meanwhile.
template <typename T>
inline T RelaxedLoad(const T& ref) noexcept {
    return std::atomic_ref<T>(const_cast<T&>(ref)).load(std::memory_order_relaxed);
}
template <typename T>
inline void RelaxedStore(T& ref, T v) noexcept {
    std::atomic_ref<T>(ref).store(v, std::memory_order_relaxed);
}
template <typename T>
inline T AcquireLoad(const T& ref) noexcept {
    return std::atomic_ref<T>(const_cast<T&>(ref)).load(std::memory_order_acquire);
}
template <typename T>
inline void ReleaseStore(T& ref, T v) noexcept {
    std::atomic_ref<T>(ref).store(v, std::memory_order_release);
}

// Copies n words between memory that other threads read or write meanwhile (a
// sound buffer the device plays from), word by word, each access relaxed.
template <typename T>
inline void RelaxedCopy(T* dst, const T* src, size_t n) noexcept {
    for (size_t i = 0; i < n; ++i) RelaxedStore(dst[i], RelaxedLoad(src[i]));
}
