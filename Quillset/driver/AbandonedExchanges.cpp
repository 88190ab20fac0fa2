#include "driver/AbandonedRequests.h"

#include <algorithm>
#include <vector>

namespace {

// Allocated once and never destroyed: not even the runtime's exit may free what a late
// completion can still write into.
std::vector<DeviceRequest*>& Kept() {
    static auto* kept = new std::vector<DeviceRequest*>;
    return *kept;
}

}  // namespace

void KeepUntilProcessEnds(std::unique_ptr<DeviceRequest> request) {
    Kept().push_back(request.release());
}

std::size_t AbandonedRequestCount() { return Kept().size(); }

bool IsAbandoned(const DeviceRequest* request) {
    const auto& kept = Kept();
    return std::find(kept.begin(), kept.end(), request) != kept.end();
}
