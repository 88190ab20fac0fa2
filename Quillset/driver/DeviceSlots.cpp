#include "driver/DeviceSlots.h"

#include <windows.h>

namespace {
constexpr wchar_t kDeviceBaseName[] = L"Kzdv0410";
}

void FillDeviceSlots(DevicePathTable& table) {
    // The longest path is 15 characters, far inside both a slot and wsprintfW's 1024 limit.
    static_assert(DevicePathTable::kPathChars > 16);
    for (std::size_t slot = 0; slot < DevicePathTable::kSlotCount; ++slot)
        ::wsprintfW(table.slots[slot], L"\\\\.\\%s00%d", kDeviceBaseName,
                    static_cast<int>(slot + 1));
}
