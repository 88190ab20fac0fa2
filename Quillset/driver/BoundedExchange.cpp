#include "driver/BoundedExchange.h"

#include "driver/AbandonedExchanges.h"
#include "driver/ExchangeBounds.h"
#include "framework/StepMarks.h"

#include <utility>

namespace {

bool WaitWithinBounds(std::unique_ptr<DeviceExchange>& exchange, WaitClock& clock) {
    const ULONGLONG start = clock.Now();
    if (!exchange->Start()) return false;
    const ULONGLONG quietUntil = start + kQuietWaitMs;
    if (exchange->WaitUntil(start + kRequestCompletionBoundMs, quietUntil, clock)) return true;
    // What the exchange ends with from here on, an answer included, is what the driver
    // reported, and counts.
    const ULONGLONG leaveAt = clock.Now() + kCancellationBoundMs;
    for (;;) {
        exchange->GiveUp();
        const ULONGLONG now = clock.Now();
        const ULONGLONG next = now + kCancelRepeatMs < leaveAt ? now + kCancelRepeatMs : leaveAt;
        if (exchange->WaitUntil(next, quietUntil, clock)) return true;
        if (next >= leaveAt) break;
    }
    KeepUntilProcessEnds(std::move(exchange));
    return false;
}

}  // namespace

bool FinishedWithinBounds(std::unique_ptr<DeviceExchange>& exchange, WaitClock& clock) {
    // A driver still holding an earlier exchange with the slot would hold this one too.
    if (IsSlotHeldByDriver(exchange->Path())) return false;
    const std::int64_t began = StepCounter();
    const bool finished = WaitWithinBounds(exchange, clock);
    AddSpan(StepSpan::Exchanges, began);
    return finished;
}
