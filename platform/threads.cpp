#include "platform/threads.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

// One mutex guards every event and every thread's park state, so that taking
// a signal and being counted as parked change together.
namespace {
std::mutex g_sync;
}  // namespace

struct PlatformEvent {
    std::condition_variable cv;
    bool signalled = false;
};

struct PlatformThread {
    enum class State { Running, Parked };
    std::condition_variable cv;
    std::atomic<bool> suspendRequested{false};
    State state = State::Running;
    PlatformEvent* waitingOn = nullptr;  // in an infinite wait on this event
    std::atomic<uint64_t> loops{0};
    pid_t tid = 0;
    ThreadProc proc = nullptr;
    void* param = nullptr;
    std::thread thread;
};

namespace {

thread_local PlatformThread* t_self = nullptr;

// Parks the calling platform thread while a suspension is pending. `lock` holds
// g_sync.
void ParkLocked(PlatformThread* self, std::unique_lock<std::mutex>& lock) {
    while (self->suspendRequested.load(std::memory_order_relaxed)) {
        self->state = PlatformThread::State::Parked;
        self->cv.notify_all();
        self->cv.wait(lock);
    }
    self->state = PlatformThread::State::Running;
}

bool RaisePriority(pthread_t handle, pid_t tid) {
    sched_param sp{};
    sp.sched_priority = sched_get_priority_max(SCHED_RR) - 10;
    if (sp.sched_priority < 1) sp.sched_priority = 1;
    if (pthread_setschedparam(handle, SCHED_RR, &sp) == 0) return true;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), -11) == 0;
}

}  // namespace

EventHandle CreateAutoResetEvent() { return new (std::nothrow) PlatformEvent; }

void SetEvent(EventHandle event) {
    if (event == nullptr) return;
    std::lock_guard<std::mutex> lock(g_sync);
    event->signalled = true;
    event->cv.notify_all();
}

void ResetEvent(EventHandle event) {
    if (event == nullptr) return;
    std::lock_guard<std::mutex> lock(g_sync);
    event->signalled = false;
}

uint32_t WaitForSingleObject(EventHandle event, uint32_t ms) {
    if (event == nullptr) return WAIT_TIMEOUT;
    PlatformThread* self = t_self;
    std::unique_lock<std::mutex> lock(g_sync);
    if (ms != INFINITE) {
        const bool got = event->cv.wait_for(lock, std::chrono::milliseconds(ms), [event] { return event->signalled; });
        if (got) event->signalled = false;
        return got ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    if (self == nullptr) {
        event->cv.wait(lock, [event] { return event->signalled; });
        event->signalled = false;
        return WAIT_OBJECT_0;
    }
    // Waiting for a signal counts as parked; a signal is taken only while no
    // suspension is pending, so a suspended thread leaves it in the event.
    self->waitingOn = event;
    self->state = PlatformThread::State::Parked;
    self->cv.notify_all();
    for (;;) {
        if (!self->suspendRequested.load(std::memory_order_relaxed) && event->signalled) break;
        event->cv.wait(lock);
    }
    event->signalled = false;
    self->waitingOn = nullptr;
    self->state = PlatformThread::State::Running;
    return WAIT_OBJECT_0;
}

void CloseEvent(EventHandle event) { delete event; }

ThreadHandle CreatePlatformThread(ThreadProc proc, void* param, bool suspended) {
    auto* t = new (std::nothrow) PlatformThread;
    if (t == nullptr) return nullptr;
    t->proc = proc;
    t->param = param;
    t->suspendRequested.store(suspended, std::memory_order_release);
    // A thread created suspended counts as parked from the start.
    if (suspended) t->state = PlatformThread::State::Parked;
    try {
        t->thread = std::thread([t] {
            t_self = t;
            {
                std::unique_lock<std::mutex> lock(g_sync);
                t->tid = static_cast<pid_t>(syscall(SYS_gettid));
                t->cv.notify_all();
                ParkLocked(t, lock);
            }
            t->proc(t->param);
            std::lock_guard<std::mutex> lock(g_sync);
            t->state = PlatformThread::State::Parked;
            t->cv.notify_all();
        });
    } catch (...) {
        delete t;
        return nullptr;
    }
    std::unique_lock<std::mutex> lock(g_sync);
    t->cv.wait(lock, [t] { return t->tid != 0; });
    return t;
}

bool SetThreadTimeCritical(ThreadHandle thread) {
    if (thread == nullptr) return false;
    return RaisePriority(thread->thread.native_handle(), thread->tid);
}

bool RaiseCurrentThreadPriority() {
    return RaisePriority(pthread_self(), static_cast<pid_t>(syscall(SYS_gettid)));
}

void ResumeThread(ThreadHandle thread) {
    if (thread == nullptr) return;
    std::lock_guard<std::mutex> lock(g_sync);
    thread->suspendRequested.store(false, std::memory_order_relaxed);
    thread->cv.notify_all();
    if (thread->waitingOn != nullptr) thread->waitingOn->cv.notify_all();
}

void SuspendThread(ThreadHandle thread) {
    if (thread == nullptr || thread == t_self) return;
    std::unique_lock<std::mutex> lock(g_sync);
    thread->suspendRequested.store(true, std::memory_order_relaxed);
    thread->cv.wait(lock, [thread] { return thread->state == PlatformThread::State::Parked; });
}

void ThreadParkPoint() {
    PlatformThread* self = t_self;
    if (self == nullptr) return;
    self->loops.fetch_add(1, std::memory_order_relaxed);
    if (!self->suspendRequested.load(std::memory_order_relaxed)) return;
    std::unique_lock<std::mutex> lock(g_sync);
    ParkLocked(self, lock);
}

uint64_t ThreadLoopCount(ThreadHandle thread) {
    return thread == nullptr ? 0 : thread->loops.load(std::memory_order_relaxed);
}

double ThreadCpuSeconds(ThreadHandle thread) {
    if (thread == nullptr) return 0.0;
    clockid_t cid;
    if (pthread_getcpuclockid(thread->thread.native_handle(), &cid) != 0) return 0.0;
    timespec ts{};
    if (clock_gettime(cid, &ts) != 0) return 0.0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void JoinPlatformThread(ThreadHandle thread) {
    if (thread == nullptr) return;
    ResumeThread(thread);
    if (thread->thread.joinable()) thread->thread.join();
    delete thread;
}
