#include "driver/ExchangeWorker.h"

#include "driver/DeviceExchange.h"
#include "framework/ExclusiveLock.h"
#include "framework/MessageWait.h"
#include "framework/UniqueHandle.h"

#include <atomic>

// What an exchange and its worker share is the worker's: a worker outlives every exchange it
// runs, so the worker never touches an exchange once it has marked it ended, and the caller
// may destroy the exchange as soon as it sees that.
struct ExchangeWorker {
    UniqueHandle thread;
    DWORD threadId = 0;
    SRWLOCK lock = SRWLOCK_INIT;  // guards next, quit, the exchanges' ended, eventWanted
    CONDITION_VARIABLE handed = CONDITION_VARIABLE_INIT;
    CONDITION_VARIABLE ended = CONDITION_VARIABLE_INIT;
    DeviceExchange* next = nullptr;
    bool quit = false;
    // For a caller that waits past its quiet time, reading its messages: the worker sets it
    // when an exchange ends while eventWanted.
    UniqueHandle endedEvent;
    bool eventWanted = false;
    std::atomic<bool> busy{false};

    static DWORD WINAPI Main(void* parameter);
    static ExchangeWorker* Make();
    static bool Hand(DeviceExchange& exchange);
    static bool WaitForEnd(const DeviceExchange& exchange, DWORD milliseconds, DWORD quietMs);
    static bool HasEnded(const DeviceExchange& exchange);
};

namespace {

ExchangeWorker* current = nullptr;
std::size_t made = 0;

}  // namespace

DWORD WINAPI ExchangeWorker::Main(void* parameter) {
    ExchangeWorker& worker = *static_cast<ExchangeWorker*>(parameter);
    for (;;) {
        DeviceExchange* exchange = nullptr;
        {
            ExclusiveLock lock(worker.lock);
            while (worker.next == nullptr && !worker.quit)
                ::SleepConditionVariableSRW(&worker.handed, &worker.lock, INFINITE, 0);
            if (worker.next == nullptr) return 0;
            exchange = worker.next;
            worker.next = nullptr;
        }
        exchange->RunSteps();
        // Free again before the caller learns of the end, so that its next exchange comes
        // here.
        worker.busy = false;
        {
            ExclusiveLock lock(worker.lock);
            exchange->ended_ = true;
            if (worker.eventWanted) ::SetEvent(worker.endedEvent.Get());
        }
        ::WakeAllConditionVariable(&worker.ended);
    }
}

ExchangeWorker* ExchangeWorker::Make() {
    auto* worker = new ExchangeWorker;
    worker->endedEvent.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (worker->endedEvent)
        worker->thread.Reset(::CreateThread(nullptr, 0, Main, worker, 0, &worker->threadId));
    if (!worker->thread) {
        delete worker;  // no thread ever saw it
        return nullptr;
    }
    ++made;
    return worker;
}

bool ExchangeWorker::Hand(DeviceExchange& exchange) {
    // A busy worker is inside the driver with an exchange left behind: it is kept, never
    // handed anything again, and never freed.
    if (current == nullptr || current->busy) current = Make();
    if (current == nullptr) return false;
    exchange.worker_ = current;
    exchange.workerThread_ = current->thread.Get();
    exchange.workerId_ = current->threadId;
    current->busy = true;
    {
        ExclusiveLock lock(current->lock);
        current->next = &exchange;
    }
    ::WakeConditionVariable(&current->handed);
    return true;
}

bool ExchangeWorker::WaitForEnd(const DeviceExchange& exchange, DWORD milliseconds,
                                DWORD quietMs) {
    ExchangeWorker& worker = *exchange.worker_;
    const ULONGLONG start = ::GetTickCount64();
    const DWORD quiet = milliseconds < quietMs ? milliseconds : quietMs;
    {
        ExclusiveLock lock(worker.lock);
        for (;;) {
            if (exchange.ended_) return true;
            const ULONGLONG waited = ::GetTickCount64() - start;
            if (waited >= quiet) break;
            ::SleepConditionVariableSRW(&worker.ended, &worker.lock,
                                        static_cast<DWORD>(quiet - waited), 0);
        }
        ::ResetEvent(worker.endedEvent.Get());
        worker.eventWanted = true;
    }
    const ULONGLONG waited = ::GetTickCount64() - start;
    const DWORD rest = waited >= milliseconds ? 0 : static_cast<DWORD>(milliseconds - waited);
    WaitReadingMessages(worker.endedEvent.Get(), rest);
    ExclusiveLock lock(worker.lock);
    worker.eventWanted = false;
    return exchange.ended_;
}

bool ExchangeWorker::HasEnded(const DeviceExchange& exchange) {
    if (exchange.worker_ == nullptr) return false;
    ExclusiveLock lock(exchange.worker_->lock);
    return exchange.ended_;
}

bool RunOnWorker(DeviceExchange& exchange) { return ExchangeWorker::Hand(exchange); }

bool WaitForExchangeEnd(const DeviceExchange& exchange, DWORD milliseconds, DWORD quietMs) {
    return ExchangeWorker::WaitForEnd(exchange, milliseconds, quietMs);
}

bool ExchangeHasEnded(const DeviceExchange& exchange) {
    return ExchangeWorker::HasEnded(exchange);
}

void EndIdleWorker() {
    if (current == nullptr || current->busy) return;
    {
        ExclusiveLock lock(current->lock);
        current->quit = true;
    }
    ::WakeConditionVariable(&current->handed);
    current = nullptr;  // kept, like every worker: its thread may still be on its way out
}

std::size_t WorkersMade() { return made; }
