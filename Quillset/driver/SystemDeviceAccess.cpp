#include "driver/DeviceAccess.h"

namespace {

// Windows ties a request to the thread that issued it, and a thread that ends waits for its
// requests to be given back, for minutes if the driver holds one. Requests on a handle
// associated with a completion port are tied to no thread, so every device handle is
// associated with this one port. Nothing is taken from the port: each request's own event
// tells when it completed. Created on first use and never closed, like the exchanges a
// driver may still complete into (AbandonedExchanges.h).
HANDLE ProcessCompletionPort() {
    static const HANDLE port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    return port;
}

class Win32DeviceAccess final : public DeviceAccess {
public:
    HANDLE Open(const wchar_t* path) override {
        HANDLE device = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        // Without the port the handle still works, with requests tied to this thread.
        if (device != INVALID_HANDLE_VALUE && ProcessCompletionPort())
            ::CreateIoCompletionPort(device, ProcessCompletionPort(), 0, 0);
        return device;
    }

    bool Send(HANDLE device, DWORD code, DeviceRequest& request) override {
        request.completed.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!request.completed) return false;
        request.overlapped = OVERLAPPED{};
        request.overlapped.hEvent = request.completed.Get();
        DWORD returned = 0;
        request.completedAtOnce = ::DeviceIoControl(device, code, request.buffer.data(),
                                                    request.Size(), request.buffer.data(),
                                                    request.Size(), &returned,
                                                    &request.overlapped) != FALSE;
        return request.completedAtOnce || ::GetLastError() == ERROR_IO_PENDING;
    }

    bool Finish(HANDLE device, DeviceRequest& request) override {
        if (request.completedAtOnce) return true;
        // Only the exchange's thread waits here, for as long as the driver holds the request:
        // the caller bounds the exchange, cancels it, and leaves it behind if need be. Until
        // the request completes its buffer, OVERLAPPED and event stay in use.
        ::WaitForSingleObject(request.completed.Get(), INFINITE);
        DWORD returned = 0;
        // False for a request the driver cancelled (ERROR_OPERATION_ABORTED) or failed.
        return ::GetOverlappedResult(device, &request.overlapped, &returned, FALSE) != FALSE;
    }

    void CancelRequests(HANDLE device) override { ::CancelIoEx(device, nullptr); }

    // For a driver that lets its waits be cancelled. A control request, sent overlapped, is
    // reached by CancelRequests alone.
    void CancelBlockingCall(HANDLE thread) override { ::CancelSynchronousIo(thread); }

    void Close(HANDLE device) override { ::CloseHandle(device); }
};

}  // namespace

HANDLE DeviceCompletionPort() { return ProcessCompletionPort(); }

DeviceAccess& SystemDeviceAccess() {
    // Never destroyed, not even by the runtime's exit: a thread left inside the driver may
    // still come back into it.
    static DeviceAccess* const access = new Win32DeviceAccess;
    return *access;
}
