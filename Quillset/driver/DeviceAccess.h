#pragma once
// The narrow seam between the channel and the device objects. Production goes to CreateFileW
// (each handle associated with one completion port), DeviceIoControl, CloseHandle and, to give
// up, CancelIoEx and CancelSynchronousIo; tests script units here.
//
// A driver may take as long as it likes over an open, a request or a close, even inside its
// dispatch routine, where no overlapped call returns early. So they run only on an exchange's
// worker thread (DeviceExchange.h, ExchangeWorker.h), and the caller waits for the exchange's
// end through WaitForExchange, within the bounds of BoundedExchange.h.

#include "driver/DeviceRequest.h"

#include <windows.h>

class DeviceExchange;

class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // On the exchange's worker. INVALID_HANDLE_VALUE when the unit is not there or cannot be
    // opened.
    virtual HANDLE Open(const wchar_t* path) = 0;
    // On the exchange's worker. Sends the request, its buffer both input and output: true
    // once the driver has it, answered or still under way; false when it failed at once.
    virtual bool Send(HANDLE device, DWORD code, DeviceRequest& request) = 0;
    // On the exchange's worker, after a Send that returned true: returns once the driver has
    // completed the request, true when it succeeded.
    virtual bool Finish(HANDLE device, DeviceRequest& request) = 0;
    // On any thread: asks the driver to cancel every request under way on device.
    virtual void CancelRequests(HANDLE device) = 0;
    // On the exchange's worker.
    virtual void Close(HANDLE device) = 0;

    // On the caller's thread: true once the exchange has ended; waits at most
    // milliseconds for that, reading the caller's messages meanwhile.
    virtual bool WaitForExchange(DeviceExchange& exchange, DWORD milliseconds) = 0;
    // On the caller's thread: gives the exchange up (DeviceExchange::GiveUp) and asks the
    // driver to let go of what the exchange's worker waits for. The exchange still has to end.
    virtual void Cancel(DeviceExchange& exchange) = 0;
};

// The production seam: the real device objects through Win32. Made on first use and never
// destroyed: a worker left inside the driver may come back into it at any time.
DeviceAccess& SystemDeviceAccess();
// The completion port every device handle it opens is associated with; null when it could
// not be created.
HANDLE DeviceCompletionPort();
