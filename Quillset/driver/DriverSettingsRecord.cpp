#include "driver/DriverSettingsRecord.h"

#include <cstring>

void DriverSettingsPart::SetDefaultImage() noexcept {
    std::memset(entries, 0, sizeof entries);
    word280 = 0;
    word284 = 0;
    word288 = 5;
    word292 = 0;
    word296 = 1;
    word300 = 0;
    word304 = 1;
    word308 = 0;
    lightLoad = 0;
    word316 = 1;
    word320 = 0;
}
