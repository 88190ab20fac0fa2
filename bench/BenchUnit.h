#pragma once
// The simulated ORVEX as the benchmark sets it up: unit 1 (slot 0) plugged, answering a read
// with "Light Load" on and every write with status 0 (so OK brings no message box); units 2
// to 4 absent. Around each run it notes what the units counted.

#include "SimControl.h"

#include <array>
#include <string>

// What the simulated units counted during one run.
struct UnitTraffic {
    DWORD opens = 0;            // of unit 1
    DWORD requests = 0;         // device control requests at unit 1
    DWORD gets = 0;             // of those, IOCTL_GET_SETTINGS
    DWORD sets = 0;             // of those, IOCTL_SET_SETTINGS
    DWORD otherCodes = 0;       // of those, any other code
    DWORD otherUnitOpens = 0;   // opens of units 2 to 4 (absent: no open reaches them)
    bool setsKeptLightLoad = true;  // every SET carried 328 bytes with lightLoad 1
};

// What one run of the program with OK implies, as its channel is written: counting opens
// every slot once (unit 1 opens, slots 1 to 3 fail before the driver), the read opens the
// answering slot twice (a probe, then the exchange) and makes one GET, the write opens every
// present slot twice and makes one SET; status 0 means no second write.
inline constexpr UnitTraffic kProgramRunTraffic{5, 2, 1, 1, 0, 0, true};
// The baseline and the floor touch no device; the floor's device variant makes the program's
// traffic.
inline constexpr UnitTraffic kBaselineRunTraffic{0, 0, 0, 0, 0, 0, true};

bool SameTraffic(const UnitTraffic& a, const UnitTraffic& b);

class BenchUnit {
public:
    // Connects to the simulator, resets it and plugs unit 1 with Light Load on.
    bool Prepare(std::wstring& error);
    // Gives unit 1 its record again (a SET stores what it received) and notes the counters.
    bool BeginRun(std::wstring& error);
    // Once every handle opened on the units is closed: what they counted since BeginRun.
    bool EndRun(UnitTraffic& traffic, std::wstring& error);

private:
    bool Failed(std::wstring& error) const;

    SimControl sim;
    SimRecord record{};
    std::array<SimUnitState, SimControl::kUnitCount> before{};
};
