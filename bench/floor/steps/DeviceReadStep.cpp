// The program's device probes and read: every slot opened once to count the units, then the
// settings read from the first unit that answers.
#include "StartupStep.h"

#include "app/DeviceSlots.h"
#include "driver/DriverChannel.h"

void RunStartupStep(HWND) {
    DevicePathTable slots;
    FillDeviceSlots(slots);
    DriverSettingsPart settings{};
    if (CountConnectedUnits(slots) > 0) ReadDriverSettings(slots, settings);
}
