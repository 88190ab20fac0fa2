#pragma once
// One soak run as it is planned before the program starts: how each simulated unit is set up
// and answers, what happens while the settings dialog is open, and what the user presses.
// Everything follows from the run's seed.

#include "SimControl.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A unit whose driver holds its requests far past the program's bounds.
enum class Hold {
    None,
    UntilCancelled,         // every request pending until the program cancels it
    RefusesCancelThenEnds,  // cancellation refused; ends soon after the program asked, and
                            // before it gives up: the answer counts
    RefusesCancelForLong,   // cancellation refused; ends long after the program gave up, and
                            // after the run's last request to it
    SitsInDispatch,         // every GET and SET sits in the driver's dispatch routine, which
                            // no cancel reaches, until after the program gave up
};

// When the refusing units end their requests: half a second into the program's second bound,
// so that a request is always cancelled first and answered before the program gives up,
// whatever the load; or long enough after it gave up that every later operation of the run
// finds the unit still held.
inline constexpr DWORD kHoldThenEndMs = 5500;
inline constexpr DWORD kHoldForLongMs = 15000;
// How long a sitting unit's dispatch routine sits: past both bounds, and short enough that
// the units whose requests wait behind it (Wine's one dispatch thread) are answered within
// theirs.
inline constexpr DWORD kSitInDispatchMs = 7000;

struct UnitPlan {
    bool plugged = false;           // present when the program starts
    SimRecord record{};             // what GET answers; its status word is the GET status
    std::vector<std::uint32_t> setStatuses;  // ORVEXSIM_SET_FAILS fails that SET
    DWORD failMask = 0;             // ORVEXSIM_FAIL_GET / ORVEXSIM_FAIL_SET
    DWORD delayMs = 0;              // every request completes this much later
    Hold hold = Hold::None;         // every request held, as above (delayMs is then 0)
    bool unplugWhileOpen = false;   // removed while the settings dialog is up
    bool plugWhileOpen = false;     // absent at the start, plugged while the dialog is up
};

struct Scenario {
    static constexpr int kUnits = SimControl::kUnitCount;

    std::uint64_t seed = 0;
    std::array<UnitPlan, kUnits> units;  // units[i] is simulator unit i + 1, the program's slot i
    bool toggle = false;                 // click the check box once
    bool pressOk = true;                 // OK, otherwise Cancel
    // After OK, while the writes may still run: Escape, OK once more and the taskbar's
    // "Close window", posted to the settings dialog this long after OK. None of it may count.
    bool inputAfterOk = false;
    DWORD inputAfterOkMs = 0;
};

// The latest the scenario's user gives that input: within a held write's first bound.
inline constexpr DWORD kMaxInputAfterOkMs = 4000;

// The longest delay a scenario gives a unit: runs stay short.
inline constexpr DWORD kMaxScenarioDelayMs = 400;

Scenario MakeScenario(std::uint64_t seed);

// One line a person can read the run from, e.g.
// "unit 1 [lightLoad 5, GET 1, SETs 1 fail, fails set, delay 200 ms, unplugged while open]; toggle; OK".
// A holding unit shows "holds until cancelled", "refuses cancel, ends at 5500 ms" and so on.
std::string Describe(const Scenario& scenario);

// The simulator's delay for a holding unit; 0 for Hold::None and a unit that sits.
DWORD HoldDelayMs(Hold hold);
std::int32_t LightLoadOf(const SimRecord& record);
std::uint32_t StatusOf(const SimRecord& record);
void SetWord(SimRecord& record, std::size_t offset, std::uint32_t value);
