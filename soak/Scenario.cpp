#include "Scenario.h"

#include "SoakRandom.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kLightLoadOffset = 312;

std::int32_t PickLightLoad(SoakRandom& random) {
    switch (random.Below(6)) {
    case 0: return 0;
    case 1: return 1;
    case 2: return 2;
    case 3: return 5;
    case 4: return -1;
    default: return static_cast<std::int32_t>(static_cast<std::uint32_t>(random.Next()));
    }
}

// Mostly a good read, now and then a status 0 (a failed read) or another nonzero word.
std::uint32_t PickGetStatus(SoakRandom& random) {
    const std::uint32_t r = random.Below(100);
    if (r < 80) return 1;
    if (r < 92) return 0;
    return 2 + random.Below(0xFFFF);
}

// 1 often enough that the retry after 100 ms comes up; a value the program ignores now and then.
std::uint32_t PickSetStatus(SoakRandom& random) {
    const std::uint32_t r = random.Below(100);
    if (r < 30) return 0;
    if (r < 55) return 1;
    if (r < 70) return 2;
    if (r < 80) return 3;
    if (r < 92) return ORVEXSIM_SET_FAILS;
    return 4 + random.Below(1000);
}

DWORD PickFailMask(SoakRandom& random) {
    const std::uint32_t r = random.Below(100);
    if (r < 5) return ORVEXSIM_FAIL_GET;
    if (r < 10) return ORVEXSIM_FAIL_SET;
    if (r < 13) return ORVEXSIM_FAIL_ALL;
    return 0;
}

void PlanUnit(SoakRandom& random, UnitPlan& unit) {
    for (std::size_t i = 0; i < ORVEXSIM_STATUS_OFFSET; ++i)
        unit.record[i] = static_cast<std::uint8_t>(random.Next());
    SetWord(unit.record, kLightLoadOffset, static_cast<std::uint32_t>(PickLightLoad(random)));
    SetWord(unit.record, ORVEXSIM_STATUS_OFFSET, PickGetStatus(random));
    const std::uint32_t statuses = random.Below(4);
    for (std::uint32_t i = 0; i < statuses; ++i) unit.setStatuses.push_back(PickSetStatus(random));
    unit.failMask = PickFailMask(random);
    if (unit.plugged)
        unit.unplugWhileOpen = random.Chance(8);
    else
        unit.plugWhileOpen = random.Chance(4);
}

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string DescribeStatus(std::uint32_t status) {
    return status == ORVEXSIM_SET_FAILS ? "fail" : Number(status);
}

std::string DescribeUnit(int number, const UnitPlan& unit) {
    std::string text = "unit ";
    text += std::to_string(number);
    text += " [lightLoad ";
    text += std::to_string(LightLoadOf(unit.record));
    text += ", GET ";
    text += Number(StatusOf(unit.record));
    text += ", SETs";
    if (unit.setStatuses.empty()) text += " -";
    for (std::uint32_t status : unit.setStatuses) {
        text += ' ';
        text += DescribeStatus(status);
    }
    if (unit.failMask == ORVEXSIM_FAIL_ALL) text += ", fails get+set";
    else if (unit.failMask == ORVEXSIM_FAIL_GET) text += ", fails get";
    else if (unit.failMask == ORVEXSIM_FAIL_SET) text += ", fails set";
    if (unit.delayMs) {
        text += ", delay ";
        text += Number(unit.delayMs);
        text += " ms";
    }
    switch (unit.hold) {
    case Hold::None: break;
    case Hold::UntilCancelled: text += ", holds until cancelled"; break;
    case Hold::RefusesCancelThenEnds:
    case Hold::RefusesCancelForLong:
        text += ", refuses cancel, ends at " + Number(HoldDelayMs(unit.hold)) + " ms";
        break;
    case Hold::SitsInDispatch:
        text += ", sits in dispatch " + Number(kSitInDispatchMs) + " ms";
        break;
    }
    if (unit.unplugWhileOpen) text += ", unplugged while open";
    if (unit.plugWhileOpen) text += ", plugged while open";
    text += ']';
    return text;
}

}  // namespace

