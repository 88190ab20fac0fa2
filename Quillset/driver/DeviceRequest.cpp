#include "driver/DeviceRequest.h"

DeviceRequest::DeviceRequest(const void* data, DWORD size)
    : buffer(static_cast<const std::uint8_t*>(data),
             static_cast<const std::uint8_t*>(data) + size) {}
