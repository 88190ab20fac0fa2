#include "driver/AbandonedExchanges.h"
#include "driver/DriverChannel.h"
#include "driver/DriverControlCodes.h"
#include "driver/ExchangeBounds.h"
#include "framework/WorkerThread.h"
#include "support/FoldCases.h"
#include "support/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class Channel : public ::testing::Test {
protected:
    Channel() { FillStandardSlots(slots); }

    // A recognisable record: every byte of the settings part distinct from the default image.
    static DriverSettingsRecord Pattern(std::uint8_t seed, std::uint32_t status) {
        DriverSettingsRecord r;
        auto* p = reinterpret_cast<std::uint8_t*>(&r);
        for (std::size_t i = 0; i < 324; ++i) p[i] = static_cast<std::uint8_t>(seed + i * 7);
        r.settings.lightLoad = 1;
        r.status = status;
        return r;
    }

    void Plug(int slot, std::uint32_t getStatus = 1, std::uint8_t seed = 0x40) {
        units()[slot].present = true;
        units()[slot].getAnswer = Pattern(seed, getStatus);
    }
    std::array<ScriptedUnit, 4>& units() { return devices.units; }

    // Nothing the channel copies into the settings part may reach past it.
    void TearDown() override { EXPECT_EQ(guarded.canary, kCanary); }

    static constexpr std::uint32_t kCanary = 0xC0FFEE11;
    DevicePathTable slots;
    ScriptedDevices devices;
    struct {
        DriverSettingsPart settings;
        std::uint32_t canary = kCanary;
    } guarded;
    DriverSettingsPart& settings = guarded.settings;
};

TEST_F(Channel, NoUnitCountsZeroAndSendsNoControlCode) {
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 0);
    EXPECT_FALSE(ReadDriverSettings(slots, settings, devices, devices));
    CombinedStatus combined = CombinedStatus::DeviceInUse;
    EXPECT_FALSE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(devices.ControlCalls(), 0);
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, CountOpensEachSlotOnceAndClosesAtOnce) {
    Plug(0);
    Plug(2);
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 2);
    ASSERT_EQ(devices.events.size(), 6u);
    EXPECT_EQ(devices.events[0].kind, DeviceEvent::Open);
    EXPECT_EQ(devices.events[1].kind, DeviceEvent::Close);
    EXPECT_EQ(devices.events[2].kind, DeviceEvent::OpenFailed);
    EXPECT_EQ(devices.events[3].kind, DeviceEvent::Open);
    EXPECT_EQ(devices.events[3].slot, 2);
    EXPECT_EQ(devices.MaxOpenHandles(), 1);
    EXPECT_EQ(devices.ControlCalls(), 0);
}

TEST_F(Channel, OnlySlotThreeAnswersTheReadAndReceivesTheWrite) {
    Plug(3, 1, 0x33);
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 1);
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[3].getAnswer, 324), 0);
    // The read tried slots 0 to 2 first, in order, and asked slot 3 only.
    std::vector<int> failedOpens;
    for (const auto& e : devices.events)
        if (e.kind == DeviceEvent::OpenFailed) failedOpens.push_back(e.slot);
    EXPECT_EQ(failedOpens, (std::vector<int>{0, 1, 2, 0, 1, 2}));

    CombinedStatus combined;
    EXPECT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(devices.ControlCalls(3), 2);
    EXPECT_EQ(devices.ControlCalls(), 2);
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, ReadOpensTwiceThenAsksWithTheDefaultImage) {
    Plug(0);
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    ASSERT_EQ(devices.events.size(), 5u);
    const DeviceEvent::Kind expected[] = {DeviceEvent::Open, DeviceEvent::Close, DeviceEvent::Open,
                                          DeviceEvent::Control, DeviceEvent::Close};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(devices.events[i].kind, expected[i]) << i;
    const DeviceEvent& get = devices.events[3];
    EXPECT_EQ(get.code, IOCTL_GET_SETTINGS);
    DriverSettingsRecord defaults;
    EXPECT_EQ(get.input, BytesOf(&defaults, sizeof defaults));
}

