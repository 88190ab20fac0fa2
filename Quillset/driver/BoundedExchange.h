#pragma once
// One control call that never blocks past the exchange bounds (ExchangeBounds.h).

#include "driver/DeviceAccess.h"

// Sends code with buffer as input and output, size bytes each way. True when the driver
// completed the request with success. A request that completes, in time, copies what it left
// into buffer, as a direct call would. One given up on is cancelled and, if the driver still
// holds it, left behind with its memory; it counts as a failed call and buffer keeps what it
// held before.
bool ControlWithinBounds(DeviceAccess& access, HANDLE device, DWORD code, void* buffer,
                         DWORD size);
