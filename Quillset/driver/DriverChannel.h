#pragma once
// Counting, reading and writing the connected units. Each operation opens and closes its own
// device handles; nothing is kept between operations. Each exchange with a unit is waited for
// within its bounds on clock (BoundedExchange.h).

#include "driver/DeviceAccess.h"
#include "driver/DevicePathTable.h"
#include "driver/DriverSettingsRecord.h"
#include "framework/WaitClock.h"

#include <cstdint>

// The units' answers to a write, folded: 2 wins over 1, 1 over 0.
enum class CombinedStatus : std::int32_t {
    NothingToReport = 0,
    DeviceInUse = 1,       // some unit is used by another application
    PowerCycleNeeded = 2,  // the settings take effect after the device is switched off and on
};

// The number of slots, 0 to 4, whose device object opens.
int CountConnectedUnits(const DevicePathTable& slots, DeviceAccess& access, WaitClock& clock);

// Fills settings from the first unit that answers. True only when a unit answered with a
// nonzero status; settings is overwritten either way and is not to be used after false.
bool ReadDriverSettings(const DevicePathTable& slots, DriverSettingsPart& settings,
                        DeviceAccess& access, WaitClock& clock);

// Sends settings to every unit that answers. True when at least one did; combined is then
// the folded answer, and otherwise left untouched.
bool WriteDriverSettings(const DevicePathTable& slots, const DriverSettingsPart& settings,
                         CombinedStatus& combined, DeviceAccess& access, WaitClock& clock);

// The same, against the real device objects on the system clock.
int CountConnectedUnits(const DevicePathTable& slots);
bool ReadDriverSettings(const DevicePathTable& slots, DriverSettingsPart& settings);
bool WriteDriverSettings(const DevicePathTable& slots, const DriverSettingsPart& settings,
                         CombinedStatus& combined);