TEST_F(Channel, TwoUnitsReadFromTheLowerWriteBothHigherGetsLowersAnswer) {
    Plug(1, 1, 0x11);
    Plug(2, 1, 0x22);
    units()[1].setStatuses = {7};
    units()[1].setMarker = 0xA5;
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[1].getAnswer, 324), 0);
    EXPECT_EQ(devices.ControlCalls(2), 0);

    settings.lightLoad = 0;
    CombinedStatus combined;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::NothingToReport);  // 7 means nothing

    auto lower = devices.ControlsTo(1);
    auto higher = devices.ControlsTo(2);
    ASSERT_EQ(lower.size(), 2u);
    ASSERT_EQ(higher.size(), 1u);
    EXPECT_EQ(lower[1].code, IOCTL_SET_SETTINGS);
    EXPECT_EQ(higher[0].code, IOCTL_SET_SETTINGS);
    // The lower unit receives the settings as read, lightLoad aside, with status 0.
    DriverSettingsRecord sent;
    sent.settings = settings;
    sent.status = 0;
    EXPECT_EQ(lower[1].input, BytesOf(&sent, sizeof sent));
    // The higher one receives the lower one's answer: its marker and its status included.
    sent.settings.entries[0].bytes[0] = 0xA5;
    sent.status = 7;
    EXPECT_EQ(higher[0].input, BytesOf(&sent, sizeof sent));
}

TEST_F(Channel, ChangingLightLoadAltersBytes312To315Only) {
    Plug(0);
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    settings.lightLoad = 0;
    CombinedStatus combined;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    const auto written = devices.ControlsTo(0).back().input;
    const auto read = BytesOf(&units()[0].getAnswer, 324);
    for (std::size_t i = 0; i < 324; ++i) {
        if (i >= 312 && i < 316) continue;
        ASSERT_EQ(written[i], read[i]) << "byte " << i;
    }
    EXPECT_EQ(written[312], 0);
    EXPECT_EQ(read[312], 1);
}

class Folding : public Channel, public ::testing::WithParamInterface<FoldCase> {};

TEST_P(Folding, TwoOverOneOverZeroWhateverTheSlotOrder) {
    const auto& c = GetParam();
    for (std::size_t i = 0; i < c.statuses.size(); ++i) {
        Plug(static_cast<int>(i));
        units()[i].setStatuses = {c.statuses[i]};
    }
    CombinedStatus combined = CombinedStatus::DeviceInUse;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Channel, Folding, ::testing::ValuesIn(kFoldCases));

TEST_F(Channel, LaterUnitSeesThePreviousStatusAndItsOwnZeroDoesNotLowerTheCode) {
    // Slot 0 answers 2; slot 1 receives status 2 and answers 0: combined stays 2.
    Plug(0);
    Plug(1);
    units()[0].setStatuses = {2};
    units()[1].setStatuses = {0};
    CombinedStatus combined;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::PowerCycleNeeded);
    EXPECT_EQ(devices.ControlsTo(1)[0].input[324], 2);
}

TEST_F(Channel, FailingCallIsSkippedByTheReadAndNotCountedByTheWrite) {
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    units()[0].callFails = true;
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[1].getAnswer, 324), 0);

    units()[1].callFails = true;
    CombinedStatus combined = CombinedStatus::DeviceInUse;
    EXPECT_FALSE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::DeviceInUse);  // untouched when nobody answered
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, UnitThatOpensOnceButNotTwiceIsSkipped) {
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    units()[0].opensAllowed = 1;
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(devices.ControlCalls(0), 0);
    EXPECT_EQ(std::memcmp(&settings, &units()[1].getAnswer, 324), 0);
}

TEST_F(Channel, UnitCountedThenGoneMakesTheReadFail) {
    Plug(2);
    ASSERT_EQ(CountConnectedUnits(slots, devices, devices), 1);
    units()[2].present = false;
    EXPECT_FALSE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(devices.ControlCalls(), 0);
}

TEST_F(Channel, ReadWithStatusZeroFailsStopsTheSearchAndStillCopies) {
    Plug(0, 0, 0x10);
    Plug(1, 1, 0x20);
    EXPECT_FALSE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(devices.ControlCalls(1), 0);
    EXPECT_EQ(std::memcmp(&settings, &units()[0].getAnswer, 324), 0);
}

TEST_F(Channel, ShortAnswerLeavesStatusZeroAndTheReadFails) {
    Plug(0, 1, 0x10);
    units()[0].answerBytes = 300;
    EXPECT_FALSE(ReadDriverSettings(slots, settings, devices, devices));
    // What the unit did send was taken; the rest is the default image.
    EXPECT_EQ(std::memcmp(&settings, &units()[0].getAnswer, 300), 0);
    EXPECT_EQ(settings.lightLoad, 0);
}

