#include "driver/DeviceExchange.h"

#include "driver/ExchangeWorker.h"
#include "framework/ExclusiveLock.h"

DeviceExchange::DeviceExchange(DeviceAccess& access, const wchar_t* path)
    : access_(access), path_(path), probe_(true), code_(0), request_(nullptr, 0) {}

DeviceExchange::DeviceExchange(DeviceAccess& access, const wchar_t* path, DWORD code,
                               const void* data, DWORD size)
    : access_(access), path_(path), probe_(false), code_(code), request_(data, size) {}

bool DeviceExchange::Start() { return RunOnWorker(*this); }

bool DeviceExchange::HasEnded() const { return ExchangeHasEnded(*this); }

void DeviceExchange::RunSteps() {
    HANDLE device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return;
    CloseDevice(device);
    if (probe_) {
        // Even when the open came back after the caller gave up: what the driver did counts.
        opened_ = true;
        return;
    }
    device = OpenDevice();
    if (device == INVALID_HANDLE_VALUE) return;
    opened_ = true;
    // A caller that gave up while the unit opened asks nothing more of it.
    if (!givenUp_) Ask(device);
    CloseDevice(device);
}

void DeviceExchange::Ask(HANDLE device) {
    answered_ = true;
    if (!access_.Send(device, code_, request_)) return;
    // The caller may have given up between the look above and the request reaching the
    // driver: its cancel then found nothing to cancel, so the request is cancelled here.
    if (givenUp_) access_.CancelRequests(device);
    succeeded_ = access_.Finish(device, request_);
}

HANDLE DeviceExchange::OpenDevice() {
    if (givenUp_) return INVALID_HANDLE_VALUE;
    const HANDLE device = access_.Open(path_.c_str());
    ExclusiveLock lock(deviceLock_);
    device_ = device;
    return device;
}

void DeviceExchange::CloseDevice(HANDLE device) {
    {
        ExclusiveLock lock(deviceLock_);
        device_ = INVALID_HANDLE_VALUE;
    }
    access_.Close(device);
}

void DeviceExchange::GiveUp() {
    givenUp_ = true;
    ExclusiveLock lock(deviceLock_);
    if (device_ != INVALID_HANDLE_VALUE) access_.CancelRequests(device_);
}
