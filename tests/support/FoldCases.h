#pragma once
// What a write folds the units' answers into: one table for the channel's test against
// scripted units and for its test against the simulated driver.

#include "driver/DriverChannel.h"

#include <cstdint>
#include <vector>

struct FoldCase {
    std::vector<std::uint32_t> statuses;  // the SET status of slot 0, 1 ..., one write each
    CombinedStatus expected;
};

inline const std::vector<FoldCase> kFoldCases = {
    {{1, 2}, CombinedStatus::PowerCycleNeeded},
    {{2, 1}, CombinedStatus::PowerCycleNeeded},
    {{1, 0}, CombinedStatus::DeviceInUse},
    {{0, 1}, CombinedStatus::DeviceInUse},
    {{0, 0, 0, 0}, CombinedStatus::NothingToReport},
    {{3}, CombinedStatus::PowerCycleNeeded},
    {{1, 3, 1}, CombinedStatus::PowerCycleNeeded},
    {{4, 0xFFFFFFFF}, CombinedStatus::NothingToReport},
};
