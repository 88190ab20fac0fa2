#pragma once
// Hand-built scenarios for the soak's own tests.

#include "Model.h"
#include "Scenario.h"

#include <cstring>
#include <initializer_list>

// Every unit absent, no click on the check box, OK.
inline Scenario EmptyScenario() {
    Scenario scenario;
    scenario.seed = 1;
    return scenario;
}

// A record whose bytes differ from unit to unit, with lightLoad and the GET status as given.
inline SimRecord MakeRecord(std::uint8_t seed, std::int32_t lightLoad, std::uint32_t status = 1) {
    SimRecord record{};
    for (std::size_t i = 0; i < ORVEXSIM_STATUS_OFFSET; ++i)
        record[i] = static_cast<std::uint8_t>(seed * 7 + i * 13 + (i >> 4));
    SetWord(record, 312, static_cast<std::uint32_t>(lightLoad));
    SetWord(record, ORVEXSIM_STATUS_OFFSET, status);
    return record;
}

inline UnitPlan& PlugUnit(Scenario& scenario, int unit, std::int32_t lightLoad = 0,
                          std::initializer_list<std::uint32_t> setStatuses = {},
                          std::uint32_t getStatus = 1) {
    UnitPlan& plan = scenario.units[unit - 1];
    plan.plugged = true;
    plan.record = MakeRecord(static_cast<std::uint8_t>(unit), lightLoad, getStatus);
    plan.setStatuses = setStatuses;
    return plan;
}

// What a unit receives with a SET: the settings part of `read` with lightLoad as given, and
// the status word as given.
inline Bytes SetInput(const SimRecord& read, std::int32_t lightLoad, std::uint32_t status) {
    Bytes bytes(read.begin(), read.end());
    std::memcpy(&bytes[312], &lightLoad, 4);
    std::memcpy(&bytes[ORVEXSIM_STATUS_OFFSET], &status, 4);
    return bytes;
}
