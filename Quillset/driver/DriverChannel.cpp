#include "driver/DriverChannel.h"

#include "driver/BoundedExchange.h"
#include "driver/DriverControlCodes.h"

#include <cstring>
#include <memory>

namespace {

// One control exchange with one slot (DeviceExchange.h). True when the driver completed the
// request with success within the bounds. A request that came back within them leaves what
// the driver answered in buffer, as a direct call would; one left behind, or never sent,
// leaves buffer as it was.
bool ExchangeWithSlot(DeviceAccess& access, WaitClock& clock, const wchar_t* path, DWORD code,
                      DriverSettingsRecord& buffer) {
    auto exchange = std::make_unique<DeviceExchange>(access, path, code, &buffer,
                                                     static_cast<DWORD>(sizeof buffer));
    if (!FinishedWithinBounds(exchange, clock) || !exchange->Asked()) return false;
    std::memcpy(&buffer, exchange->Request().buffer.data(), sizeof buffer);
    return exchange->Succeeded();
}

// What a unit answers a SET in the status word. Any other value reports nothing.
constexpr std::uint32_t kUnitInUse = 1;
constexpr std::uint32_t kPowerCycleNeeded = 2;
constexpr std::uint32_t kPowerCycleNeededToo = 3;  // the driver's other word for the same

CombinedStatus Fold(CombinedStatus running, std::uint32_t status) {
    if (status == kPowerCycleNeeded || status == kPowerCycleNeededToo)
        return CombinedStatus::PowerCycleNeeded;
    if (status == kUnitInUse && running != CombinedStatus::PowerCycleNeeded)
        return CombinedStatus::DeviceInUse;
    return running;
}

}  // namespace

int CountConnectedUnits(const DevicePathTable& slots, DeviceAccess& access, WaitClock& clock) {
    int count = 0;
    for (const auto& path : slots.slots) {
        // A slot whose open does not return within the bounds counts as one that did not open.
        auto probe = std::make_unique<DeviceExchange>(access, path);
        if (FinishedWithinBounds(probe, clock) && probe->Opened()) ++count;
    }
    return count;
}

bool ReadDriverSettings(const DevicePathTable& slots, DriverSettingsPart& settings,
                        DeviceAccess& access, WaitClock& clock) {
    DriverSettingsRecord buffer;  // default image, entries and status zero
    bool answered = false;
    for (const auto& path : slots.slots) {
        // A driver answering fewer bytes than asked then leaves status 0: a failed read.
        buffer.status = 0;
        if (ExchangeWithSlot(access, clock, path, IOCTL_GET_SETTINGS, buffer)) {
            answered = true;
            break;
        }
    }
    std::memcpy(&settings, &buffer.settings, sizeof settings);
    return answered && buffer.status != 0;
}

bool WriteDriverSettings(const DevicePathTable& slots, const DriverSettingsPart& settings,
                         CombinedStatus& combined, DeviceAccess& access, WaitClock& clock) {
    DriverSettingsRecord buffer;
    std::memcpy(&buffer.settings, &settings, sizeof settings);
    bool answered = false;
    CombinedStatus running = CombinedStatus::NothingToReport;
    // The buffer is not refilled between slots: each later unit receives it as the previous
    // unit's answer left it, status word included.
    for (const auto& path : slots.slots) {
        if (!ExchangeWithSlot(access, clock, path, IOCTL_SET_SETTINGS, buffer)) continue;
        answered = true;
        running = Fold(running, buffer.status);
    }
    if (answered) combined = running;
    return answered;
}

int CountConnectedUnits(const DevicePathTable& slots) {
    return CountConnectedUnits(slots, SystemDeviceAccess(), SystemClock());
}

bool ReadDriverSettings(const DevicePathTable& slots, DriverSettingsPart& settings) {
    return ReadDriverSettings(slots, settings, SystemDeviceAccess(), SystemClock());
}

bool WriteDriverSettings(const DevicePathTable& slots, const DriverSettingsPart& settings,
                         CombinedStatus& combined) {
    return WriteDriverSettings(slots, settings, combined, SystemDeviceAccess(), SystemClock());
}
