// The program's device traffic: every slot opened once to count the units and the settings
// read from the first unit that answers; at OK written back to every unit.
#include "ProgramWork.h"

#include "driver/DeviceSlots.h"
#include "driver/DriverChannel.h"

namespace {

DevicePathTable slots;
DriverSettingsPart settings{};
bool read = false;

}  // namespace

void ReadUnitsAtStart() {
    FillDeviceSlots(slots);
    read = CountConnectedUnits(slots) > 0 && ReadDriverSettings(slots, settings);
}

void WriteUnitsAtOk() {
    CombinedStatus combined = CombinedStatus::NothingToReport;
    if (read) WriteDriverSettings(slots, settings, combined);
}
