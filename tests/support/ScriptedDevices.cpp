#include "support/ScriptedDevices.h"

#include "driver/DevicePathTable.h"
#include "driver/DriverControlCodes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

// Handles are fake: slot + 1 shifted so that none equals NULL or INVALID_HANDLE_VALUE.
HANDLE HandleFor(int slot) { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x100 + slot)); }
int SlotOf(HANDLE h) { return static_cast<int>(reinterpret_cast<INT_PTR>(h) - 0x100); }

int SlotOfPath(const wchar_t* path) {
    static const wchar_t prefix[] = L"\\\\.\\Kzdv041000";
    const std::size_t n = std::wcslen(prefix);
    if (std::wcsncmp(path, prefix, n) != 0 || path[n] < L'1' || path[n] > L'4' || path[n + 1])
        return -1;
    return path[n] - L'1';
}

}  // namespace

HANDLE ScriptedDevices::Open(const wchar_t* path) {
    int slot = SlotOfPath(path);
    if (slot < 0) return INVALID_HANDLE_VALUE;
    ScriptedUnit& unit = units[slot];
    if (!unit.present || (unit.opensAllowed >= 0 && unit.opens >= unit.opensAllowed)) {
        events.push_back({DeviceEvent::OpenFailed, slot, 0, {}});
        return INVALID_HANDLE_VALUE;
    }
    ++unit.opens;
    ++openHandles_;
    maxOpenHandles_ = std::max(maxOpenHandles_, openHandles_);
    events.push_back({DeviceEvent::Open, slot, 0, {}});
    return HandleFor(slot);
}

bool ScriptedDevices::Answer(int slot, DWORD code, std::uint8_t* buffer, DWORD size) {
    ScriptedUnit& unit = units[slot];
    if (unit.callFails || size != sizeof(DriverSettingsRecord)) return false;

    DriverSettingsRecord answer;
    if (code == IOCTL_GET_SETTINGS) {
        answer = unit.getAnswer;
    } else if (code == IOCTL_SET_SETTINGS) {
        std::memcpy(&answer, buffer, sizeof answer);
        std::size_t n = static_cast<std::size_t>(unit.writes++);
        answer.status = n < unit.setStatuses.size() ? unit.setStatuses[n] : 0;
        if (unit.setMarker) answer.settings.entries[0].bytes[0] = unit.setMarker;
    } else {
        return false;
    }
    std::memcpy(buffer, &answer, std::min<DWORD>(unit.answerBytes, size));
    return true;
}

RequestState ScriptedDevices::Send(HANDLE device, DWORD code, DeviceRequest& request) {
    int slot = SlotOf(device);
    events.push_back({DeviceEvent::Control, slot, code, request.buffer});
    if (units[slot].holdMs > 0) {
        held_.push_back({&request, slot, code});
        return RequestState::Pending;
    }
    return Answer(slot, code, request.buffer.data(), request.Size()) ? RequestState::Succeeded
                                                                      : RequestState::Failed;
}

ScriptedDevices::Held* ScriptedDevices::Find(const DeviceRequest& request) {
    for (auto& h : held_)
        if (h.request == &request) return &h;
    return nullptr;
}

bool ScriptedDevices::WaitForCompletion(DeviceRequest& request, DWORD milliseconds) {
    Held* h = Find(request);
    if (h == nullptr) return true;  // completed earlier
    events.push_back({DeviceEvent::Wait, h->slot, milliseconds, {}});
    const ScriptedUnit& unit = units[h->slot];
    bool succeeded = false;
    if (h->cancelled && !unit.refusesCancel) {
        succeeded = false;
    } else {
        h->waitedMs += milliseconds;
        if (unit.holdMs == kHoldsForever || h->waitedMs < unit.holdMs) return false;
        succeeded = Answer(h->slot, h->code, request.buffer.data(), request.Size());
    }
    outcomes_.push_back({&request, succeeded});
    held_.erase(held_.begin() + (h - held_.data()));
    return true;
}

void ScriptedDevices::Cancel(HANDLE device, DeviceRequest& request) {
    events.push_back({DeviceEvent::Cancel, SlotOf(device), 0, {}});
    if (Held* h = Find(request)) h->cancelled = true;
}

bool ScriptedDevices::Succeeded(HANDLE, DeviceRequest& request) {
    for (auto it = outcomes_.rbegin(); it != outcomes_.rend(); ++it)
        if (it->first == &request) return it->second;
    return false;
}

std::vector<const DeviceRequest*> ScriptedDevices::HeldRequests() const {
    std::vector<const DeviceRequest*> out;
    for (const auto& h : held_) out.push_back(h.request);
    return out;
}

void ScriptedDevices::CompleteHeldRequests() {
    for (auto& h : held_) Answer(h.slot, h.code, h.request->buffer.data(), h.request->Size());
    held_.clear();
}

void ScriptedDevices::Close(HANDLE device) {
    --openHandles_;
    events.push_back({DeviceEvent::Close, SlotOf(device), 0, {}});
}

int ScriptedDevices::ControlCalls(int slot) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const DeviceEvent& e) {
        return e.kind == DeviceEvent::Control && (slot < 0 || e.slot == slot);
    }));
}

std::vector<DeviceEvent::Kind> ScriptedDevices::KindsFor(int slot) const {
    std::vector<DeviceEvent::Kind> out;
    for (const auto& e : events)
        if (e.slot == slot) out.push_back(e.kind);
    return out;
}

std::vector<DeviceEvent> ScriptedDevices::ControlsTo(int slot) const {
    std::vector<DeviceEvent> out;
    for (const auto& e : events)
        if (e.kind == DeviceEvent::Control && e.slot == slot) out.push_back(e);
    return out;
}

void FillStandardSlots(DevicePathTable& table) {
    for (std::size_t i = 0; i < DevicePathTable::kSlotCount; ++i)
        std::swprintf(table.slots[i], DevicePathTable::kPathChars, L"\\\\.\\Kzdv041000%d",
                      static_cast<int>(i + 1));
}

std::vector<std::uint8_t> BytesOf(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(p, p + size);
}