DWORD HoldDelayMs(Hold hold) {
    switch (hold) {
    case Hold::None:
    case Hold::SitsInDispatch: return 0;
    case Hold::UntilCancelled: return SimControl::kDelayForever;
    case Hold::RefusesCancelThenEnds: return kHoldThenEndMs;
    case Hold::RefusesCancelForLong: return kHoldForLongMs;
    }
    return 0;
}

std::int32_t LightLoadOf(const SimRecord& record) {
    std::int32_t value = 0;
    std::memcpy(&value, &record[kLightLoadOffset], sizeof value);
    return value;
}

std::uint32_t StatusOf(const SimRecord& record) {
    std::uint32_t value = 0;
    std::memcpy(&value, &record[ORVEXSIM_STATUS_OFFSET], sizeof value);
    return value;
}

void SetWord(SimRecord& record, std::size_t offset, std::uint32_t value) {
    std::memcpy(&record[offset], &value, sizeof value);
}

Scenario MakeScenario(std::uint64_t seed) {
    SoakRandom random(seed);
    Scenario scenario;
    scenario.seed = seed;

    // No unit now and then, otherwise one to four, in any of the slots.
    const std::uint32_t count = random.Chance(10) ? 0 : 1 + random.Below(Scenario::kUnits);
    std::array<int, Scenario::kUnits> order{0, 1, 2, 3};
    for (std::uint32_t i = Scenario::kUnits - 1; i > 0; --i)
        std::swap(order[i], order[random.Below(i + 1)]);
    for (std::uint32_t i = 0; i < count; ++i) scenario.units[order[i]].plugged = true;
    for (UnitPlan& unit : scenario.units) PlanUnit(random, unit);

    // A slow unit in some runs; one at most, so that a run stays short.
    if (random.Chance(15)) {
        UnitPlan& slow = scenario.units[random.Below(Scenario::kUnits)];
        if (slow.plugged || slow.plugWhileOpen) slow.delayMs = 100 + random.Below(kMaxScenarioDelayMs - 99);
    }
    scenario.toggle = random.Chance(50);
    scenario.pressOk = random.Chance(75);

    // A unit whose requests are held past the program's bounds in some runs; one at most,
    // and never the slow one, since each held request costs the program 5 to 6 s.
    if (random.Chance(20)) {
        UnitPlan& holding = scenario.units[random.Below(Scenario::kUnits)];
        if ((holding.plugged || holding.plugWhileOpen) && holding.delayMs == 0)
            holding.hold = static_cast<Hold>(1 + random.Below(4));
    }

    // Impatience while OK writes, above all while a unit holds the write up.
    const bool held = std::any_of(scenario.units.begin(), scenario.units.end(),
                                  [](const UnitPlan& unit) { return unit.hold != Hold::None; });
    if (scenario.pressOk && random.Chance(held ? 80 : 15)) {
        scenario.inputAfterOk = true;
        scenario.inputAfterOkMs = random.Below(kMaxInputAfterOkMs + 1);
    }
    return scenario;
}

std::string Describe(const Scenario& scenario) {
    std::string text;
    for (int i = 0; i < Scenario::kUnits; ++i) {
        const UnitPlan& unit = scenario.units[i];
        if (!unit.plugged && !unit.plugWhileOpen) continue;
        if (!text.empty()) text += "; ";
        text += DescribeUnit(i + 1, unit);
    }
    if (text.empty()) text = "no unit";
    text += scenario.toggle ? "; toggle" : "; no toggle";
    text += scenario.pressOk ? "; OK" : "; Cancel";
    if (scenario.inputAfterOk)
        text += "; Escape, OK and close " + Number(scenario.inputAfterOkMs) + " ms after OK";
    return text;
}
