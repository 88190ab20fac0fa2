// The program's device traffic: while the dialog initialises every slot is opened once to
// count the units and the settings are read from the first unit that answers; at OK they are
// written back to every unit, as the program does when the check box is left as it was.
#include "StartupStep.h"

#include "driver/DeviceSlots.h"
#include "driver/DriverChannel.h"

namespace {

DevicePathTable slots;
DriverSettingsPart settings{};
bool read = false;

}  // namespace

void RunStartupStep(HWND) {
    FillDeviceSlots(slots);
    read = CountConnectedUnits(slots) > 0 && ReadDriverSettings(slots, settings);
}

void RunOkStep(HWND) {
    CombinedStatus combined = CombinedStatus::NothingToReport;
    if (read) WriteDriverSettings(slots, settings, combined);
}
