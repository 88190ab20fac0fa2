#include "driver/DeviceAccess.h"

namespace {

class Win32DeviceAccess final : public DeviceAccess {
public:
    HANDLE Open(const wchar_t* path) override {
        return ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
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
        return ::WaitForSingleObject(request.completed.Get(), milliseconds) == WAIT_OBJECT_0;
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

DeviceAccess& SystemDeviceAccess() {
    static Win32DeviceAccess access;
    return access;
}
