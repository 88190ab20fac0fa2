#include "support/ScriptedDevices.h"

#include "driver/AbandonedExchanges.h"
#include "driver/DeviceExchange.h"
#include "driver/DevicePathTable.h"
#include "driver/DriverControlCodes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

// However long a scripted exchange takes in real time to come to rest: far more than any
// does, and still a bound.
constexpr ULONGLONG kRestBoundMs = 10000;

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

ScriptedDevices::~ScriptedDevices() { LetAllGo(false); }

bool ScriptedDevices::Hold(std::unique_lock<std::mutex>& lock, int slot, DeviceRequest* request,
                           DWORD holdMs, bool cancellable) {
    held_.push_back({::GetCurrentThreadId(), slot, request, holdMs});
    held_.back().cancellable = cancellable;
    Held& held = held_.back();
    changed_.notify_all();
    changed_.wait(lock, [&] { return held.released; });
    const bool answers = held.answers;
    held_.remove_if([&](const Held& h) { return &h == &held; });
    changed_.notify_all();
    return answers;
}

HANDLE ScriptedDevices::Open(const wchar_t* path) {
    std::unique_lock<std::mutex> lock(lock_);
    int slot = SlotOfPath(path);
    if (slot < 0) return INVALID_HANDLE_VALUE;
    ScriptedUnit& unit = units[slot];
    const bool opens = unit.present && (unit.opensAllowed < 0 || unit.opens < unit.opensAllowed);
    const bool holds = unit.holdOpenMs > 0 && unit.opens >= unit.opensAtOnce;
    // A held open that is let go to fail (cancelled) fails like any other.
    if (!opens || (holds && !Hold(lock, slot, nullptr, unit.holdOpenMs))) {
        Note(DeviceEvent::OpenFailed, slot);
        return INVALID_HANDLE_VALUE;
    }
    ++unit.opens;
    ++openHandles_;
    maxOpenHandles_ = std::max(maxOpenHandles_, openHandles_);
    Note(DeviceEvent::Open, slot);
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

bool ScriptedDevices::Send(HANDLE device, DWORD code, DeviceRequest& request) {
    std::unique_lock<std::mutex> lock(lock_);
    const int slot = SlotOf(device);
    const ScriptedUnit& unit = units[slot];
    if (unit.holdBeforeSendMs > 0 &&
        !Hold(lock, slot, nullptr, unit.holdBeforeSendMs, /*cancellable=*/false))
        return false;
    Note(DeviceEvent::Control, slot, code, request.buffer);
    sentCode_[slot] = code;
    requestCancelled_[slot] = false;
    return true;
}

bool ScriptedDevices::Finish(HANDLE device, DeviceRequest& request) {
    std::unique_lock<std::mutex> lock(lock_);
    const int slot = SlotOf(device);
    const ScriptedUnit& unit = units[slot];
    if (unit.holdMs > 0) {
        // Cancelled while the unit still had it: it gives it back cancelled, unless it refuses.
        if (requestCancelled_[slot] && !unit.refusesCancel) return false;
        if (!Hold(lock, slot, &request, unit.holdMs)) return false;
    }
    return Answer(slot, sentCode_[slot], request.buffer.data(), request.Size());
}

void ScriptedDevices::CancelRequests(HANDLE device) {
    std::lock_guard<std::mutex> lock(lock_);
    const int slot = SlotOf(device);
    requestCancelled_[slot] = true;
    for (auto& h : held_)
        if (h.slot == slot && h.request != nullptr && !h.released) h.cancelled = true;
}

void ScriptedDevices::Close(HANDLE device) {
    std::lock_guard<std::mutex> lock(lock_);
    --openHandles_;
    Note(DeviceEvent::Close, SlotOf(device));
}

void ScriptedDevices::Note(DeviceEvent::Kind kind, int slot, DWORD code,
                           std::vector<std::uint8_t> input) {
    events.push_back({kind, slot, code, std::move(input), ::GetCurrentThreadId()});
}

bool ScriptedDevices::ComeToRest(std::unique_lock<std::mutex>& lock,
                                 const DeviceExchange& exchange, Held*& held) {
    const DWORD threadId = exchange.WorkerId();
    const ULONGLONG giveUpAt = ::GetTickCount64() + kRestBoundMs;
    for (;;) {
        if (exchange.HasEnded()) return true;
        for (auto& h : held_)
            if (h.threadId == threadId && !h.released) {
                held = &h;
                return false;
            }
        // An exchange's end notifies nobody here: look again every few milliseconds.
        changed_.wait_for(lock, std::chrono::milliseconds(5));
        if (::GetTickCount64() > giveUpAt) {
            held = nullptr;
            return false;
        }
    }
}

bool ScriptedDevices::WaitForExchange(DeviceExchange& exchange, DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(lock_);
    Held* held = nullptr;
    if (ComeToRest(lock, exchange, held)) return true;
    if (held == nullptr) return false;
    events.push_back({DeviceEvent::Wait, held->slot, milliseconds, {}});
    const bool refusesCancel = units[held->slot].refusesCancel;
    held->waitedMs += milliseconds;
    if (held->cancelled && held->cancellable && !refusesCancel) {
        held->released = true;
    } else if (held->holdMs != kHoldsForever && held->waitedMs >= held->holdMs) {
        held->released = true;
        held->answers = true;
    }
    if (!held->released) return false;
    changed_.notify_all();
    // Let go within this wait: whether the exchange ends, or comes to rest in another hold.
    return ComeToRest(lock, exchange, held);
}

void ScriptedDevices::Cancel(DeviceExchange& exchange) {
    exchange.GiveUp();
    std::lock_guard<std::mutex> lock(lock_);
    const DWORD threadId = exchange.WorkerId();
    int slot = -1;
    for (auto& h : held_)
        if (h.threadId == threadId && !h.released) {
            h.cancelled = true;
            slot = h.slot;
        }
    events.push_back({DeviceEvent::Cancel, slot, 0, {}});
}

void ScriptedDevices::LetAllGo(bool answer) {
    {
        std::lock_guard<std::mutex> lock(lock_);
        for (auto& h : held_) {
            if (h.released) continue;
            h.released = true;
            h.answers = answer;
        }
        changed_.notify_all();
    }
    // Only an exchange left behind can still be running once an operation has returned: wait
    // for those to end, so that none calls in here afterwards.
    DevicePathTable slots;
    FillStandardSlots(slots);
    const ULONGLONG giveUpAt = ::GetTickCount64() + kRestBoundMs;
    for (const auto& path : slots.slots)
        while (IsSlotHeldByDriver(path) && ::GetTickCount64() < giveUpAt) ::Sleep(2);
}

void ScriptedDevices::CompleteHeldRequests() { LetAllGo(true); }

std::vector<DWORD> ScriptedDevices::WorkersOf(int slot) const {
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<DWORD> out;
    for (const auto& e : events)
        if (e.slot == slot && e.threadId != 0 &&
            std::find(out.begin(), out.end(), e.threadId) == out.end())
            out.push_back(e.threadId);
    return out;
}

int ScriptedDevices::OpenHandles() const {
    std::lock_guard<std::mutex> lock(lock_);
    return openHandles_;
}

int ScriptedDevices::MaxOpenHandles() const {
    std::lock_guard<std::mutex> lock(lock_);
    return maxOpenHandles_;
}

std::vector<const DeviceRequest*> ScriptedDevices::HeldRequests() const {
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<const DeviceRequest*> out;
    for (const auto& h : held_)
        if (h.request != nullptr && !h.released) out.push_back(h.request);
    return out;
}

int ScriptedDevices::ControlCalls(int slot) const {
    std::lock_guard<std::mutex> lock(lock_);
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const DeviceEvent& e) {
        return e.kind == DeviceEvent::Control && (slot < 0 || e.slot == slot);
    }));
}

std::vector<DeviceEvent::Kind> ScriptedDevices::KindsFor(int slot) const {
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<DeviceEvent::Kind> out;
    for (const auto& e : events)
        if (e.slot == slot) out.push_back(e.kind);
    return out;
}

std::vector<DeviceEvent> ScriptedDevices::ControlsTo(int slot) const {
    std::lock_guard<std::mutex> lock(lock_);
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
