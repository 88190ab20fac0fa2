#include "driver/ExchangeWorker.h"

#include "driver/DeviceExchange.h"
#include "framework/UniqueHandle.h"

#include <atomic>

namespace {

struct Worker {
    UniqueHandle thread;
    UniqueHandle handed;  // auto-reset: an exchange waits in next
    DeviceExchange* next = nullptr;
    std::atomic<bool> busy{false};
};

DWORD WINAPI WorkerMain(void* parameter) {
    Worker& worker = *static_cast<Worker*>(parameter);
    while (::WaitForSingleObject(worker.handed.Get(), INFINITE) == WAIT_OBJECT_0) {
        DeviceExchange& exchange = *worker.next;
        exchange.RunSteps();
        // Free again before the caller learns of the end, so that its next exchange comes
        // here; the caller may destroy the exchange as soon as it has ended.
        worker.busy = false;
        exchange.MarkEnded();
    }
    return 0;
}

Worker* current = nullptr;
std::size_t made = 0;

// Null when the thread or its event could not be made.
Worker* MakeWorker() {
    auto* worker = new Worker;
    worker->handed.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (worker->handed)
        worker->thread.Reset(::CreateThread(nullptr, 0, WorkerMain, worker, 0, nullptr));
    if (!worker->thread) {
        delete worker;  // no thread ever saw it
        return nullptr;
    }
    ++made;
    return worker;
}

}  // namespace

bool RunOnWorker(DeviceExchange& exchange) {
    // A busy worker is inside the driver with an exchange left behind: it is kept, never
    // handed anything again, and never freed.
    if (current == nullptr || current->busy) current = MakeWorker();
    if (current == nullptr) return false;
    exchange.SetWorker(current->thread.Get());
    current->busy = true;
    current->next = &exchange;
    ::SetEvent(current->handed.Get());
    return true;
}

std::size_t WorkersMade() { return made; }
