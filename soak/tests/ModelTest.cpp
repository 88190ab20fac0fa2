// The soak's model of the program, against cases worked out by hand: a wrong model would
// either flood the soak with false alarms or let real faults through.
#include "SoakCases.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

std::vector<ProgramScreen> Screens(const Expectation& expected) {
    std::vector<ProgramScreen> screens;
    for (const ScreenStep& step : expected.screens) screens.push_back(step.screen);
    return screens;
}

using S = ProgramScreen;

TEST(SoakModel, WithoutAUnitTheProgramShowsTheNoDeviceDialogAndSendsNothing) {
    Scenario scenario = EmptyScenario();
    scenario.units[1].plugWhileOpen = true;  // never reached: the settings dialog never opens
    const Expectation expected = Predict(scenario);
    EXPECT_EQ(Screens(expected), (std::vector<S>{S::NoDevice, S::Ended}));
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_TRUE(expected.gets[slot].empty());
        EXPECT_TRUE(expected.sets[slot].empty());
    }
    EXPECT_EQ(expected.writes, 0);
}

TEST(SoakModel, TheReadStopsAtTheFirstUnitThatAnswersAndTheWriteGoesToAll) {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 1).failMask = ORVEXSIM_FAIL_ALL;
    PlugUnit(scenario, 2, 1, {2});
    PlugUnit(scenario, 4, 0, {0});
    const Expectation expected = Predict(scenario);

    EXPECT_EQ(expected.gets[0].size(), 1u);
    EXPECT_EQ(expected.gets[1].size(), 1u);
    EXPECT_TRUE(expected.gets[3].empty());
    EXPECT_EQ(expected.gets[1][0], DefaultRecordImage());
    ASSERT_EQ(expected.screens.size(), 3u);
    EXPECT_EQ(expected.screens[0].shownCheck, BST_CHECKED);  // unit 2's lightLoad
    EXPECT_EQ(expected.screens[1].messageId, static_cast<UINT>(IDS_CONF_MIDI));

    // Unit 1 fails, so unit 2 gets the fresh buffer; unit 4 gets unit 2's answer, status 2.
    const SimRecord& read = scenario.units[1].record;
    EXPECT_EQ(expected.sets[0], (std::vector<Bytes>{SetInput(read, 1, 0)}));
    EXPECT_EQ(expected.sets[1], (std::vector<Bytes>{SetInput(read, 1, 0)}));
    EXPECT_TRUE(expected.sets[2].empty());
    EXPECT_EQ(expected.sets[3], (std::vector<Bytes>{SetInput(read, 1, 2)}));
    EXPECT_EQ(expected.writes, 1);
}

TEST(SoakModel, AGetStatusOfZeroFailsTheReadAndEndsTheSearch) {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 1, 0, {}, 0);
    PlugUnit(scenario, 2);
    const Expectation expected = Predict(scenario);
    EXPECT_EQ(Screens(expected), (std::vector<S>{S::NoDevice, S::Ended}));
    EXPECT_EQ(expected.gets[0].size(), 1u);
    EXPECT_TRUE(expected.gets[1].empty());
    EXPECT_TRUE(expected.sets[1].empty());
}

TEST(SoakModel, AFailedSetLeavesTheBufferForTheNextUnitAndAnyOtherNonzeroGetStatusReads) {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 1, 0, {3}, 77);
    PlugUnit(scenario, 2, 0, {ORVEXSIM_SET_FAILS});
    PlugUnit(scenario, 3, 0, {1});
    const Expectation expected = Predict(scenario);
    const SimRecord& read = scenario.units[0].record;
    EXPECT_EQ(expected.sets[1], (std::vector<Bytes>{SetInput(read, 0, 3)}));
    EXPECT_EQ(expected.sets[2], (std::vector<Bytes>{SetInput(read, 0, 3)}));
    // 3 counts as 2 and wins over unit 3's 1: message 33091, no second write.
    ASSERT_EQ(expected.screens.size(), 3u);
    EXPECT_EQ(expected.screens[1].messageId, static_cast<UINT>(IDS_CONF_MIDI));
    EXPECT_EQ(expected.writes, 1);
}

struct RetryCase {
    std::initializer_list<std::uint32_t> statuses;
    std::vector<S> screens;
    UINT message;
    int writes;
};

