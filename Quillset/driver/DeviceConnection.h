#pragma once
// One opened device object, closed through its seam when it goes out of scope.

#include "driver/BoundedControl.h"
#include "driver/DeviceAccess.h"

#include <utility>

class DeviceConnection {
public:
    DeviceConnection(DeviceAccess& access, const wchar_t* path)
        : access_(access), handle_(access.Open(path)) {}
    ~DeviceConnection() { Close(); }
    DeviceConnection(const DeviceConnection&) = delete;
    DeviceConnection& operator=(const DeviceConnection&) = delete;

    bool IsOpen() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    bool Control(DWORD code, void* buffer, DWORD size) {
        return ControlWithinBounds(access_, handle_, code, buffer, size);
    }
    void Close() {
        HANDLE h = std::exchange(handle_, INVALID_HANDLE_VALUE);
        if (h != INVALID_HANDLE_VALUE) access_.Close(h);
    }

private:
    DeviceAccess& access_;
    HANDLE handle_;
};
