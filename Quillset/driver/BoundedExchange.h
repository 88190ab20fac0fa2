#pragma once
// Runs one exchange with a slot (DeviceExchange.h) without ever waiting past the exchange
// bounds (ExchangeBounds.h): the first bound from the exchange's start, then a cancel, then
// the second bound. An exchange still running after that is left behind with its memory and
// its thread until the process ends; whatever it does later reaches no caller.

#include "driver/DeviceAccess.h"
#include "driver/DeviceExchange.h"

#include <memory>

// True when the exchange ended within the first bound; its outcome can then be read. False
// when it could not start or was given up on; exchange is then empty if it was left behind.
bool FinishedWithinBounds(DeviceAccess& access, std::unique_ptr<DeviceExchange>& exchange);