TEST(SoakModel, AFirstCombinedStatusOfOneIsWrittenOnceMore) {
    const RetryCase cases[] = {
        {{1, 1}, {S::Settings, S::MessageBox, S::Ended}, IDS_CONF_WAVE, 2},
        {{1, 2}, {S::Settings, S::Ended}, 0, 2},
        {{1, 0}, {S::Settings, S::Ended}, 0, 2},
        {{1}, {S::Settings, S::Ended}, 0, 2},  // the second SET answers 0 once the list ends
        {{1, ORVEXSIM_SET_FAILS}, {S::Settings, S::NoDevice, S::Ended}, 0, 2},
        {{ORVEXSIM_SET_FAILS}, {S::Settings, S::NoDevice, S::Ended}, 0, 1},
        {{2}, {S::Settings, S::MessageBox, S::Ended}, IDS_CONF_MIDI, 1},
        {{7}, {S::Settings, S::Ended}, 0, 1},
    };
    for (const RetryCase& c : cases) {
        Scenario scenario = EmptyScenario();
        PlugUnit(scenario, 3, 1, c.statuses);
        const Expectation expected = Predict(scenario);
        SCOPED_TRACE(Render(expected.screens));
        EXPECT_EQ(Screens(expected), c.screens);
        EXPECT_EQ(expected.writes, c.writes);
        if (c.message) {
            EXPECT_EQ(expected.screens[1].messageId, c.message);
        }
        // Each write starts again from the settings with the status word 0.
        const Bytes fresh = SetInput(scenario.units[2].record, 1, 0);
        EXPECT_EQ(expected.sets[2], std::vector<Bytes>(static_cast<std::size_t>(c.writes), fresh));
    }
}

TEST(SoakModel, AUnitFailingTheSetCodeUsesUpNoStatusAndCountsAsNotAnswering) {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 1, 0, {2}).failMask = ORVEXSIM_FAIL_SET;
    const Expectation expected = Predict(scenario);
    EXPECT_EQ(Screens(expected), (std::vector<S>{S::Settings, S::NoDevice, S::Ended}));
    EXPECT_EQ(expected.sets[0].size(), 1u);
}

TEST(SoakModel, AHoldingUnitCountsAsTheProgramSeesItsAnswerAndAStuckOneIsNotAskedAgain) {
    for (Hold hold :
         {Hold::UntilCancelled, Hold::RefusesCancelThenEnds, Hold::RefusesCancelForLong,
          Hold::SitsInDispatch}) {
        SCOPED_TRACE(static_cast<int>(hold));
        Scenario scenario = EmptyScenario();
        const UnitPlan& first = PlugUnit(scenario, 1, 0, {2, 2});
        scenario.units[0].hold = hold;
        const UnitPlan& second = PlugUnit(scenario, 2, 1, {1, 0});
        const Expectation expected = Predict(scenario);
        if (hold == Hold::RefusesCancelThenEnds) {
            // Its answers, late but within the program's bounds, count: it is read, and its 2
            // asks for a power cycle.
            EXPECT_EQ(Screens(expected), (std::vector<S>{S::Settings, S::MessageBox, S::Ended}));
            EXPECT_TRUE(expected.gets[1].empty());
            const Bytes sent = SetInput(first.record, 0, 0);
            EXPECT_EQ(expected.sets[0], (std::vector<Bytes>{sent}));
            EXPECT_EQ(expected.sets[1], (std::vector<Bytes>{SetInput(first.record, 0, 2)}));
            continue;
        }
        // Unit 2 is read; unit 2 says "in use", so the write is repeated, and unit 1's 2s
        // never count; unit 2 gets the very bytes unit 1 was sent.
        EXPECT_EQ(Screens(expected), (std::vector<S>{S::Settings, S::Ended}));
        EXPECT_EQ(expected.gets[1].size(), 1u);
        const Bytes sent = SetInput(second.record, 1, 0);
        EXPECT_EQ(expected.sets[1], (std::vector<Bytes>{sent, sent}));
        // A unit still holding the read is written to no more; one that only sat in its
        // routine is free again once the next unit, queued behind it, has been answered.
        const std::vector<Bytes> toUnit1 =
            hold == Hold::RefusesCancelForLong ? std::vector<Bytes>{} : std::vector<Bytes>{sent, sent};
        EXPECT_EQ(expected.sets[0], toUnit1);
    }
}

