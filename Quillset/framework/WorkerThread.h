#pragma once
// The threads background work (BackgroundWork.h) runs on. One is made at the first piece of
// work and kept, and handed one piece at a time: a piece costs a hand-off to it and a wake-up
// back, both within the process, not a thread's creation, start-up and end. A worker whose
// piece is still running when the next one comes (work given up on and left behind) keeps
// it; the next goes to a new worker, and the old one ends its thread once its piece ends.
// Workers are never destroyed: one may come back at any time. Called from one thread only,
// the one that starts the work.

#include <windows.h>

#include <atomic>
#include <cstddef>

class BackgroundWork;

class WorkerThread {
public:
    // Hands work to the current worker, or to a new one when there is none yet or the
    // current one still runs earlier work. False when no worker could be made.
    static bool Hand(BackgroundWork& work);

private:
    static DWORD WINAPI Main(void* parameter);
    static WorkerThread* Make();
    // Asks the worker to end its thread once it has nothing to run.
    void Retire();

    HANDLE thread_ = nullptr;  // never closed, like the worker
    DWORD threadId_ = 0;
    SRWLOCK lock_ = SRWLOCK_INIT;  // guards next_ and retired_
    CONDITION_VARIABLE handed_ = CONDITION_VARIABLE_INIT;
    BackgroundWork* next_ = nullptr;
    bool retired_ = false;
    // Set by Hand, cleared by the worker once the piece has run, before it marks it ended.
    std::atomic<bool> busy_{false};

    friend void EndIdleWorker();
};

// The work is over for now: the current worker, when idle, ends its thread, so that the
// process's end has no thread of it left to stop. One still running work is left to it. Later
// work makes a new worker.
void EndIdleWorker();

// How many workers this process has made.
std::size_t WorkersMade();
