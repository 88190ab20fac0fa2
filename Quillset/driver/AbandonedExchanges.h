#pragma once
// Exchanges still running after they were given up on. Their worker may go on at any later
// time, when the driver lets go of it, and write into the exchange's request, OVERLAPPED and
// events then; so each is kept, with its worker, untouched by anyone, until the process ends.
// Never freed, on purpose. Used from the user-interface thread only.

#include "driver/DeviceExchange.h"

#include <cstddef>
#include <memory>
#include <string>

void KeepUntilProcessEnds(std::unique_ptr<DeviceExchange> exchange);

std::size_t AbandonedExchangeCount();
// Whether request belongs to an exchange left behind.
bool IsAbandoned(const DeviceRequest* request);
// Whether an exchange left behind with the slot at path is still inside the driver.
bool IsSlotHeldByDriver(const std::wstring& path);
