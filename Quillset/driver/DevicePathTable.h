#pragma once
// The four places an ORVEX unit can appear, visited in slot order 0 to 3. Start-up fills
// them; the main dialog owns the table and only reads it afterwards.

#include <cstddef>

struct DevicePathTable {
    static constexpr std::size_t kSlotCount = 4;
    static constexpr std::size_t kPathChars = 260;

    wchar_t slots[kSlotCount][kPathChars] = {};
};
