#pragma once
// Shared ground for the tests against the simulated ORVEX driver: each test starts from a
// reset simulator and the four standard slots. Unit N is slot N - 1.

#include "SimControl.h"
#include "driver/DevicePathTable.h"
#include "driver/DriverSettingsRecord.h"
#include "support/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

class SimulatedUnits : public ::testing::Test {
protected:
    void SetUp() override {
        FillStandardSlots(slots);
        // Unblocks first: a routine an earlier test left sitting would hold any request.
        ASSERT_TRUE(sim.Reset()) << sim.LastError();
    }

    // A recognisable record: every byte of the settings part differs from the default image.
    static SimRecord Pattern(std::uint8_t seed, std::uint32_t status) {
        SimRecord r{};
        for (std::size_t i = 0; i < 324; ++i) r[i] = static_cast<std::uint8_t>(seed + i * 7);
        const std::int32_t lightLoad = 1;
        std::memcpy(&r[312], &lightLoad, sizeof lightLoad);
        std::memcpy(&r[324], &status, sizeof status);
        return r;
    }

    static std::vector<std::uint8_t> BytesOfRecord(const DriverSettingsRecord& record) {
        return BytesOf(&record, sizeof record);
    }

    // The record the channel sends with these settings and this status word.
    static std::vector<std::uint8_t> Sent(const DriverSettingsPart& settings,
                                          std::uint32_t status) {
        DriverSettingsRecord record;
        record.settings = settings;
        record.status = status;
        return BytesOfRecord(record);
    }

    void PlugWith(int unit, const SimRecord& record) {
        ASSERT_TRUE(sim.SetRecord(unit, record)) << sim.LastError();
        ASSERT_TRUE(sim.Plug(unit)) << sim.LastError();
    }

    std::vector<SimRequest> LogOf(int unit) {
        std::vector<SimRequest> log;
        EXPECT_TRUE(sim.ReadLog(unit, log)) << sim.LastError();
        return log;
    }

    // The unit's state once every handle opened on it is closed in the driver too.
    SimUnitState SettledState(int unit) {
        SimUnitState state;
        EXPECT_TRUE(sim.WaitForCloses(unit, state)) << sim.LastError();
        return state;
    }

    SimControl sim;
    DevicePathTable slots;
    DriverSettingsPart settings;
};
