#include "driver/BoundedControl.h"

#include "driver/AbandonedRequests.h"
#include "driver/ExchangeBounds.h"

#include <cstring>
#include <memory>
#include <utility>

namespace {

void GiveUp(DeviceAccess& access, HANDLE device, std::unique_ptr<DeviceRequest> request) {
    access.Cancel(device, *request);
    if (!access.WaitForCompletion(*request, kCancellationBoundMs))
        KeepUntilProcessEnds(std::move(request));
}

}  // namespace

bool ControlWithinBounds(DeviceAccess& access, HANDLE device, DWORD code, void* buffer,
                         DWORD size) {
    auto request = std::make_unique<DeviceRequest>(buffer, size);
    RequestState state = access.Send(device, code, *request);
    if (state == RequestState::Pending) {
        if (!access.WaitForCompletion(*request, kRequestCompletionBoundMs)) {
            // Whatever happens to it from here on, the caller never sees it.
            GiveUp(access, device, std::move(request));
            return false;
        }
        state = access.Succeeded(device, *request) ? RequestState::Succeeded
                                                   : RequestState::Failed;
    }
    std::memcpy(buffer, request->buffer.data(), size);
    return state == RequestState::Succeeded;
}
