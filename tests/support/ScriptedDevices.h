#pragma once
// A scripted stand-in for the device objects: each slot's path maps to a unit whose behaviour
// the test sets, and every open, control call and close is recorded in order, with the exact
// bytes each request carried.

#include "driver/DeviceAccess.h"
#include "driver/DriverSettingsRecord.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ScriptedUnit {
    bool present = false;
    int opensAllowed = -1;         // -1: any number; otherwise later opens fail
    bool callFails = false;
    DriverSettingsRecord getAnswer;  // what IOCTL_GET_SETTINGS copies back
    std::vector<std::uint32_t> setStatuses;  // status of the 1st, 2nd ... write; then 0
    DWORD answerBytes = sizeof(DriverSettingsRecord);  // how much of the answer is copied back
    std::uint8_t setMarker = 0;    // nonzero: a write's answer also stamps entries[0].bytes[0]
    // How long, in the waits the channel makes, the unit holds a request before it answers:
    // 0 answers at once, kHoldsForever only when it is cancelled (or CompleteHeldRequests).
    DWORD holdMs = 0;
    bool refusesCancel = false;    // a cancelled request is held on all the same

    int opens = 0;
    int writes = 0;
};

struct DeviceEvent {
    enum Kind { Open, OpenFailed, Control, Close, Wait, Cancel } kind;
    int slot;
    DWORD code = 0;                   // Control: the code; Wait: the bound in milliseconds
    std::vector<std::uint8_t> input;  // Control: the bytes sent
};

inline constexpr DWORD kHoldsForever = INFINITE;

class ScriptedDevices final : public DeviceAccess {
public:
    std::array<ScriptedUnit, 4> units;
    std::vector<DeviceEvent> events;

    HANDLE Open(const wchar_t* path) override;
    RequestState Send(HANDLE device, DWORD code, DeviceRequest& request) override;
    bool WaitForCompletion(DeviceRequest& request, DWORD milliseconds) override;
    void Cancel(HANDLE device, DeviceRequest& request) override;
    bool Succeeded(HANDLE device, DeviceRequest& request) override;
    void Close(HANDLE device) override;

    int OpenHandles() const { return openHandles_; }
    int MaxOpenHandles() const { return maxOpenHandles_; }
    int ControlCalls(int slot = -1) const;
    std::vector<DeviceEvent> ControlsTo(int slot) const;
    std::vector<DeviceEvent::Kind> KindsFor(int slot) const;

    // Requests the units still hold: after a channel operation, the ones it gave up on.
    std::vector<const DeviceRequest*> HeldRequests() const;
    // The units answer every request they still hold, late, into its memory.
    void CompleteHeldRequests();

private:
    struct Held {
        DeviceRequest* request;
        int slot;
        DWORD code;
        DWORD waitedMs = 0;
        bool cancelled = false;
    };

    // Writes the unit's answer into buffer; false when the call fails.
    bool Answer(int slot, DWORD code, std::uint8_t* buffer, DWORD size);
    Held* Find(const DeviceRequest& request);

    int openHandles_ = 0;
    int maxOpenHandles_ = 0;
    std::vector<Held> held_;
    std::vector<std::pair<const DeviceRequest*, bool>> outcomes_;  // completed late: succeeded?
};

// Slot paths as start-up fills them.
struct DevicePathTable;
void FillStandardSlots(DevicePathTable& table);
std::vector<std::uint8_t> BytesOf(const void* data, std::size_t size);
