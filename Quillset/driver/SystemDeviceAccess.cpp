#include "driver/DeviceAccess.h"

#include "framework/UniqueHandle.h"

namespace {

class Win32DeviceAccess final : public DeviceAccess {
public:
    HANDLE Open(const wchar_t* path) override {
        return ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0 /* no sharing */, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    }

    // The handle is overlapped, so the driver may pend a request. The call carries its own
    // OVERLAPPED and waits for completion: the buffer is never handed back to the caller
    // while the driver can still write into it.
    bool Control(HANDLE device, DWORD code, void* buffer, DWORD size) override {
        UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!done) return false;
        OVERLAPPED overlapped{};
        overlapped.hEvent = done.Get();
        DWORD returned = 0;
        BOOL ok = ::DeviceIoControl(device, code, buffer, size, buffer, size, &returned,
                                    &overlapped);
        if (!ok && ::GetLastError() == ERROR_IO_PENDING)
            ok = ::GetOverlappedResult(device, &overlapped, &returned, TRUE);
        return ok != FALSE;
    }

    void Close(HANDLE device) override { ::CloseHandle(device); }
};

}  // namespace

DeviceAccess& SystemDeviceAccess() {
    static Win32DeviceAccess access;
    return access;
}
