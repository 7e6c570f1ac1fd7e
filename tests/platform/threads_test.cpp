// Auto-reset events and the cooperative suspension of threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/threads.h"
#include "tests/eventually.h"

namespace {

using namespace std::chrono_literals;

struct Loop {
    EventHandle event = CreateAutoResetEvent();
    uint32_t wait = INFINITE;
    std::atomic<bool> run{true};
    std::atomic<int> woken{0};
};

uint32_t LoopProc(void* p) {
    auto* l = static_cast<Loop*>(p);
    while (l->run) {
        ThreadParkPoint();
        if (WaitForSingleObject(l->event, l->wait) == WAIT_OBJECT_0) ++l->woken;
    }
    return 0;
}

void End(Loop& l, ThreadHandle t) {
    l.run = false;
    ResumeThread(t);
    SetEvent(l.event);
    JoinPlatformThread(t);
    CloseEvent(l.event);
}

TEST(ThreadsTest, EventIsAutoResetAndWaitsTimeOut) {
    EventHandle e = CreateAutoResetEvent();
    EXPECT_EQ(WaitForSingleObject(e, 1), WAIT_TIMEOUT);
    SetEvent(e);
    SetEvent(e);  // signals do not add up
    EXPECT_EQ(WaitForSingleObject(e, 1), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 1), WAIT_TIMEOUT);
    SetEvent(e);
    ResetEvent(e);
    EXPECT_EQ(WaitForSingleObject(e, 1), WAIT_TIMEOUT);
    CloseEvent(e);
}

TEST(ThreadsTest, ThreadWaitingForItsEventCountsAsParkedAndKeepsTheSignal) {
    Loop l;
    ThreadHandle t = CreatePlatformThread(LoopProc, &l, true);
    ASSERT_NE(t, nullptr);
    SetEvent(l.event);
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(l.woken, 0) << "a thread created suspended must not run";
    ResumeThread(t);
    ASSERT_TRUE(Eventually([&] { return l.woken == 1; }, 2s));

    SuspendThread(t);  // returns at once: the thread waits for its event
    SetEvent(l.event);
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(l.woken, 1) << "a suspended thread takes no signal";
    ResumeThread(t);
    EXPECT_TRUE(Eventually([&] { return l.woken == 2; }, 2s)) << "the signal waited for the resume";
    End(l, t);
}

TEST(ThreadsTest, SuspendParksARunningThreadAtTheTopOfItsLoop) {
    Loop l;
    l.wait = 1;  // a polling thread
    ThreadHandle t = CreatePlatformThread(LoopProc, &l, false);
    ASSERT_TRUE(Eventually([&] { return ThreadLoopCount(t) > 3; }, 2s));
    SuspendThread(t);
    const uint64_t parked = ThreadLoopCount(t);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ThreadLoopCount(t), parked);
    ResumeThread(t);
    EXPECT_TRUE(Eventually([&] { return ThreadLoopCount(t) > parked + 3; }, 2s));
    End(l, t);
}

}  // namespace