TEST_F(Channel, FailedSlotDoesNotLeakStatusIntoTheNextRead) {
    // Slot 0 answers short (status never written); slot 1 is not tried after an answer.
    Plug(0, 5, 0x10);
    units()[0].callFails = true;
    Plug(1, 1, 0x20);
    units()[1].answerBytes = 324;  // answers the settings part only
    EXPECT_FALSE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(devices.ControlsTo(1)[0].input[324], 0);
}

// A unit that holds its requests: the channel waits the first bound, cancels, sends the cancel
// again and again through the second bound, and either sees the exchange end or leaves it
// behind, its handle still open.
using Kinds = std::vector<DeviceEvent::Kind>;
const Kinds kLeftBehind = {DeviceEvent::Open, DeviceEvent::Close, DeviceEvent::Open,
                           DeviceEvent::Control};
const Kinds kGivenUpOn = {DeviceEvent::Open, DeviceEvent::Close, DeviceEvent::Open,
                          DeviceEvent::Control, DeviceEvent::Close};

// The cancels of an exchange that started at `start` and is still running at `last`: the
// first at the first bound, then one every repeat.
std::vector<ULONGLONG> CancelsFrom(ULONGLONG start, ULONGLONG last) {
    std::vector<ULONGLONG> out;
    for (ULONGLONG t = start + kRequestCompletionBoundMs; t <= last; t += kCancelRepeatMs)
        out.push_back(t);
    return out;
}
const ULONGLONG kLastCancel = kRequestCompletionBoundMs + kCancellationBoundMs - kCancelRepeatMs;

TEST_F(Channel, ReadCancelsAHeldRequestAfterTheBoundAndMovesOn) {
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    units()[0].holdMs = kHoldsForever;
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[1].getAnswer, 324), 0);
    EXPECT_EQ(devices.KindsFor(0), kGivenUpOn);
    EXPECT_EQ(devices.CancelTimes(0), CancelsFrom(0, kRequestCompletionBoundMs));
    EXPECT_EQ(devices.CallTimes(0).back(), kRequestCompletionBoundMs);  // given back at once
    EXPECT_TRUE(devices.HeldRequests().empty());  // the cancellation completed it
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, SlowUnitsWithinTheBoundAreAnsweredEachWithinItsOwnOnOneWorker) {
    // Each answers after 4 s, the last just as its bound comes: the bound runs per exchange,
    // not per operation, and an answer at the bound is in time.
    for (int slot = 0; slot < 3; ++slot) {
        Plug(slot, 1, static_cast<std::uint8_t>(0x10 * (slot + 1)));
        units()[slot].holdMs = slot < 2 ? 4000 : kRequestCompletionBoundMs;
        units()[slot].setStatuses = {static_cast<std::uint32_t>(slot)};
    }
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[0].getAnswer, 324), 0);
    CombinedStatus combined = CombinedStatus::NothingToReport;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::PowerCycleNeeded);  // slot 2's answer counted
    for (int slot = 0; slot < 3; ++slot) EXPECT_TRUE(devices.CancelTimes(slot).empty());
    // the read's exchange and three writes
    EXPECT_EQ(devices.Now(), 3u * 4000u + kRequestCompletionBoundMs);
    // Every exchange of both operations ran on the same worker, made before them or by them.
    const auto worker = devices.WorkersOf(0);
    ASSERT_EQ(worker.size(), 1u);
    EXPECT_EQ(devices.WorkersOf(1), worker);
    EXPECT_EQ(devices.WorkersOf(2), worker);
    EXPECT_EQ(devices.WorkersOf(3), worker);  // the failed opens of the absent slot too
}

TEST_F(Channel, AnIdleWorkerEndedAtTheRunsEndLeavesAndALaterExchangeGetsANewOne) {
    Plug(0);
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 1);
    const std::size_t made = WorkersMade();
    EndIdleWorker();
    const auto first = devices.WorkersOf(0);
    ASSERT_EQ(first.size(), 1u);
    UniqueHandle thread(OpenThread(SYNCHRONIZE, FALSE, first[0]));
    ASSERT_TRUE(thread);
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 1);
    EXPECT_EQ(WorkersMade(), made + 1);
    EXPECT_EQ(devices.WorkersOf(0).size(), 2u);
}

