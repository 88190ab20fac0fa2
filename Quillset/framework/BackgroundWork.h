#pragma once
// A piece of work run off the calling thread, on a worker thread (WorkerThread.h), with an
// end of its own: the signal that it ended belongs to it alone, so nothing that happens to
// other work, earlier or later, wakes or ends a wait for this one.
//
// Work that never ends keeps its worker, and whatever the work uses, for as long as it runs:
// whoever gives up on it keeps it alive until the process ends.

#include "framework/UniqueHandle.h"
#include "framework/WaitClock.h"

#include <windows.h>

class BackgroundWork {
public:
    BackgroundWork() = default;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;
    // Only once it has ended, or when it never started.
    virtual ~BackgroundWork() = default;

    // Hands it to a worker; false when none could be had, and it will not run.
    bool Start();
    // Whether Run has returned (false before Start).
    bool HasEnded() const;
    // The worker thread it runs on, and its id; null and 0 before Start.
    HANDLE Thread() const { return thread_; }
    DWORD ThreadId() const { return threadId_; }

    // True once it has ended; false once clock has reached deadline first. Until quietUntil it
    // waits without reading the caller's messages, afterwards reading them. Whatever wakes the
    // caller before then, only this work's end or the deadline ends the wait.
    bool WaitUntil(ULONGLONG deadline, ULONGLONG quietUntil, WaitClock& clock);

protected:
    // On the worker.
    virtual void Run() = 0;

private:
    friend class WorkerThread;
    friend class SystemWaitClock;

    // On the worker, after Run: its last touch of this object.
    void MarkEnded();
    // For the system clock: sleeps until it ended or milliseconds passed, reading no messages.
    void SleepUntilEnded(DWORD milliseconds);
    // For the system clock: the event set when it ends, made on first use; null when it
    // could not be made.
    HANDLE EndedEvent();

    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    mutable SRWLOCK lock_ = SRWLOCK_INIT;  // guards ended_ and endedEvent_
    CONDITION_VARIABLE endedCondition_ = CONDITION_VARIABLE_INIT;
    bool ended_ = false;
    // Only a wait that reads messages needs a kernel object; most work ends before one does.
    UniqueHandle endedEvent_;
};
