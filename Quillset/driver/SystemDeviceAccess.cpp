#include "driver/DeviceAccess.h"

#include "framework/MessageWait.h"

namespace {

// Windows ties a request to the thread that issued it, and a thread that ends waits for its
// requests to be given back, for minutes if the driver holds one. Requests on a handle
// associated with a completion port are tied to no thread, so every device handle is
// associated with this one port. Nothing is taken from the port: the program waits on each
// request's own event. Created on first use and never closed, like the requests a driver
// may still complete into (AbandonedRequests.h).
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

    RequestState Send(HANDLE device, DWORD code, DeviceRequest& request) override {
        request.completed.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!request.completed) return RequestState::Failed;
        request.overlapped = OVERLAPPED{};
        request.overlapped.hEvent = request.completed.Get();
        DWORD returned = 0;
        if (::DeviceIoControl(device, code, request.buffer.data(), request.Size(),
                              request.buffer.data(), request.Size(), &returned,
                              &request.overlapped))
            return RequestState::Succeeded;
        return ::GetLastError() == ERROR_IO_PENDING ? RequestState::Pending
                                                    : RequestState::Failed;
    }

    bool WaitForCompletion(DeviceRequest& request, DWORD milliseconds) override {
        // The user-interface thread waits here: it keeps reading its messages meanwhile.
        return WaitReadingMessages(request.completed.Get(), milliseconds);
    }

    void Cancel(HANDLE device, DeviceRequest& request) override {
        ::CancelIoEx(device, &request.overlapped);
    }

    bool Succeeded(HANDLE device, DeviceRequest& request) override {
        DWORD returned = 0;
        return ::GetOverlappedResult(device, &request.overlapped, &returned, FALSE) != FALSE;
    }

    void Close(HANDLE device) override { ::CloseHandle(device); }
};

}  // namespace

HANDLE DeviceCompletionPort() { return ProcessCompletionPort(); }

DeviceAccess& SystemDeviceAccess() {
    static Win32DeviceAccess access;
    return access;
}
