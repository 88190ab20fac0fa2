// The wait for background work, on the system clock with short bounds: the wait that runs in
// the program, its worker threads and its end signals, as they are.
#include "framework/BackgroundWork.h"
#include "framework/UniqueHandle.h"
#include "framework/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Runs until the test lets it go, or for runMs.
class HeldWork final : public BackgroundWork {
public:
    explicit HeldWork(DWORD runMs = INFINITE) : runMs_(runMs) {}
    ~HeldWork() override {
        LetGo();
        // A work may be destroyed only once it has ended.
        const ULONGLONG giveUpAt = GetTickCount64() + 10000;
        while (Thread() != nullptr && !HasEnded() && GetTickCount64() < giveUpAt) Sleep(2);
    }
    void LetGo() { SetEvent(letGo_.Get()); }

private:
    void Run() override { WaitForSingleObject(letGo_.Get(), runMs_); }

    const DWORD runMs_;
    UniqueHandle letGo_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

bool WaitFor(BackgroundWork& work, DWORD boundMs) {
    const ULONGLONG now = SystemClock().Now();
    return work.WaitUntil(now + boundMs, now + 50, SystemClock());
}

std::atomic<int> timerCalls{0};

TEST(BackgroundWork, TheWaitEndsWithTheWorkAtOnceOrLaterReadingMessagesMeanwhile) {
    HeldWork atOnce(0);
    ASSERT_TRUE(atOnce.Start());
    EXPECT_NE(atOnce.ThreadId(), GetCurrentThreadId());
    EXPECT_TRUE(WaitFor(atOnce, 5000));

    // Past its quiet start the wait dispatches the thread's messages: the timer's here.
    HeldWork later(300);
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM,
                                    [](HWND, UINT, UINT_PTR, DWORD) { ++timerCalls; });
    ASSERT_NE(timer, 0u);
    ASSERT_TRUE(later.Start());
    EXPECT_EQ(later.ThreadId(), atOnce.ThreadId());  // the same worker, kept
    // Woken by the work's end, not by its bound.
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(WaitFor(later, 20000));
    EXPECT_LT(GetTickCount64() - start, 20000u);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(later.HasEnded());
    EXPECT_GT(timerCalls.load(), 0);
}

// Work left behind keeps its worker, and its late end belongs to it alone: it neither ends
// nor shortens the wait for the work after it, which runs on a new worker.
TEST(BackgroundWork, ANeverEndingWorkIsGivenUpAtItsBoundAndItsLateEndCutsNoOtherWaitShort) {
    HeldWork leftBehind;
    ASSERT_TRUE(leftBehind.Start());
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(WaitFor(leftBehind, 200));
    EXPECT_GE(GetTickCount64() - start, 200u);
    EXPECT_FALSE(leftBehind.HasEnded());

    HeldWork next;
    const std::size_t made = WorkersMade();
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(WorkersMade(), made + 1);
    EXPECT_NE(next.ThreadId(), leftBehind.ThreadId());

    std::atomic<ULONGLONG> leftBehindEndedAt{0};
    std::thread driver([&] {
        Sleep(150);  // well past the wait's quiet start: it waits on its end event by then
        leftBehind.LetGo();
        while (!leftBehind.HasEnded()) Sleep(1);
        leftBehindEndedAt = GetTickCount64();
        Sleep(250);
        next.LetGo();
    });
    const bool ended = WaitFor(next, 10000);
    const ULONGLONG returnedAt = GetTickCount64();
    driver.join();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(next.HasEnded());
    ASSERT_NE(leftBehindEndedAt.load(), 0u);
    EXPECT_GT(returnedAt, leftBehindEndedAt.load());

    // The worker that was left behind ends its thread once its work has ended.
    UniqueHandle oldWorker(OpenThread(SYNCHRONIZE, FALSE, leftBehind.ThreadId()));
    ASSERT_TRUE(oldWorker);
    EXPECT_EQ(WaitForSingleObject(oldWorker.Get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
