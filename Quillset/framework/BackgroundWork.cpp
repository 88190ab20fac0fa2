#include "framework/BackgroundWork.h"

#include "framework/ExclusiveLock.h"
#include "framework/MessageWait.h"
#include "framework/WorkerThread.h"

bool BackgroundWork::Start() { return WorkerThread::Hand(*this); }

bool BackgroundWork::HasEnded() const {
    ExclusiveLock lock(lock_);
    return ended_;
}

void BackgroundWork::MarkEnded() {
    // The caller may destroy this object as soon as it sees the end, so everything is done
    // under the lock, which the caller takes to look.
    ExclusiveLock lock(lock_);
    ended_ = true;
    ::WakeAllConditionVariable(&endedCondition_);
    if (endedEvent_) ::SetEvent(endedEvent_.Get());
}

void BackgroundWork::SleepUntilEnded(DWORD milliseconds) {
    ExclusiveLock lock(lock_);
    if (!ended_) ::SleepConditionVariableSRW(&endedCondition_, &lock_, milliseconds, 0);
}

HANDLE BackgroundWork::EndedEvent() {
    ExclusiveLock lock(lock_);
    if (!endedEvent_) endedEvent_.Reset(::CreateEventW(nullptr, TRUE, ended_, nullptr));
    return endedEvent_.Get();
}

bool BackgroundWork::WaitUntil(ULONGLONG deadline, ULONGLONG quietUntil, WaitClock& clock) {
    for (;;) {
        // Looked at before the time, so that work that ended just as the deadline came, or
        // while a message dispatched meanwhile ran past it, counts as ended.
        if (HasEnded()) return true;
        const ULONGLONG now = clock.Now();
        if (now >= deadline) return false;
        const bool quiet = now < quietUntil;
        const ULONGLONG until = quiet && quietUntil < deadline ? quietUntil : deadline;
        clock.Block(*this, static_cast<DWORD>(until - now), !quiet);
    }
}

class SystemWaitClock final : public WaitClock {
public:
    ULONGLONG Now() override { return ::GetTickCount64(); }

    void Block(BackgroundWork& work, DWORD milliseconds, bool readMessages) override {
        if (!readMessages) {
            work.SleepUntilEnded(milliseconds);
            return;
        }
        const HANDLE ended = work.EndedEvent();
        if (ended != nullptr) {
            WaitReadingMessages(ended, milliseconds);
        } else {
            // No event to wait on: look again every few milliseconds.
            PauseReadingMessages(milliseconds < kPollMs ? milliseconds : kPollMs);
        }
    }

private:
    static constexpr DWORD kPollMs = 10;
};

WaitClock& SystemClock() {
    static SystemWaitClock clock;
    return clock;
}
