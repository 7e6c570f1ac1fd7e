// Threads and auto-reset events in the shape the audio host uses them.
//
// Linux has no asynchronous thread suspension, so a suspend is cooperative: a
// thread created here calls ThreadParkPoint() at the top of its loop, and
// SuspendThread returns once the thread stands there. A thread blocked in an
// infinite WaitForSingleObject counts as parked too (it touches nothing while it
// waits, and if it is woken while suspended it parks before the wait returns),
// so suspending a thread that waits for a signal never deadlocks. A suspended
// thread takes no signal: one that arrives meanwhile stays in the event.
#pragma once

#include <cstdint>

struct PlatformThread;
struct PlatformEvent;
using ThreadHandle = PlatformThread*;
using EventHandle = PlatformEvent*;
using ThreadProc = uint32_t (*)(void* param);

inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;
inline constexpr uint32_t WAIT_OBJECT_0 = 0;
inline constexpr uint32_t WAIT_TIMEOUT = 258;

// Auto-reset event, initially not signalled. Null when it cannot be created.
EventHandle CreateAutoResetEvent();
void SetEvent(EventHandle event);
void ResetEvent(EventHandle event);
// WAIT_OBJECT_0 when signalled (the signal is consumed), WAIT_TIMEOUT after
// `ms` milliseconds; INFINITE waits for the signal.
uint32_t WaitForSingleObject(EventHandle event, uint32_t ms);
void CloseEvent(EventHandle event);

// A thread running proc(param); with `suspended` it parks before its first
// instruction until ResumeThread. Null when it cannot be created.
ThreadHandle CreatePlatformThread(ThreadProc proc, void* param, bool suspended);
// Raises the thread to the highest priority the system grants (real-time
// round-robin, else a lower nice value); returns false and leaves the thread as
// it is when the system allows neither.
bool SetThreadTimeCritical(ThreadHandle thread);
// Raises the calling thread the same way (for threads not made here).
bool RaiseCurrentThreadPriority();
void ResumeThread(ThreadHandle thread);
// Returns once the thread is parked (at ThreadParkPoint or in an infinite wait).
// Must not be called by the thread itself.
void SuspendThread(ThreadHandle thread);
// The calling thread's safe point: stops here while a suspension is pending.
void ThreadParkPoint();

// For tests and measurements: loop passes (ThreadParkPoint calls) so far, CPU
// seconds used, and waiting for the end of a thread (its procedure returned).
uint64_t ThreadLoopCount(ThreadHandle thread);
double ThreadCpuSeconds(ThreadHandle thread);
// Resumes the thread, waits for its procedure to return and frees the handle.
void JoinPlatformThread(ThreadHandle thread);
