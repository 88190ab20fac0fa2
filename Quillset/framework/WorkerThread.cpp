#include "framework/WorkerThread.h"

#include "framework/BackgroundWork.h"
#include "framework/ExclusiveLock.h"
#include "framework/StepMarks.h"

namespace {

WorkerThread* current = nullptr;
std::size_t made = 0;

}  // namespace

DWORD WINAPI WorkerThread::Main(void* parameter) {
    WorkerThread& worker = *static_cast<WorkerThread*>(parameter);
    for (;;) {
        BackgroundWork* work = nullptr;
        {
            ExclusiveLock lock(worker.lock_);
            while (worker.next_ == nullptr && !worker.retired_)
                ::SleepConditionVariableSRW(&worker.handed_, &worker.lock_, INFINITE, 0);
            if (worker.next_ == nullptr) return 0;
            work = worker.next_;
            worker.next_ = nullptr;
        }
        work->Run();
        // Free before the work is marked ended, so that the piece its caller hands next
        // comes here and needs no new thread. The end goes to this piece alone.
        worker.busy_ = false;
        work->MarkEnded();
    }
}

WorkerThread* WorkerThread::Make() {
    const std::int64_t began = StepCounter();
    auto* worker = new WorkerThread;
    worker->thread_ = ::CreateThread(nullptr, 0, Main, worker, 0, &worker->threadId_);
    if (worker->thread_ == nullptr) {
        delete worker;  // no thread ever saw it
        return nullptr;
    }
    ++made;
    AddSpan(StepSpan::WorkerStarts, began);
    return worker;
}

void WorkerThread::Retire() {
    {
        ExclusiveLock lock(lock_);
        retired_ = true;
    }
    ::WakeConditionVariable(&handed_);
}

bool WorkerThread::Hand(BackgroundWork& work) {
    if (current != nullptr && current->busy_) {
        // Still inside earlier work that was left behind: it keeps that, and leaves once
        // that ends.
        current->Retire();
        current = nullptr;
    }
    if (current == nullptr) current = Make();
    if (current == nullptr) return false;
    work.thread_ = current->thread_;
    work.threadId_ = current->threadId_;
    current->busy_ = true;
    {
        ExclusiveLock lock(current->lock_);
        current->next_ = &work;
    }
    ::WakeConditionVariable(&current->handed_);
    return true;
}

void EndIdleWorker() {
    if (current == nullptr) return;
    // One still running work leaves by itself once that ends.
    current->Retire();
    current = nullptr;
}

std::size_t WorkersMade() { return made; }
