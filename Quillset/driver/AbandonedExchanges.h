#pragma once
// Requests the driver still held after they were cancelled. The driver may complete such a
// request at any later time and write its answer, status and event then, so its memory is
// kept, untouched by anyone, until the process ends. Never freed, on purpose.

#include "driver/DeviceRequest.h"

#include <cstddef>
#include <memory>

void KeepUntilProcessEnds(std::unique_ptr<DeviceRequest> request);

std::size_t AbandonedRequestCount();
bool IsAbandoned(const DeviceRequest* request);
