#include "driver/DeviceAccess.h"

#include "driver/DeviceExchange.h"
#include "framework/MessageWait.h"

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

// Far below the 5 s after which Windows counts a window that reads no messages as hung.
constexpr DWORD kQuietWaitMs = 50;

void CancelRequestsOn(HANDLE device) { ::CancelIoEx(device, nullptr); }

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

    bool Control(HANDLE device, DWORD code, DeviceRequest& request) override {
        request.completed.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!request.completed) return false;
        request.overlapped = OVERLAPPED{};
        request.overlapped.hEvent = request.completed.Get();
        DWORD returned = 0;
        if (::DeviceIoControl(device, code, request.buffer.data(), request.Size(),
                              request.buffer.data(), request.Size(), &returned,
                              &request.overlapped))
            return true;
        if (::GetLastError() != ERROR_IO_PENDING) return false;
        // Only the exchange's thread waits here, for as long as the driver holds the request:
        // the caller bounds the exchange, cancels it, and leaves it behind if need be. Until
        // the request completes its buffer, OVERLAPPED and event stay in use.
        ::WaitForSingleObject(request.completed.Get(), INFINITE);
        return ::GetOverlappedResult(device, &request.overlapped, &returned, FALSE) != FALSE;
    }

    void Close(HANDLE device) override { ::CloseHandle(device); }

    bool WaitForExchange(DeviceExchange& exchange, DWORD milliseconds) override {
        // The user-interface thread waits here. Most exchanges end within a millisecond or
        // two: that long it waits without reading messages, which spares the dialog a repaint
        // of its busy state between OK and its end; for the rest of the bound it keeps
        // reading them.
        const DWORD quiet = milliseconds < kQuietWaitMs ? milliseconds : kQuietWaitMs;
        if (::WaitForSingleObject(exchange.Thread(), quiet) == WAIT_OBJECT_0) return true;
        return WaitReadingMessages(exchange.Thread(), milliseconds - quiet);
    }

    void Cancel(DeviceExchange& exchange) override {
        // A request the driver pended, on the handle the exchange has open; and an open, a
        // request or a close the driver sits on in its dispatch routine, for a driver that
        // lets it be cancelled.
        exchange.GiveUp(CancelRequestsOn);
        ::CancelSynchronousIo(exchange.Thread());
    }
};

}  // namespace

HANDLE DeviceCompletionPort() { return ProcessCompletionPort(); }

DeviceAccess& SystemDeviceAccess() {
    static Win32DeviceAccess access;
    return access;
}
