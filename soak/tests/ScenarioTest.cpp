// The scenario generator: a seed gives the same run every time, and over many seeds the runs
// reach every kind of trouble the soak is meant to put the program through.
#include "Model.h"
#include "Scenario.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The screens (S settings, N no-device, M and the message, E end), then the number of writes.
std::string PathKey(const Expectation& expected) {
    std::string key;
    for (const ScreenStep& step : expected.screens) {
        switch (step.screen) {
        case ProgramScreen::Settings: key += 'S'; break;
        case ProgramScreen::NoDevice: key += 'N'; break;
        case ProgramScreen::MessageBox: key += 'M' + std::to_string(step.messageId); break;
        case ProgramScreen::Ended: key += 'E'; break;
        default: key += '?'; break;
        }
    }
    return key + std::to_string(expected.writes);
}

bool SameUnit(const UnitPlan& a, const UnitPlan& b) {
    return a.plugged == b.plugged && a.record == b.record && a.setStatuses == b.setStatuses &&
           a.failMask == b.failMask && a.delayMs == b.delayMs &&
           a.unplugWhileOpen == b.unplugWhileOpen && a.plugWhileOpen == b.plugWhileOpen;
}

TEST(SoakScenario, ASeedGivesTheSameRunAndAnotherSeedAnotherOne) {
    const Scenario a = MakeScenario(12345), b = MakeScenario(12345), c = MakeScenario(12346);
    for (int i = 0; i < Scenario::kUnits; ++i) EXPECT_TRUE(SameUnit(a.units[i], b.units[i]));
    EXPECT_EQ(a.toggle, b.toggle);
    EXPECT_EQ(a.pressOk, b.pressOk);
    EXPECT_EQ(a.inputAfterOkMs, b.inputAfterOkMs);
    EXPECT_EQ(Describe(a), Describe(b));
    bool differs = false;
    for (int i = 0; i < Scenario::kUnits; ++i) differs |= !SameUnit(a.units[i], c.units[i]);
    EXPECT_TRUE(differs);
}

TEST(SoakScenario, TwoThousandSeedsReachEveryKindOfTroubleAndStayShort) {
    std::set<int> unitCounts;
    std::set<std::int32_t> lightLoads;
    std::set<std::uint32_t> setStatuses, getStatuses;
    std::set<DWORD> failMasks;
    std::set<std::string> paths;
    int delayed = 0, unplugged = 0, plugged = 0, toggles = 0, cancels = 0;
    int inputDuringHold = 0;
    std::set<Hold> holds;
    for (std::uint64_t seed = 0; seed < 2000; ++seed) {
        const Scenario scenario = MakeScenario(seed * 7919);
        int count = 0, slow = 0, holding = 0;
        for (const UnitPlan& unit : scenario.units) {
            count += unit.plugged;
            EXPECT_FALSE(unit.plugged && unit.plugWhileOpen);
            EXPECT_FALSE(!unit.plugged && unit.unplugWhileOpen);
            EXPECT_LE(unit.setStatuses.size(), 3u);
            EXPECT_LE(unit.delayMs, kMaxScenarioDelayMs);
            slow += unit.delayMs > 0;
            holding += unit.hold != Hold::None;
            EXPECT_FALSE(unit.hold != Hold::None && unit.delayMs > 0);
            holds.insert(unit.hold);
            if (!unit.plugged && !unit.plugWhileOpen) continue;
            lightLoads.insert(LightLoadOf(unit.record));
            getStatuses.insert(StatusOf(unit.record) > 1 ? 2 : StatusOf(unit.record));
            for (std::uint32_t s : unit.setStatuses) setStatuses.insert(s > 3 && s != ORVEXSIM_SET_FAILS ? 4 : s);
            failMasks.insert(unit.failMask);
            unplugged += unit.unplugWhileOpen;
            plugged += unit.plugWhileOpen;
        }
        EXPECT_LE(slow, 1);
        EXPECT_LE(holding, 1);
        EXPECT_FALSE(scenario.inputAfterOk && !scenario.pressOk);
        EXPECT_LE(scenario.inputAfterOkMs, kMaxInputAfterOkMs);
        inputDuringHold += scenario.inputAfterOk && holding;
        delayed += slow;
        unitCounts.insert(count);
        toggles += scenario.toggle;
        cancels += !scenario.pressOk;
        const Expectation expected = Predict(scenario);
        paths.insert(PathKey(expected));
    }
    EXPECT_EQ(unitCounts, (std::set<int>{0, 1, 2, 3, 4}));
    for (std::int32_t value : {0, 1, 2, 5, -1}) EXPECT_TRUE(lightLoads.count(value)) << value;
    EXPECT_GT(lightLoads.size(), 5u);  // random values too
    EXPECT_EQ(getStatuses, (std::set<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(setStatuses, (std::set<std::uint32_t>{0, 1, 2, 3, 4, ORVEXSIM_SET_FAILS}));
    EXPECT_EQ(failMasks, (std::set<DWORD>{0, ORVEXSIM_FAIL_GET, ORVEXSIM_FAIL_SET, ORVEXSIM_FAIL_ALL}));
    EXPECT_GT(delayed, 100);
    EXPECT_EQ(holds, (std::set<Hold>{Hold::None, Hold::UntilCancelled, Hold::RefusesCancelThenEnds,
                                      Hold::RefusesCancelForLong, Hold::SitsInDispatch}));
    EXPECT_GT(unplugged, 50);
    EXPECT_GT(plugged, 20);
    EXPECT_GT(toggles, 800);
    EXPECT_GT(cancels, 300);
    EXPECT_GT(inputDuringHold, 40);
    // Every way a run can go: the no-device dialog at the start and after either write, Cancel,
    // a quiet OK with and without the retry, both messages.
    EXPECT_EQ(paths, (std::set<std::string>{"NE0", "SE0", "SE1", "SE2", "SNE1", "SNE2",
                                            "SM33091E1", "SM33090E2"}));
}

}  // namespace
