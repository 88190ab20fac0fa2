#include "driver/AbandonedExchanges.h"

#include <algorithm>
#include <vector>

namespace {

// Allocated once and never destroyed: not even the runtime's exit may free what a thread
// still running can write into.
std::vector<DeviceExchange*>& Kept() {
    static auto* kept = new std::vector<DeviceExchange*>;
    return *kept;
}

}  // namespace

void KeepUntilProcessEnds(std::unique_ptr<DeviceExchange> exchange) {
    Kept().push_back(exchange.release());
}

std::size_t AbandonedExchangeCount() {
    return Kept().size();
}

bool IsAbandoned(const DeviceRequest* request) {
    const auto& kept = Kept();
    return std::any_of(kept.begin(), kept.end(), [&](const DeviceExchange* exchange) {
        return &exchange->Request() == request;
    });
}

bool IsSlotHeldByDriver(const std::wstring& path) {
    const auto& kept = Kept();
    return std::any_of(kept.begin(), kept.end(), [&](const DeviceExchange* exchange) {
        return exchange->Path() == path && !exchange->HasEnded();
    });
}
