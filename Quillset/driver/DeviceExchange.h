#pragma once
// One exchange with one slot, run on a thread of its own so that a driver that never returns
// from an open, a control request or a close holds that thread and nothing else:
//   a probe opens the slot and closes it again (the count);
//   a control exchange opens, closes at once and opens again (the driver's first open only
//   tells that the unit is there), sends one control request and closes.
// The caller starts it, waits for the thread within its bounds and reads the outcome only
// once the thread has ended. An exchange the caller gives up on and that does not end is left
// with everything it uses until the process ends (AbandonedExchanges.h): the thread may still
// write into it.

#include "driver/DeviceAccess.h"
#include "driver/DeviceRequest.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <string>

class DeviceExchange {
public:
    // A probe of path.
    DeviceExchange(DeviceAccess& access, const wchar_t* path);
    // A control exchange: code with size bytes of data as input and output.
    DeviceExchange(DeviceAccess& access, const wchar_t* path, DWORD code, const void* data,
                   DWORD size);
    DeviceExchange(const DeviceExchange&) = delete;
    DeviceExchange& operator=(const DeviceExchange&) = delete;

    // Starts the thread; false when it could not be made, and nothing was sent.
    bool Start();
    // The exchange's thread, signalled when it has ended; null before Start.
    HANDLE Thread() const { return thread_.Get(); }
    // The slot's device path.
    const std::wstring& Path() const { return path_; }
    // Whether the thread has ended (false before Start).
    bool HasEnded() const;

    // From the caller, when it gives up: no further step starts, and the requests under way on
    // the device handle the exchange has open now, if any, are cancelled. A request the
    // thread sends at this very moment is cancelled by the thread itself.
    void GiveUp();

    // Read once the thread has ended. Whether the unit opened (the last open, for a control
    // exchange); whether the control request was made; whether it succeeded.
    bool Opened() const { return opened_; }
    bool Answered() const { return answered_; }
    bool Succeeded() const { return succeeded_; }
    // The request, its answer once Succeeded().
    const DeviceRequest& Request() const { return request_; }

private:
    static DWORD WINAPI ThreadMain(void* exchange);
    void Run();
    void Ask(HANDLE device);
    HANDLE OpenDevice();
    void CloseDevice(HANDLE device);

    DeviceAccess& access_;
    const std::wstring path_;
    const bool probe_;
    const DWORD code_;
    DeviceRequest request_;
    UniqueHandle thread_;

    std::atomic<bool> givenUp_{false};
    SRWLOCK deviceLock_ = SRWLOCK_INIT;  // guards device_ between the thread and GiveUp
    HANDLE device_ = INVALID_HANDLE_VALUE;

    bool opened_ = false;
    bool answered_ = false;
    bool succeeded_ = false;
};
