#pragma once
// What the program should do in a scenario: the screens it shows, and the bytes each unit
// receives with each GET and SET. Built from how the program treats the units (the read stops
// at the first unit that answers, the write goes to every unit there at the moment of OK,
// each later unit receiving the buffer as the previous answering unit left it, a first
// combined status 1 retried once after 100 ms) and from how the simulator answers.

#include "Scenario.h"
#include "ScreenStep.h"

#include <array>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct Expectation {
    std::vector<ScreenStep> screens;  // ends with ProgramScreen::Ended
    int writes = 0;                   // WriteDriverSettings calls: 0, 1, or 2 after a retry
    // Per unit (index 0 is unit 1), the 328 input bytes of each request, in order.
    std::array<std::vector<Bytes>, Scenario::kUnits> gets;
    std::array<std::vector<Bytes>, Scenario::kUnits> sets;
};

Expectation Predict(const Scenario& scenario);

// Bytes 280 to 323 of a freshly made record: the driver's default words.
inline constexpr std::size_t kDefaultWordsOffset = 280;
Bytes DefaultRecordImage();
