#include "support/ScriptedDevices.h"

#include "driver/AbandonedExchanges.h"
#include "driver/DevicePathTable.h"
#include "driver/DriverControlCodes.h"
#include "framework/BackgroundWork.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <limits>

namespace {

// However long a scripted exchange takes in real time to come to rest: far more than any
// does, and still a bound.
constexpr ULONGLONG kRestBoundMs = 10000;
constexpr ULONGLONG kNever = std::numeric_limits<ULONGLONG>::max();

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

bool ScriptedDevices::Hold(std::unique_lock<std::mutex>& lock, int slot, HeldIn in, DWORD holdMs,
                           DeviceRequest* request) {
    const ULONGLONG dueAt = holdMs == kHoldsForever ? kNever : now_ + holdMs;
    held_.push_back({::GetCurrentThreadId(), slot, in, request, dueAt});
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
    const bool late = unit.opens >= unit.opensAtOnce;
    if (late && unit.holdBeforeOpenMs > 0)
        Hold(lock, slot, HeldIn::BeforeCall, unit.holdBeforeOpenMs);
    const bool opens = unit.present && (unit.opensAllowed < 0 || unit.opens < unit.opensAllowed);
    const bool holds = late && unit.holdOpenMs > 0;
    // A held open that is let go to fail (cancelled) fails like any other.
    if (!opens || (holds && !Hold(lock, slot, HeldIn::OpenOrClose, unit.holdOpenMs))) {
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
    if (unit.holdBeforeSendMs > 0 && !Hold(lock, slot, HeldIn::BeforeCall, unit.holdBeforeSendMs))
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
        if (!Hold(lock, slot, HeldIn::Request, unit.holdMs, &request)) return false;
    }
    return Answer(slot, sentCode_[slot], request.buffer.data(), request.Size());
}

void ScriptedDevices::Close(HANDLE device) {
    std::unique_lock<std::mutex> lock(lock_);
    const int slot = SlotOf(device);
    // The handle is gone whether the driver's clean-up sits or not.
    --openHandles_;
    if (units[slot].holdCloseMs > 0) Hold(lock, slot, HeldIn::OpenOrClose, units[slot].holdCloseMs);
    Note(DeviceEvent::Close, slot);
}

void ScriptedDevices::CancelHeld(HeldIn in, int slot, DWORD threadId) {
    for (auto& h : held_) {
        if (h.released || h.in != in || units[h.slot].refusesCancel) continue;
        if (slot >= 0 ? h.slot != slot : h.threadId != threadId) continue;
        h.released = true;
        h.answers = false;
    }
    changed_.notify_all();
}

void ScriptedDevices::CancelRequests(HANDLE device) {
    std::lock_guard<std::mutex> lock(lock_);
    const int slot = SlotOf(device);
    Note(DeviceEvent::Cancel, slot);
    requestCancelled_[slot] = true;
    CancelHeld(HeldIn::Request, slot, 0);
}

void ScriptedDevices::CancelBlockingCall(HANDLE thread) {
    std::lock_guard<std::mutex> lock(lock_);
    const DWORD threadId = ::GetThreadId(thread);
    int slot = -1;
    for (const auto& h : held_)
        if (h.threadId == threadId && !h.released && h.in == HeldIn::OpenOrClose) slot = h.slot;
    Note(DeviceEvent::CancelCall, slot);
    CancelHeld(HeldIn::OpenOrClose, -1, threadId);
}

void ScriptedDevices::Note(DeviceEvent::Kind kind, int slot, DWORD code,
                           std::vector<std::uint8_t> input) {
    events.push_back({kind, slot, code, std::move(input), ::GetCurrentThreadId(), now_});
}

bool ScriptedDevices::ComeToRest(std::unique_lock<std::mutex>& lock, const BackgroundWork& work) {
    const DWORD threadId = work.ThreadId();
    const ULONGLONG giveUpAt = ::GetTickCount64() + kRestBoundMs;
    for (;;) {
        if (work.HasEnded()) return true;
        for (const auto& h : held_)
            if (h.threadId == threadId && !h.released) return true;
        // The work's end notifies nobody here: look again every few milliseconds.
        changed_.wait_for(lock, std::chrono::milliseconds(5));
        if (::GetTickCount64() > giveUpAt) return false;
    }
}

ULONGLONG ScriptedDevices::Now() {
    std::lock_guard<std::mutex> lock(lock_);
    return now_;
}

void ScriptedDevices::Block(BackgroundWork& work, DWORD milliseconds, bool) {
    std::unique_lock<std::mutex> lock(lock_);
    if (ComeToRest(lock, work) && work.HasEnded()) return;
    // Time passes up to the first hold that ends before the caller would look again.
    ULONGLONG until = now_ + milliseconds;
    for (const auto& h : held_)
        if (!h.released && h.dueAt < until) until = h.dueAt;
    now_ = until;
    for (auto& h : held_)
        if (!h.released && h.dueAt <= now_) {
            h.released = true;
            h.answers = true;
        }
    changed_.notify_all();
    ComeToRest(lock, work);
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
        if (e.slot == slot && e.kind != DeviceEvent::Cancel && e.kind != DeviceEvent::CancelCall &&
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

std::vector<DeviceEvent> ScriptedDevices::EventsFor(int slot, bool cancels) const {
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<DeviceEvent> out;
    for (const auto& e : events) {
        const bool cancel = e.kind == DeviceEvent::Cancel || e.kind == DeviceEvent::CancelCall;
        if (e.slot == slot && cancel == cancels) out.push_back(e);
    }
    return out;
}

std::vector<DeviceEvent::Kind> ScriptedDevices::KindsFor(int slot) const {
    std::vector<DeviceEvent::Kind> out;
    for (const auto& e : EventsFor(slot, false)) out.push_back(e.kind);
    return out;
}

std::vector<ULONGLONG> ScriptedDevices::CancelTimes(int slot) const {
    std::vector<ULONGLONG> out;
    for (const auto& e : EventsFor(slot, true)) out.push_back(e.at);
    return out;
}

std::vector<ULONGLONG> ScriptedDevices::CallTimes(int slot) const {
    std::vector<ULONGLONG> out;
    for (const auto& e : EventsFor(slot, false)) out.push_back(e.at);
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
