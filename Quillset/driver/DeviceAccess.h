#pragma once
// The narrow seam between the channel and the device objects: open, one control call, close.
// Production goes to CreateFileW / DeviceIoControl / CloseHandle; tests script units here.

#include <windows.h>

#include <cstddef>

class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // INVALID_HANDLE_VALUE when the unit is not there or cannot be opened.
    virtual HANDLE Open(const wchar_t* path) = 0;
    // buffer is both the input and the output of the request, size bytes each way. Returns
    // only once the request has completed, so the buffer may be released right after.
    virtual bool Control(HANDLE device, DWORD code, void* buffer, DWORD size) = 0;
    virtual void Close(HANDLE device) = 0;
};

// The production seam: the real device objects through Win32.
DeviceAccess& SystemDeviceAccess();
