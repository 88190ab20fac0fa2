#pragma once

#include "driver/DevicePathTable.h"

// Gives every slot its device path: \\.\Kzdv0410001 to \\.\Kzdv0410004.
void FillDeviceSlots(DevicePathTable& table);
