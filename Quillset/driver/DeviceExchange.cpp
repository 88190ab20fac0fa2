#include "driver/DeviceExchange.h"

#include "framework/ExclusiveLock.h"
#include "framework/StepMarks.h"

DeviceExchange::DeviceExchange(DeviceAccess& access, const wchar_t* path)
    : access_(access), path_(path), probe_(true), code_(0), request_(nullptr, 0) {}

DeviceExchange::DeviceExchange(DeviceAccess& access, const wchar_t* path, DWORD code,
                               const void* data, DWORD size)
    : access_(access), path_(path), probe_(false), code_(code), request_(data, size) {}

void DeviceExchange::Run() {
    const std::int64_t began = StepCounter();
    {
        ExclusiveLock lock(stepLock_);
        running_ = true;
    }
    RunSteps();
    {
        // From here on a cancel aimed at this worker would reach whatever it does next.
        ExclusiveLock lock(stepLock_);
        running_ = false;
    }
    AddSpan(StepSpan::DeviceSteps, began);
}

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
    if (!access_.Send(device, code_, request_)) return;
    asked_ = true;
    // The caller may have given up between the look above and the request reaching the
    // driver: its cancel then found nothing to cancel, so the request is cancelled here.
    if (givenUp_) access_.CancelRequests(device);
    succeeded_ = access_.Finish(device, request_);
}

HANDLE DeviceExchange::OpenDevice() {
    if (givenUp_) return INVALID_HANDLE_VALUE;
    const HANDLE device = access_.Open(path_.c_str());
    ExclusiveLock lock(stepLock_);
    device_ = device;
    return device;
}

void DeviceExchange::CloseDevice(HANDLE device) {
    {
        ExclusiveLock lock(stepLock_);
        device_ = INVALID_HANDLE_VALUE;
    }
    access_.Close(device);
}

void DeviceExchange::GiveUp() {
    givenUp_ = true;
    ExclusiveLock lock(stepLock_);
    if (device_ != INVALID_HANDLE_VALUE) access_.CancelRequests(device_);
    // Under the lock, running_ keeps the worker inside Run, so the thread is still there.
    if (running_) access_.CancelBlockingCall(Thread());
}