TEST_F(Channel, AnAnswerInsideTheCancellationBoundCountsAsAnAnswer) {
    // The unit refuses the cancellation but answers within the second bound: it answered.
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    const DWORD insideSecondBound = kRequestCompletionBoundMs + kCancellationBoundMs / 2;
    units()[0].refusesCancel = true;
    units()[0].holdOpenMs = insideSecondBound;  // the count's open, likewise
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 2);
    EXPECT_EQ(devices.CancelTimes(0), CancelsFrom(0, insideSecondBound - kCancelRepeatMs));

    units()[0].holdOpenMs = 0;
    units()[0].holdMs = insideSecondBound;
    units()[0].setStatuses = {1};
    units()[0].setMarker = 0xA5;
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[0].getAnswer, 324), 0);
    EXPECT_EQ(devices.ControlCalls(1), 0);  // the read stopped at the unit that answered
    Kinds countThenRead = {DeviceEvent::Open, DeviceEvent::Close};
    countThenRead.insert(countThenRead.end(), kGivenUpOn.begin(), kGivenUpOn.end());
    EXPECT_EQ(devices.KindsFor(0), countThenRead);

    CombinedStatus combined = CombinedStatus::NothingToReport;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::DeviceInUse);  // unit 0's "in use", folded
    const auto next = devices.ControlsTo(1);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].input[0], 0xA5);  // unit 1 received unit 0's answer
    EXPECT_EQ(next[0].input[324], 1);
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore);
    EXPECT_TRUE(devices.HeldRequests().empty());
    EXPECT_EQ(devices.OpenHandles(), 0);
}

// The exchange's thread looks whether the caller gave up before each step; a step under way
// at the moment the caller gives up must still end within the bounds, having asked nothing.
TEST_F(Channel, AUnitThatOpensOnlyAfterTheGiveUpIsSentNothing) {
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    units()[0].opensAtOnce = 1;  // the read's second open is held past the first bound
    units()[0].holdOpenMs = kRequestCompletionBoundMs + kCancellationBoundMs / 2;
    units()[0].refusesCancel = true;
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[1].getAnswer, 324), 0);
    EXPECT_EQ(devices.ControlCalls(0), 0);
    EXPECT_EQ(devices.KindsFor(0),
              (Kinds{DeviceEvent::Open, DeviceEvent::Close, DeviceEvent::Open, DeviceEvent::Close}));
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore);
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, ARequestThatReachesTheUnitJustAfterTheGiveUpIsCancelled) {
    // The caller's cancel comes while the request is not yet made and finds nothing; the unit
    // would then hold it for good, but lets a cancel have it.
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    const DWORD late = kRequestCompletionBoundMs + kCancellationBoundMs / 2;
    units()[0].holdBeforeSendMs = late;
    units()[0].holdMs = kHoldsForever;
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[1].getAnswer, 324), 0);
    EXPECT_EQ(devices.KindsFor(0), kGivenUpOn);
    EXPECT_EQ(devices.CallTimes(0).back(), late);  // cancelled as it came
    EXPECT_TRUE(devices.HeldRequests().empty());
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore);
    EXPECT_EQ(devices.OpenHandles(), 0);
}

