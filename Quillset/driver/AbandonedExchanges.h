#pragma once
// Exchanges still running after they were given up on. Their thread may go on at any later
// time, when the driver lets go of it, and write into the exchange's request, OVERLAPPED and
// event then; so each is kept, with its thread, untouched by anyone, until the process ends.
// Never freed, on purpose.

#include "driver/DeviceExchange.h"

#include <cstddef>
#include <memory>

void KeepUntilProcessEnds(std::unique_ptr<DeviceExchange> exchange);

std::size_t AbandonedExchangeCount();
// Whether request belongs to an exchange left behind.
bool IsAbandoned(const DeviceRequest* request);
