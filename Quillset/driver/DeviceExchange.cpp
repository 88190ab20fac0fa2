#include "driver/DeviceExchange.h"

DeviceExchange::DeviceExchange(DeviceAccess& access, const wchar_t* path)
    : access_(access), path_(path), probe_(true), code_(0), request_(nullptr, 0) {}

DeviceExchange::DeviceExchange(DeviceAccess& access, const wchar_t* path, DWORD code,
                               const void* data, DWORD size)
    : access_(access), path_(path), probe_(false), code_(code), request_(data, size) {}

bool DeviceExchange::Start() {
    thread_.Reset(::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

DWORD WINAPI DeviceExchange::ThreadMain(void* exchange) {
    static_cast<DeviceExchange*>(exchange)->Run();
    return 0;
}

void DeviceExchange::Run() {
    HANDLE device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return;
    CloseDevice(device);
    if (probe_) {
        opened_ = true;
        return;
    }
    device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return;
    opened_ = true;
    // A caller that gave up while the unit opened asks nothing more of it.
    if (!givenUp_) {
        succeeded_ = access_.Control(device, code_, request_);
        answered_ = true;
    }
    CloseDevice(device);
}

HANDLE DeviceExchange::OpenDevice() {
    if (givenUp_) return INVALID_HANDLE_VALUE;
    const HANDLE device = access_.Open(path_.c_str());
    std::lock_guard<std::mutex> lock(deviceLock_);
    device_ = device;
    return device;
}

void DeviceExchange::CloseDevice(HANDLE device) {
    {
        std::lock_guard<std::mutex> lock(deviceLock_);
        device_ = INVALID_HANDLE_VALUE;
    }
    access_.Close(device);
}

void DeviceExchange::GiveUp(void (*cancel)(HANDLE device)) {
    givenUp_ = true;
    std::lock_guard<std::mutex> lock(deviceLock_);
    if (cancel != nullptr && device_ != INVALID_HANDLE_VALUE) cancel(device_);
}