// A driver that lets its opens and closes be cancelled: the cancel reaches the one it sits
// in, and the one that reaches it after the first cancel too, so the exchange ends within
// the second bound instead of being left behind.
TEST_F(Channel, OpensAndClosesThatSitAreGivenUpWithinTheBoundWhenTheDriverYields) {
    Plug(0, 1, 0x10);
    units()[0].holdOpenMs = kHoldsForever;
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 0);  // its open was cancelled
    EXPECT_EQ(devices.KindsFor(0), (Kinds{DeviceEvent::OpenFailed}));
    EXPECT_EQ(devices.CancelTimes(0), CancelsFrom(0, kRequestCompletionBoundMs));

    units()[0].holdOpenMs = 0;
    units()[0].holdCloseMs = kHoldsForever;
    ULONGLONG start = devices.Now();
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 1);  // it opened
    EXPECT_EQ(devices.CancelTimes(0).back(), start + kRequestCompletionBoundMs);

    // Its next open reaches it only just after the first cancel, and then sits.
    units()[0].holdCloseMs = 0;
    units()[0].opensAtOnce = units()[0].opens + 1;
    units()[0].holdBeforeOpenMs = kRequestCompletionBoundMs + kCancelRepeatMs / 2;
    units()[0].holdOpenMs = kHoldsForever;
    start = devices.Now();
    EXPECT_FALSE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(devices.CallTimes(0).back(), start + kRequestCompletionBoundMs + kCancelRepeatMs);
    EXPECT_EQ(devices.KindsFor(0).back(), DeviceEvent::OpenFailed);
    EXPECT_EQ(devices.ControlCalls(0), 0);
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore);
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, WriteAbandonsAUnitThatKeepsItsRequestAndTheNextGetsTheSameBytes) {
    Plug(0);
    Plug(1);
    units()[0].holdMs = kHoldsForever;
    units()[0].refusesCancel = true;
    units()[0].setMarker = 0xA5;
    units()[0].setStatuses = {2};
    settings.lightLoad = 1;
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    CombinedStatus combined = CombinedStatus::PowerCycleNeeded;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::NothingToReport);  // unit 0's answer never counted
    EXPECT_EQ(devices.KindsFor(0), kLeftBehind);
    EXPECT_EQ(devices.CancelTimes(0), CancelsFrom(0, kLastCancel));
    EXPECT_EQ(devices.OpenHandles(), 1);  // the program closes nothing the exchange still uses

    const auto first = devices.ControlsTo(0);
    const auto second = devices.ControlsTo(1);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].input, first[0].input);
    // The worker that unit 0 holds stays with it; unit 1 is written on a new one.
    ASSERT_EQ(devices.WorkersOf(0).size(), 1u);
    ASSERT_EQ(devices.WorkersOf(1).size(), 1u);
    EXPECT_NE(devices.WorkersOf(1), devices.WorkersOf(0));
    EXPECT_EQ(devices.WorkersOf(2), devices.WorkersOf(1));

    // The exchange unit 0 still holds is kept alive; its late answer reaches nobody, and its
    // thread, let go, ends the exchange by itself.
    const auto held = devices.HeldRequests();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_TRUE(IsAbandoned(held[0]));
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore + 1);
    const DriverSettingsPart before = settings;
    devices.CompleteHeldRequests();
    EXPECT_EQ(held[0]->buffer[324], 2);  // the answer landed in the kept memory
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof before), 0);
    EXPECT_EQ(devices.ControlsTo(1).size(), 1u);
    EXPECT_EQ(devices.KindsFor(0), kGivenUpOn);
    EXPECT_EQ(devices.OpenHandles(), 0);
}

// A driver that never returns from an open, even when asked to cancel it: the slot counts as
// one that did not open, the units after it are counted on a new worker, and while the driver
// keeps that exchange, no later operation asks the slot again, nor waits for it.
TEST_F(Channel, ASlotLeftInsideTheDriverIsNotAskedAgainUntilTheDriverLetsGo) {
    Plug(0, 1, 0x10);
    Plug(1, 1, 0x20);
    Plug(2, 1, 0x30);
    units()[1].holdOpenMs = kHoldsForever;
    units()[1].refusesCancel = true;
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 2);
    ASSERT_EQ(devices.WorkersOf(0).size(), 1u);
    ASSERT_EQ(devices.WorkersOf(2).size(), 1u);
    EXPECT_NE(devices.WorkersOf(2), devices.WorkersOf(0));
    units()[0].present = false;
    ASSERT_TRUE(ReadDriverSettings(slots, settings, devices, devices));
    EXPECT_EQ(std::memcmp(&settings, &units()[2].getAnswer, 324), 0);
    CombinedStatus combined = CombinedStatus::DeviceInUse;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 1);
    // Its open was cancelled through the second bound, then never asked for again.
    EXPECT_EQ(devices.CancelTimes(1), CancelsFrom(0, kLastCancel));
    EXPECT_TRUE(devices.KindsFor(1).empty());
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore + 1);  // the first count's

    // Once the driver lets the open go, the exchange given up on asks the unit nothing, and
    // the slot is asked again like any other.
    devices.CompleteHeldRequests();
    EXPECT_EQ(devices.ControlCalls(1), 0);
    units()[1].holdOpenMs = 0;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(devices.ControlCalls(1), 1);
    EXPECT_EQ(devices.ControlsTo(2).size(), 3u);  // the read and both writes
    EXPECT_EQ(devices.OpenHandles(), 0);
}

TEST_F(Channel, WriteWhoseOnlyUnitNeverAnswersReportsNoUnit) {
    Plug(2);
    units()[2].holdMs = kHoldsForever;
    CombinedStatus combined = CombinedStatus::DeviceInUse;
    EXPECT_FALSE(WriteDriverSettings(slots, settings, combined, devices, devices));
    EXPECT_EQ(combined, CombinedStatus::DeviceInUse);
    EXPECT_EQ(devices.KindsFor(2), kGivenUpOn);
}

}  // namespace
