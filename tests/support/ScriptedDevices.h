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

    int opens = 0;
    int writes = 0;
};

struct DeviceEvent {
    enum Kind { Open, OpenFailed, Control, Close } kind;
    int slot;
    DWORD code = 0;
    std::vector<std::uint8_t> input;  // Control: the bytes sent
};

class ScriptedDevices final : public DeviceAccess {
public:
    std::array<ScriptedUnit, 4> units;
    std::vector<DeviceEvent> events;

    HANDLE Open(const wchar_t* path) override;
    bool Control(HANDLE device, DWORD code, void* buffer, DWORD size) override;
    void Close(HANDLE device) override;

    int OpenHandles() const { return openHandles_; }
    int MaxOpenHandles() const { return maxOpenHandles_; }
    int ControlCalls(int slot = -1) const;
    std::vector<DeviceEvent> ControlsTo(int slot) const;

private:
    int openHandles_ = 0;
    int maxOpenHandles_ = 0;
};

// Slot paths as start-up fills them.
struct DevicePathTable;
void FillStandardSlots(DevicePathTable& table);
std::vector<std::uint8_t> BytesOf(const void* data, std::size_t size);
