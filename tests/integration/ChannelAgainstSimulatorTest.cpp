// The production channel (CreateFileW, DeviceIoControl, CloseHandle) against the simulated
// ORVEX driver under Wine: what the program really sends, byte for byte.

#include "SimulatedUnits.h"

#include "driver/AbandonedExchanges.h"
#include "driver/DriverChannel.h"
#include "driver/DriverControlCodes.h"
#include "driver/ExchangeBounds.h"
#include "support/FoldCases.h"

#include <windows.h>

namespace {

using Channel = SimulatedUnits;

TEST_F(Channel, CountsZeroOneAndFourUnits) {
    EXPECT_EQ(CountConnectedUnits(slots), 0);
    for (int unit = 1; unit <= 4; ++unit) EXPECT_EQ(SettledState(unit).opens, 0u) << unit;

    ASSERT_TRUE(sim.Plug(3)) << sim.LastError();
    EXPECT_EQ(CountConnectedUnits(slots), 1);

    for (int unit : {1, 2, 4}) ASSERT_TRUE(sim.Plug(unit)) << sim.LastError();
    EXPECT_EQ(CountConnectedUnits(slots), 4);
    for (int unit = 1; unit <= 4; ++unit) {
        const SimUnitState state = SettledState(unit);
        EXPECT_EQ(state.opens, unit == 3 ? 2u : 1u) << unit;
        EXPECT_EQ(state.closes, state.opens) << unit;
        EXPECT_EQ(state.requests, 0u) << unit;  // counting sends no control code
    }
}

TEST_F(Channel, ReadAnsweredBySlotThreeAloneAndTheWriteReachesItOnly) {
    const SimRecord record = Pattern(0x33, 1);
    PlugWith(4, record);
    EXPECT_EQ(CountConnectedUnits(slots), 1);
    ASSERT_TRUE(ReadDriverSettings(slots, settings));
    EXPECT_EQ(std::memcmp(&settings, record.data(), 324), 0);

    auto log = LogOf(4);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, IOCTL_GET_SETTINGS);
    EXPECT_EQ(log[0].inputLength, 328u);
    EXPECT_EQ(log[0].outputLength, 328u);
    // The read asks with the default image and a zero status word.
    EXPECT_EQ(log[0].input, BytesOfRecord(DriverSettingsRecord{}));

    CombinedStatus combined = CombinedStatus::PowerCycleNeeded;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, CombinedStatus::NothingToReport);
    log = LogOf(4);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].code, IOCTL_SET_SETTINGS);
    EXPECT_EQ(log[1].input, Sent(settings, 0));
    for (int unit = 1; unit <= 3; ++unit) EXPECT_EQ(SettledState(unit).opens, 0u) << unit;
    // Count 1, read 2 (probe and exchange), write 2.
    const SimUnitState state = SettledState(4);
    EXPECT_EQ(state.opens, 5u);
    EXPECT_EQ(state.closes, 5u);
}

TEST_F(Channel, TwoUnitsReadFromTheLowerAndTheWriteReachesBothByteForByte) {
    const SimRecord lower = Pattern(0x11, 1);
    PlugWith(2, lower);
    PlugWith(3, Pattern(0x22, 1));
    ASSERT_TRUE(sim.SetSetStatuses(2, {1})) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(3, {0})) << sim.LastError();

    ASSERT_TRUE(ReadDriverSettings(slots, settings));
    EXPECT_EQ(std::memcmp(&settings, lower.data(), 324), 0);
    EXPECT_EQ(SettledState(3).requests, 0u);

    settings.lightLoad = 0;
    CombinedStatus combined = CombinedStatus::NothingToReport;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, CombinedStatus::DeviceInUse);

    const auto lowerLog = LogOf(2);
    const auto higherLog = LogOf(3);
    ASSERT_EQ(lowerLog.size(), 2u);
    ASSERT_EQ(higherLog.size(), 1u);
    EXPECT_EQ(lowerLog[1].code, IOCTL_SET_SETTINGS);
    EXPECT_EQ(higherLog[0].code, IOCTL_SET_SETTINGS);
    // The lower unit gets the settings as read with lightLoad changed, status 0; the higher
    // one gets the lower one's answer, whose status word is 1.
    EXPECT_EQ(lowerLog[1].input, Sent(settings, 0));
    EXPECT_EQ(higherLog[0].input, Sent(settings, 1));
    for (std::size_t i = 0; i < 324; ++i) {
        if (i >= 312 && i < 316) continue;
        ASSERT_EQ(lowerLog[1].input[i], lower[i]) << "byte " << i;
    }
    // Both units now keep what was written.
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(3, state));
    EXPECT_EQ(std::memcmp(state.record.data(), &settings, 324), 0);
}

class Folding : public SimulatedUnits, public ::testing::WithParamInterface<FoldCase> {};

