#pragma once
// Runs one exchange with a slot (DeviceExchange.h) without ever waiting past the exchange
// bounds (ExchangeBounds.h): the first bound from the exchange's start, then cancels, sent
// again and again until the exchange ends or the second bound passes. An exchange still
// running after that is left behind with its memory and its worker until the process ends;
// whatever it does later reaches no caller. While it is still inside the driver, its slot is
// not asked again.

#include "driver/DeviceExchange.h"
#include "framework/WaitClock.h"

#include <memory>

// True when the exchange ended within the bounds, answered, failed or cancelled: its outcome
// can then be read. False when it was not started (its slot is held by an exchange left
// behind, or no worker could be had) or was left behind; exchange is then empty if it was.
bool FinishedWithinBounds(std::unique_ptr<DeviceExchange>& exchange, WaitClock& clock);
