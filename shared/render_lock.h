// The render lock: song memory versus the live render paths.
//
// An operation that frees or replaces memory that the engine reads (loading or
// resetting a song, removing a sample, reformatting the patterns) holds the lock
// for the time of the change. The live render paths only try it around each
// RenderBlock call: when it is taken they output silence for that block instead
// of waiting, so the audio never blocks on the user interface.
//
// Hold it only around the memory change itself: never across a message box, a
// dialog or a file dialog, or the output stays silent while the box is up.
#pragma once

#include <mutex>

extern std::mutex g_renderLock;

// Holds the render lock for one scope (user-interface side).
class RenderLockGuard {
public:
    RenderLockGuard() { g_renderLock.lock(); }
    ~RenderLockGuard() { g_renderLock.unlock(); }
    RenderLockGuard(const RenderLockGuard&) = delete;
    RenderLockGuard& operator=(const RenderLockGuard&) = delete;
};
