#pragma once
// One run for real: the simulator set up as the scenario says, Kzds0410.exe started and driven
// through its screens as the scenario's user would, and what the units received read back.

#include "ProgramTexts.h"
#include "Scenario.h"
#include "ScreenStep.h"

#include <array>
#include <string>
#include <vector>

struct Observation {
    std::string harnessError;  // the soak could not do its own part; nothing is judged
    bool crashed = false;
    bool hung = false;
    std::string trouble;       // what the crash or hang looked like
    bool exited = false;
    DWORD exitCode = 0;
    std::vector<ScreenStep> screens;  // as seen, ending with ProgramScreen::Ended if it ended
    std::array<std::vector<SimRequest>, Scenario::kUnits> requests;
};

// Resets and scripts the simulator for the scenario.
bool StageScenario(SimControl& sim, const Scenario& scenario, std::string& error);

Observation RunScenario(SimControl& sim, const Scenario& scenario, const ProgramTexts& texts);
