#pragma once
// The narrow seam between the channel and the device objects: open, the steps of one
// overlapped control request, close. Production goes to CreateFileW (each handle associated
// with one completion port), DeviceIoControl, a wait that keeps reading the thread's messages
// (framework/MessageWait.h), CancelIoEx, GetOverlappedResult and CloseHandle; tests script
// units here. How long to wait and when to give up is the channel's (BoundedControl.h).

#include "driver/DeviceRequest.h"

#include <windows.h>

enum class RequestState { Succeeded, Failed, Pending };

class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // INVALID_HANDLE_VALUE when the unit is not there or cannot be opened.
    virtual HANDLE Open(const wchar_t* path) = 0;
    // Sends the request, its buffer both input and output. Pending: the driver holds it, and
    // its buffer, OVERLAPPED and event stay in use until it completes.
    virtual RequestState Send(HANDLE device, DWORD code, DeviceRequest& request) = 0;
    // True once the pending request has completed; waits at most milliseconds for that.
    virtual bool WaitForCompletion(DeviceRequest& request, DWORD milliseconds) = 0;
    // Asks the driver to cancel the pending request. It still has to complete.
    virtual void Cancel(HANDLE device, DeviceRequest& request) = 0;
    // Whether a completed request succeeded.
    virtual bool Succeeded(HANDLE device, DeviceRequest& request) = 0;
    virtual void Close(HANDLE device) = 0;
};

// The production seam: the real device objects through Win32.
DeviceAccess& SystemDeviceAccess();
// The completion port every device handle it opens is associated with; null when it could
// not be created.
HANDLE DeviceCompletionPort();
