#pragma once
// One device control request: the buffer the driver reads and answers into, the OVERLAPPED
// it completes and that OVERLAPPED's event. It lives on the heap, apart from the caller's
// record, so that a request the driver never gives back can be left with it until the process
// ends (see AbandonedExchanges.h).

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <vector>

struct DeviceRequest {
    DeviceRequest(const void* data, DWORD size);
    DeviceRequest(const DeviceRequest&) = delete;
    DeviceRequest& operator=(const DeviceRequest&) = delete;

    DWORD Size() const { return static_cast<DWORD>(buffer.size()); }

    std::vector<std::uint8_t> buffer;  // the request's input, then its answer
    OVERLAPPED overlapped{};
    UniqueHandle completed;            // the manual-reset event set on completion
    bool completedAtOnce = false;      // the driver answered before the send returned
};
