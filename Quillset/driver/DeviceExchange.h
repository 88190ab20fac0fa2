#pragma once
// One exchange with one slot, run on a worker thread (ExchangeWorker.h) so that a driver that
// never returns from an open, a control request or a close holds that thread and nothing else:
//   a probe opens the slot and closes it again (the count);
//   a control exchange opens, closes at once and opens again (the driver's first open only
//   tells that the unit is there), sends one control request and closes.
// The caller starts it, waits for its end within its bounds and reads the outcome only once
// it has ended. An exchange the caller gives up on and that does not end is left with
// everything it uses until the process ends (AbandonedExchanges.h): its worker may still
// write into it.

#include "driver/DeviceAccess.h"
#include "driver/DeviceRequest.h"

#include <windows.h>

#include <atomic>
#include <string>

struct ExchangeWorker;

class DeviceExchange {
public:
    // A probe of path.
    DeviceExchange(DeviceAccess& access, const wchar_t* path);
    // A control exchange: code with size bytes of data as input and output.
    DeviceExchange(DeviceAccess& access, const wchar_t* path, DWORD code, const void* data,
                   DWORD size);
    DeviceExchange(const DeviceExchange&) = delete;
    DeviceExchange& operator=(const DeviceExchange&) = delete;

    // Hands it to a worker; false when none could be had, and nothing was sent.
    bool Start();
    // Whether it has ended (false before Start). ExchangeWorker.h waits for that.
    bool HasEnded() const;
    // The worker thread it runs on; null before Start.
    HANDLE Worker() const { return workerThread_; }
    DWORD WorkerId() const { return workerId_; }
    // The slot's device path.
    const std::wstring& Path() const { return path_; }

    // From the caller, when it gives up: no further step starts, and the requests under way on
    // the device handle the exchange has open now, if any, are cancelled. A request the
    // worker sends at this very moment is cancelled by the worker itself.
    void GiveUp();

    // Read once the exchange has ended. Whether the unit opened (the last open, for a control
    // exchange); whether the control request was made; whether it succeeded.
    bool Opened() const { return opened_; }
    bool Answered() const { return answered_; }
    bool Succeeded() const { return succeeded_; }
    // The request, its answer once Succeeded().
    const DeviceRequest& Request() const { return request_; }

private:
    friend struct ExchangeWorker;
    // On the worker.
    void RunSteps();
    void Ask(HANDLE device);
    HANDLE OpenDevice();
    void CloseDevice(HANDLE device);

    DeviceAccess& access_;
    const std::wstring path_;
    const bool probe_;
    const DWORD code_;
    DeviceRequest request_;
    // Set when it is handed over; ended_ is read and written under the worker's lock.
    ExchangeWorker* worker_ = nullptr;
    HANDLE workerThread_ = nullptr;
    DWORD workerId_ = 0;
    bool ended_ = false;

    std::atomic<bool> givenUp_{false};
    SRWLOCK deviceLock_ = SRWLOCK_INIT;  // guards device_ between the worker and GiveUp
    HANDLE device_ = INVALID_HANDLE_VALUE;

    bool opened_ = false;
    bool answered_ = false;
    bool succeeded_ = false;
};