TEST_P(Folding, CombinedStatusOfAllAnsweringUnits) {
    const auto& c = GetParam();
    for (std::size_t i = 0; i < c.statuses.size(); ++i) {
        const int unit = static_cast<int>(i) + 1;
        ASSERT_TRUE(sim.Plug(unit)) << sim.LastError();
        ASSERT_TRUE(sim.SetSetStatuses(unit, {c.statuses[i]})) << sim.LastError();
    }
    CombinedStatus combined = CombinedStatus::DeviceInUse;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, c.expected);
    for (std::size_t i = 0; i < c.statuses.size(); ++i)
        EXPECT_EQ(LogOf(static_cast<int>(i) + 1).size(), 1u) << i;
}

INSTANTIATE_TEST_SUITE_P(Channel, Folding, ::testing::ValuesIn(kFoldCases));

TEST_F(Channel, RepeatedWritesFollowTheUnitsStatusSequence) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(1, {1, 2})) << sim.LastError();
    const CombinedStatus expected[] = {CombinedStatus::DeviceInUse,
                                       CombinedStatus::PowerCycleNeeded,
                                       CombinedStatus::NothingToReport};
    for (CombinedStatus want : expected) {
        CombinedStatus combined = CombinedStatus::NothingToReport;
        ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
        EXPECT_EQ(combined, want);
    }
}

TEST_F(Channel, FailingControlCallIsSkippedByTheReadAndNotCountedByTheWrite) {
    PlugWith(1, Pattern(0x10, 1));
    const SimRecord second = Pattern(0x20, 1);
    PlugWith(2, second);
    ASSERT_TRUE(sim.FailCode(1, IOCTL_GET_SETTINGS, true)) << sim.LastError();

    ASSERT_TRUE(ReadDriverSettings(slots, settings));
    EXPECT_EQ(std::memcmp(&settings, second.data(), 324), 0);
    auto log = LogOf(1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_LT(log[0].result, 0);

    // Unit 1 still takes SETs: with unit 2 failing them, only unit 1's answer counts.
    ASSERT_TRUE(sim.FailCode(2, IOCTL_SET_SETTINGS, true)) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(1, {1})) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(2, {2})) << sim.LastError();
    CombinedStatus combined = CombinedStatus::NothingToReport;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, CombinedStatus::DeviceInUse);

    ASSERT_TRUE(sim.FailCode(1, IOCTL_SET_SETTINGS, true)) << sim.LastError();
    combined = CombinedStatus::PowerCycleNeeded;
    EXPECT_FALSE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, CombinedStatus::PowerCycleNeeded);  // untouched when nobody answered
}

TEST_F(Channel, RequestsCompletedLateAreWaitedFor) {
    constexpr DWORD kDelayMs = 250;
    const SimRecord record = Pattern(0x44, 1);
    PlugWith(1, record);
    ASSERT_TRUE(sim.SetDelay(1, kDelayMs)) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(1, {2})) << sim.LastError();

    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(ReadDriverSettings(slots, settings));
    // The answer cannot arrive before the driver completes the request.
    EXPECT_GE(::GetTickCount64() - start, kDelayMs - 20);
    EXPECT_EQ(std::memcmp(&settings, record.data(), 324), 0);

    CombinedStatus combined = CombinedStatus::NothingToReport;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, CombinedStatus::PowerCycleNeeded);

    const auto log = LogOf(1);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].pended);
    EXPECT_TRUE(log[1].pended);
}

TEST_F(Channel, ShortAnswerMakesTheReadFail) {
    const SimRecord record = Pattern(0x55, 7);
    PlugWith(1, record);
    ASSERT_TRUE(sim.SetAnswerBytes(1, 300)) << sim.LastError();
    EXPECT_FALSE(ReadDriverSettings(slots, settings));
    // What the unit did send was taken; the rest is the default image.
    EXPECT_EQ(std::memcmp(&settings, record.data(), 300), 0);
    EXPECT_EQ(settings.lightLoad, 0);
    EXPECT_EQ(settings.word316, 1u);

    // The whole settings part but no status word: still a failed read.
    ASSERT_TRUE(sim.SetAnswerBytes(1, 324)) << sim.LastError();
    EXPECT_FALSE(ReadDriverSettings(slots, settings));
    EXPECT_EQ(std::memcmp(&settings, record.data(), 324), 0);
}

TEST_F(Channel, ReadWithStatusZeroFailsAndStopsTheSearch) {
    PlugWith(1, Pattern(0x10, 0));
    PlugWith(2, Pattern(0x20, 1));
    EXPECT_FALSE(ReadDriverSettings(slots, settings));
    EXPECT_EQ(SettledState(2).requests, 0u);
}

