#include "driver/BoundedExchange.h"

#include "driver/AbandonedExchanges.h"
#include "driver/ExchangeBounds.h"

#include <utility>

bool FinishedWithinBounds(DeviceAccess& access, std::unique_ptr<DeviceExchange>& exchange) {
    if (!exchange->Start()) return false;
    if (access.WaitForExchange(*exchange, kRequestCompletionBoundMs)) return true;
    // Whatever happens to it from here on, the caller never sees it.
    access.Cancel(*exchange);
    if (!access.WaitForExchange(*exchange, kCancellationBoundMs))
        KeepUntilProcessEnds(std::move(exchange));
    return false;
}
