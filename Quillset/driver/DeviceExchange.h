#pragma once
// One exchange with one slot, run as background work (framework/BackgroundWork.h) so that a
// driver that never returns from an open, a control request or a close holds a worker thread
// and nothing else:
//   a probe opens the slot and closes it again (the count);
//   a control exchange opens, closes at once and opens again (the driver's first open only
//   tells that the unit is there), sends one control request and closes.
// The caller starts it, waits for its end within its bounds (BoundedExchange.h) and reads the
// outcome only once it has ended. An exchange the caller gives up on and that does not end is
// left with everything it uses until the process ends (AbandonedExchanges.h): its worker may
// still write into it.

#include "driver/DeviceAccess.h"
#include "driver/DeviceRequest.h"
#include "framework/BackgroundWork.h"

#include <windows.h>

#include <atomic>
#include <string>

class DeviceExchange final : public BackgroundWork {
public:
    // A probe of path.
    DeviceExchange(DeviceAccess& access, const wchar_t* path);
    // A control exchange: code with size bytes of data as input and output.
    DeviceExchange(DeviceAccess& access, const wchar_t* path, DWORD code, const void* data,
                   DWORD size);

    // The slot's device path.
    const std::wstring& Path() const { return path_; }

    // From the caller, when it gives up, and again while the exchange runs on: no further
    // step starts, and the driver is asked to let go of the step under way now, if any (the
    // requests on the handle the exchange has open, the open or close its worker waits in).
    // A request the worker sends just after is cancelled by the worker itself.
    void GiveUp();

    // Read once the exchange has ended. Whether the unit opened (the last open, for a control
    // exchange); whether the control request was handed to the driver; whether it succeeded.
    bool Opened() const { return opened_; }
    bool Asked() const { return asked_; }
    bool Succeeded() const { return succeeded_; }
    // The request, its answer once Succeeded().
    const DeviceRequest& Request() const { return request_; }

private:
    void Run() override;
    void RunSteps();
    void Ask(HANDLE device);
    HANDLE OpenDevice();
    void CloseDevice(HANDLE device);

    DeviceAccess& access_;
    const std::wstring path_;
    const bool probe_;
    const DWORD code_;
    DeviceRequest request_;

    std::atomic<bool> givenUp_{false};
    SRWLOCK stepLock_ = SRWLOCK_INIT;  // guards device_ and running_ between Run and GiveUp
    HANDLE device_ = INVALID_HANDLE_VALUE;
    bool running_ = false;  // Run is under way: its worker is inside its steps

    bool opened_ = false;
    bool asked_ = false;
    bool succeeded_ = false;
};