TEST_F(Channel, UnitUnpluggedBetweenTheCountAndTheReadMakesTheReadFail) {
    ASSERT_TRUE(sim.Plug(3)) << sim.LastError();
    ASSERT_EQ(CountConnectedUnits(slots), 1);
    ASSERT_TRUE(sim.Unplug(3)) << sim.LastError();
    EXPECT_FALSE(ReadDriverSettings(slots, settings));
    CombinedStatus combined;
    EXPECT_FALSE(WriteDriverSettings(slots, settings, combined));
    const SimUnitState state = SettledState(3);
    EXPECT_EQ(state.opens, 1u);
    EXPECT_EQ(state.requests, 0u);
}

TEST_F(Channel, EveryHandleTheChannelOpensIsClosed) {
    for (int unit = 1; unit <= 4; ++unit) ASSERT_TRUE(sim.Plug(unit)) << sim.LastError();
    ASSERT_EQ(CountConnectedUnits(slots), 4);
    ASSERT_TRUE(ReadDriverSettings(slots, settings));
    CombinedStatus combined;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    for (int unit = 1; unit <= 4; ++unit) {
        const SimUnitState state = SettledState(unit);
        EXPECT_EQ(state.closes, state.opens) << unit;
        EXPECT_EQ(state.opens, unit == 1 ? 5u : 3u) << unit;  // count, read (unit 1), write
    }
}

struct CompletionPacket {
    DWORD bytes = 0;
    bool succeeded = false;
};

// Every packet the device handles' completion port holds now, oldest first. The requests
// they name are mostly gone by now: only what the port itself says is read.
std::vector<CompletionPacket> DrainCompletionPort() {
    std::vector<CompletionPacket> packets;
    for (;;) {
        DWORD bytes = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* overlapped = nullptr;
        const BOOL succeeded =
            ::GetQueuedCompletionStatus(DeviceCompletionPort(), &bytes, &key, &overlapped, 0);
        if (overlapped == nullptr) return packets;
        packets.push_back({bytes, succeeded != FALSE});
    }
}

TEST_F(Channel, GetThatNeverCompletesIsCancelledCountedAndTheReadMovesOn) {
    PlugWith(1, Pattern(0x10, 1));
    const SimRecord second = Pattern(0x20, 1);
    PlugWith(2, second);
    ASSERT_TRUE(sim.SetDelay(1, SimControl::kDelayForever)) << sim.LastError();
    const std::size_t abandonedBefore = AbandonedExchangeCount();

    ASSERT_TRUE(ReadDriverSettings(slots, settings));
    EXPECT_EQ(std::memcmp(&settings, second.data(), 324), 0);
    const SimUnitState first = SettledState(1);
    EXPECT_EQ(first.cancelled, 1u);
    EXPECT_EQ(first.closes, first.opens);
    const auto log = LogOf(1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].result, ORVEXSIM_RESULT_CANCELLED);
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore);  // the cancellation gave it back
}

TEST_F(Channel, SetThatRefusesCancellationIsLeftBehindAndItsLateAnswerReachesNobody) {
    PlugWith(1, Pattern(0x10, 1));
    PlugWith(2, Pattern(0x20, 1));
    // Due 2 s after the channel has given up on it for good.
    const DWORD dueMs = kRequestCompletionBoundMs + kCancellationBoundMs + 2000;
    ASSERT_TRUE(sim.SetDelay(1, dueMs)) << sim.LastError();
    ASSERT_TRUE(sim.SetRefuseCancel(1, true)) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(1, {2})) << sim.LastError();
    settings.lightLoad = 1;
    const DriverSettingsPart sentSettings = settings;
    const std::size_t abandonedBefore = AbandonedExchangeCount();
    DrainCompletionPort();

    CombinedStatus combined = CombinedStatus::PowerCycleNeeded;
    ASSERT_TRUE(WriteDriverSettings(slots, settings, combined));
    EXPECT_EQ(combined, CombinedStatus::NothingToReport);  // unit 1's 2 never counted
    EXPECT_EQ(AbandonedExchangeCount(), abandonedBefore + 1);
    const auto first = LogOf(1);
    const auto second = LogOf(2);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].input, Sent(sentSettings, 0));
    EXPECT_EQ(second[0].input, first[0].input);

    // The unit answers into the memory left behind; nothing of it reaches the caller.
    SimUnitState state;
    const ULONGLONG giveUpAt = ::GetTickCount64() + dueMs;
    do {
        ::Sleep(100);
        ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    } while (state.cancelsRefused == 0 && ::GetTickCount64() < giveUpAt);
    EXPECT_EQ(state.cancelsRefused, 1u);
    EXPECT_EQ(state.cancelled, 0u);
    EXPECT_EQ(std::memcmp(&settings, &sentSettings, sizeof settings), 0);
    EXPECT_EQ(LogOf(2).size(), 1u);
    // The handle was tied to the process's completion port, not to this thread: the late
    // answer comes through the port too, last.
    const auto packets = DrainCompletionPort();
    ASSERT_FALSE(packets.empty());
    EXPECT_EQ(packets.back().bytes, 328u);
    EXPECT_TRUE(packets.back().succeeded);
}

}  // namespace
