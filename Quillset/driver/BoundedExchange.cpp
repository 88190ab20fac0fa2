#include "driver/BoundedExchange.h"

#include "driver/AbandonedExchanges.h"
#include "driver/ExchangeBounds.h"

#include <utility>

bool FinishedWithinBounds(DeviceAccess& access, std::unique_ptr<DeviceExchange>& exchange) {
    // A driver still holding an earlier exchange with the slot would hold this one too.
    if (IsSlotHeldByDriver(exchange->Path())) return false;
    if (!exchange->Start()) return false;
    if (access.WaitForExchange(*exchange, kRequestCompletionBoundMs)) return true;
    access.Cancel(*exchange);
    // A request may still complete after the cancel, cancelled or not: what the driver
    // reported counts.
    if (access.WaitForExchange(*exchange, kCancellationBoundMs)) return true;
    KeepUntilProcessEnds(std::move(exchange));
    return false;
}
