#pragma once
// The narrow seam between the channel and the device objects: the device calls and their
// cancels, nothing else. Production goes to CreateFileW (each handle associated with one
// completion port), DeviceIoControl, CloseHandle, CancelIoEx and CancelSynchronousIo; tests
// script units here.
//
// A driver may take as long as it likes over an open, a request or a close, even inside its
// dispatch routine, where no overlapped call returns early. So the calls run only on an
// exchange's worker thread (DeviceExchange.h), and the cancels come from the thread that
// bounds the exchange (BoundedExchange.h).

#include "driver/DeviceRequest.h"

#include <windows.h>

class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // INVALID_HANDLE_VALUE when the unit is not there or cannot be opened.
    virtual HANDLE Open(const wchar_t* path) = 0;
    // Sends the request, its buffer both input and output: true once the driver has it,
    // answered or still under way; false when it failed at once.
    virtual bool Send(HANDLE device, DWORD code, DeviceRequest& request) = 0;
    // After a Send that returned true: returns once the driver has completed the request,
    // true when it succeeded.
    virtual bool Finish(HANDLE device, DeviceRequest& request) = 0;
    virtual void Close(HANDLE device) = 0;

    // From any thread: asks the driver to cancel every request under way on device.
    virtual void CancelRequests(HANDLE device) = 0;
    // From any thread: asks the driver to let go of the open or close that thread waits in,
    // if any. thread must be running for the length of the call.
    virtual void CancelBlockingCall(HANDLE thread) = 0;
};

// The production seam: the real device objects through Win32. Made on first use and never
// destroyed: a worker left inside the driver may come back into it at any time.
DeviceAccess& SystemDeviceAccess();
// The completion port every device handle it opens is associated with; null when it could
// not be created.
HANDLE DeviceCompletionPort();