// The simulator's dispatch routines run on one thread: the repeat's first request waits
// until the routine that sat has returned, so the unit is asked again; a unit that keeps a
// failing write for long is not, though.
TEST(SoakModel, AUnitThatSatIsAskedByTheRepeatAndOneStillHoldingIsNot) {
    for (Hold hold : {Hold::SitsInDispatch, Hold::RefusesCancelForLong}) {
        SCOPED_TRACE(static_cast<int>(hold));
        Scenario scenario = EmptyScenario();
        const UnitPlan& first = PlugUnit(scenario, 1, 1, {1, 0});
        UnitPlan& held = PlugUnit(scenario, 2, 0, {0, 0});
        held.hold = hold;
        held.failMask = ORVEXSIM_FAIL_SET;
        const Expectation expected = Predict(scenario);
        EXPECT_EQ(Screens(expected), (std::vector<S>{S::Settings, S::Ended}));
        const Bytes sent = SetInput(first.record, 1, 0);
        EXPECT_EQ(expected.sets[0], (std::vector<Bytes>{sent, sent}));
        std::vector<Bytes> toHeld{SetInput(first.record, 1, 1)};
        if (hold == Hold::SitsInDispatch) toHeld.push_back(sent);
        EXPECT_EQ(expected.sets[1], toHeld);
    }
}

TEST(SoakModel, AHoldingUnitAloneEndsInTheNoDeviceDialog) {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 3).hold = Hold::UntilCancelled;
    EXPECT_EQ(Screens(Predict(scenario)), (std::vector<S>{S::NoDevice, S::Ended}));
}

struct CheckCase {
    std::int32_t stored;
    bool toggle;
    LRESULT shown;
    std::int32_t written;
};

// 2 goes to the check box as BST_INDETERMINATE, which a two-state check box holds as checked.
TEST(SoakModel, TheCheckBoxShowsLightLoadAndOkWritesItsState) {
    const CheckCase cases[] = {
        {0, false, BST_UNCHECKED, 0}, {1, false, BST_CHECKED, 1},
        {2, false, BST_CHECKED, 1}, {5, false, BST_UNCHECKED, 0},
        {-1, false, BST_UNCHECKED, 0}, {0, true, BST_UNCHECKED, 1},
        {1, true, BST_CHECKED, 0}, {2, true, BST_CHECKED, 0},
        {-7, true, BST_UNCHECKED, 1},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE("lightLoad " + std::to_string(c.stored) + (c.toggle ? ", toggled" : ""));
        Scenario scenario = EmptyScenario();
        scenario.toggle = c.toggle;
        PlugUnit(scenario, 2, c.stored);
        const Expectation expected = Predict(scenario);
        ASSERT_FALSE(expected.screens.empty());
        EXPECT_EQ(expected.screens[0].shownCheck, c.shown);
        EXPECT_EQ(expected.screens[0].toggled, c.toggle);
        if (c.toggle) {
            EXPECT_EQ(expected.screens[0].checkAfterToggle, c.written);
        }
        EXPECT_EQ(expected.sets[1],
                  (std::vector<Bytes>{SetInput(scenario.units[1].record, c.written, 0)}));
    }
}

TEST(SoakModel, CancelWritesNothingWhateverTheCheckBoxShows) {
    Scenario scenario = EmptyScenario();
    scenario.toggle = true;
    scenario.pressOk = false;
    PlugUnit(scenario, 1, 1, {1, 1});
    const Expectation expected = Predict(scenario);
    EXPECT_EQ(Screens(expected), (std::vector<S>{S::Settings, S::Ended}));
    EXPECT_TRUE(expected.sets[0].empty());
    EXPECT_EQ(expected.writes, 0);
}

TEST(SoakModel, TheWriteGoesToTheUnitsThereAtOk) {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 1, 1, {2}).unplugWhileOpen = true;
    PlugUnit(scenario, 2, 0, {1});
    UnitPlan& late = scenario.units[3];
    late.plugWhileOpen = true;
    late.setStatuses = {0};
    const Expectation expected = Predict(scenario);
    EXPECT_EQ(expected.gets[0].size(), 1u);  // read from unit 1 while it was there
    EXPECT_TRUE(expected.gets[1].empty());
    EXPECT_TRUE(expected.sets[0].empty());
    const SimRecord& read = scenario.units[0].record;
    // Unit 2 answers 1, so both are written twice; unit 4 receives unit 2's status 1, then 0.
    EXPECT_EQ(expected.sets[1], (std::vector<Bytes>{SetInput(read, 1, 0), SetInput(read, 1, 0)}));
    EXPECT_EQ(expected.sets[3], (std::vector<Bytes>{SetInput(read, 1, 1), SetInput(read, 1, 0)}));
    EXPECT_EQ(Screens(expected), (std::vector<S>{S::Settings, S::Ended}));
}

}  // namespace
