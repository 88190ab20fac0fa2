// The simulated driver itself: it answers as the ORVEX driver is expected to, refuses what
// is malformed without harming winedevice, and keeps its controls and log straight.

#include "SimulatedUnits.h"

#include "OrvexDevice.h"
#include "SimHandle.h"

#include <windows.h>
#include <winioctl.h>

#include <array>

namespace {

// A manual-reset event, closed when the test is done with it.
struct OwnedEvent {
    HANDLE handle = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OwnedEvent() = default;
    OwnedEvent(const OwnedEvent&) = delete;
    OwnedEvent& operator=(const OwnedEvent&) = delete;
    ~OwnedEvent() {
        if (handle) ::CloseHandle(handle);
    }
};

// A GET sent on an overlapped handle for the unit to hold; the request's memory lives here.
struct HeldGet {
    OwnedEvent done;
    OVERLAPPED overlapped{};
    SimRecord buffer{};

    // True when the unit took the request and holds it.
    bool Send(HANDLE unit) {
        if (!done.handle) return false;
        ::ResetEvent(done.handle);
        overlapped = OVERLAPPED{};
        overlapped.hEvent = done.handle;
        DWORD returned = 0;
        return !::DeviceIoControl(unit, ORVEX_IOCTL_GET_SETTINGS, buffer.data(), 328,
                                  buffer.data(), 328, &returned, &overlapped) &&
               ::GetLastError() == ERROR_IO_PENDING;
    }
    bool WaitForCompletion() const {
        return ::WaitForSingleObject(done.handle, 10000) == WAIT_OBJECT_0;
    }
    bool Succeeded(HANDLE unit) {
        DWORD returned = 0;
        return ::GetOverlappedResult(unit, &overlapped, &returned, FALSE) != FALSE;
    }
};

class Simulator : public SimulatedUnits {
protected:
    static SimHandle OpenUnit(int unit, DWORD flags = 0) {
        return SimHandle(::CreateFileW(slots_[unit - 1], GENERIC_READ | GENERIC_WRITE, 0,
                                       nullptr, OPEN_EXISTING, flags, nullptr));
    }

    // One synchronous control call; false with the error code in *error.
    static bool Call(HANDLE h, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                     DWORD* returned = nullptr, DWORD* error = nullptr) {
        DWORD n = 0;
        BOOL ok = ::DeviceIoControl(h, code, in, inSize, out, outSize, &n, nullptr);
        if (returned) *returned = n;
        if (error) *error = ok ? 0 : ::GetLastError();
        return ok != FALSE;
    }

    // A control request sent as is, past the library's own checks.
    bool RawControl(DWORD code, const void* in, DWORD inSize, DWORD outSize = 0) {
        SimHandle control(::CreateFileW(ORVEXSIM_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(control);
        std::vector<std::uint8_t> buffer(std::max(inSize, outSize) + 16);
        if (in) std::memcpy(buffer.data(), in, inSize);
        return Call(control.Get(), code, buffer.data(), inSize, buffer.data(), outSize);
    }

    static constexpr const wchar_t* slots_[4] = {L"\\\\.\\Kzdv0410001", L"\\\\.\\Kzdv0410002",
                                                 L"\\\\.\\Kzdv0410003", L"\\\\.\\Kzdv0410004"};
};

TEST_F(Simulator, AbsentUnitsDoNotOpenAndPluggedOnesDo) {
    for (int unit = 1; unit <= 4; ++unit) {
        EXPECT_FALSE(OpenUnit(unit)) << unit;
        EXPECT_FALSE(SimControl::LinkExists(unit)) << unit;
    }
    ASSERT_TRUE(sim.Plug(2)) << sim.LastError();
    EXPECT_TRUE(OpenUnit(2));
    EXPECT_FALSE(OpenUnit(1));
    ASSERT_TRUE(sim.Unplug(2)) << sim.LastError();
    EXPECT_FALSE(OpenUnit(2));
}

TEST_F(Simulator, SetKeepsTheSettingsAndGetAnswersThemWithItsOwnStatus) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    ASSERT_TRUE(sim.SetGetStatus(1, 9)) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(1, {3})) << sim.LastError();
    SimHandle unit = OpenUnit(1);
    ASSERT_TRUE(unit);

    SimRecord written = Pattern(0x66, 0xAAAAAAAA);
    SimRecord answer = written;
    DWORD returned = 0;
    ASSERT_TRUE(Call(unit.Get(), ORVEX_IOCTL_SET_SETTINGS, answer.data(), 328, answer.data(), 328,
                     &returned));
    EXPECT_EQ(returned, 328u);
    EXPECT_EQ(std::memcmp(answer.data(), written.data(), 324), 0);
    EXPECT_EQ(answer[324], 3);

    SimRecord read{};
    ASSERT_TRUE(Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, read.data(), 328, read.data(), 328));
    EXPECT_EQ(std::memcmp(read.data(), written.data(), 324), 0);
    EXPECT_EQ(read[324], 9);
}

TEST_F(Simulator, AFailEntryInTheSetSequenceFailsThatSetAndStoresNothing) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    ASSERT_TRUE(sim.SetSetStatuses(1, {1, ORVEXSIM_SET_FAILS, 2})) << sim.LastError();
    SimHandle unit = OpenUnit(1);
    ASSERT_TRUE(unit);

    std::uint32_t answered[3] = {};
    bool succeeded[3] = {};
    for (int i = 0; i < 3; ++i) {
        SimRecord record = Pattern(static_cast<std::uint8_t>(0x10 * (i + 1)), 0);
        succeeded[i] = Call(unit.Get(), ORVEX_IOCTL_SET_SETTINGS, record.data(), 328,
                            record.data(), 328);
        std::memcpy(&answered[i], &record[324], 4);
        if (i == 1) {  // the failed SET stored nothing: the first one's settings stay
            SimUnitState state;
            ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
            const SimRecord first = Pattern(0x10, 0);
            EXPECT_EQ(std::memcmp(state.record.data(), first.data(), 324), 0);
        }
    }
    EXPECT_TRUE(succeeded[0]);
    EXPECT_EQ(answered[0], 1u);
    EXPECT_FALSE(succeeded[1]);
    EXPECT_TRUE(succeeded[2]);
    EXPECT_EQ(answered[2], 2u);

    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    const SimRecord third = Pattern(0x30, 0);
    EXPECT_EQ(std::memcmp(state.record.data(), third.data(), 324), 0);
    EXPECT_EQ(state.setsAnswered, 3u);
}

TEST_F(Simulator, DefaultRecordIsTheShippedImageWithAGoodStatus) {
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    DriverSettingsRecord expected;
    expected.status = 1;
    EXPECT_EQ(std::vector<std::uint8_t>(state.record.begin(), state.record.end()),
              BytesOfRecord(expected));
    EXPECT_EQ(state.answerBytes, 328u);
    EXPECT_TRUE(state.setStatuses.empty());
}

TEST_F(Simulator, MalformedRequestsFailAndAreLoggedAndTheUnitGoesOn) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    SimHandle unit = OpenUnit(1);
    ASSERT_TRUE(unit);
    std::array<std::uint8_t, 512> buffer{};

    EXPECT_FALSE(Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, buffer.data(), 100, buffer.data(), 100));
    EXPECT_FALSE(Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, nullptr, 0, buffer.data(), 328));
    EXPECT_FALSE(Call(unit.Get(), ORVEX_IOCTL_SET_SETTINGS, buffer.data(), 328, buffer.data(), 400));
    EXPECT_FALSE(Call(unit.Get(), ORVEX_IOCTL_SET_SETTINGS, nullptr, 0, nullptr, 0));
    const DWORD unknown = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x87C, METHOD_BUFFERED, FILE_ANY_ACCESS);
    EXPECT_FALSE(Call(unit.Get(), unknown, buffer.data(), 328, buffer.data(), 328));
    const DWORD neither = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x87A, METHOD_NEITHER, FILE_ANY_ACCESS);
    EXPECT_FALSE(Call(unit.Get(), neither, buffer.data(), 328, buffer.data(), 328));
    DWORD moved = 0;
    EXPECT_FALSE(::ReadFile(unit.Get(), buffer.data(), 16, &moved, nullptr));
    EXPECT_FALSE(::WriteFile(unit.Get(), buffer.data(), 16, &moved, nullptr));

    // Still answering, and nothing of the refused SETs was kept or counted.
    SimRecord read{};
    ASSERT_TRUE(Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, read.data(), 328, read.data(), 328));
    EXPECT_EQ(read[324], 1);
    const auto log = LogOf(1);
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[0].inputLength, 100u);
    EXPECT_EQ(log[0].input.size(), 100u);
    EXPECT_EQ(log[4].code, unknown);
    EXPECT_EQ(log[5].code, neither);
    for (int i = 0; i < 6; ++i) EXPECT_LT(log[i].result, 0) << i;
    EXPECT_GE(log[6].result, 0);
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state));
    EXPECT_EQ(state.setsAnswered, 0u);
}

TEST_F(Simulator, HandleOpenedBeforeTheUnplugFailsItsRequests) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    SimHandle unit = OpenUnit(1);
    ASSERT_TRUE(unit);
    ASSERT_TRUE(sim.Unplug(1)) << sim.LastError();
    SimRecord buffer{};
    DWORD error = 0;
    EXPECT_FALSE(Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, buffer.data(), 328, buffer.data(), 328,
                      nullptr, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
}

TEST_F(Simulator, CancelledLateRequestEndsAbortedAndTheDriverGoesOn) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    ASSERT_TRUE(sim.SetDelay(1, SimControl::kDelayForever)) << sim.LastError();
    SimHandle unit = OpenUnit(1, FILE_FLAG_OVERLAPPED);
    ASSERT_TRUE(unit);
    HeldGet get;
    ASSERT_TRUE(get.Send(unit.Get()));
    EXPECT_TRUE(::CancelIoEx(unit.Get(), &get.overlapped));
    ASSERT_TRUE(get.WaitForCompletion());
    EXPECT_FALSE(get.Succeeded(unit.Get()));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    EXPECT_EQ(state.cancelled, 1u);
    EXPECT_EQ(state.cancelsRefused, 0u);
    EXPECT_EQ(LogOf(1).at(0).result, ORVEXSIM_RESULT_CANCELLED);

    ASSERT_TRUE(sim.SetDelay(1, 0)) << sim.LastError();
    SimHandle again = OpenUnit(1);
    ASSERT_TRUE(again);
    SimRecord read{};
    EXPECT_TRUE(Call(again.Get(), ORVEX_IOCTL_GET_SETTINGS, read.data(), 328, read.data(), 328));
}

TEST_F(Simulator, HandleClosedWhileARequestIsLateLeavesTheDriverWhole) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    ASSERT_TRUE(sim.SetDelay(1, 200)) << sim.LastError();
    // The event, the OVERLAPPED and the buffer outlive the handle: the request may still
    // complete into them.
    static HeldGet get;
    {
        SimHandle unit = OpenUnit(1, FILE_FLAG_OVERLAPPED);
        ASSERT_TRUE(unit);
        ASSERT_TRUE(get.Send(unit.Get()));
    }
    EXPECT_TRUE(get.WaitForCompletion());

    ASSERT_TRUE(sim.SetDelay(1, 0)) << sim.LastError();
    SimHandle again = OpenUnit(1);
    ASSERT_TRUE(again);
    SimRecord read{};
    EXPECT_TRUE(Call(again.Get(), ORVEX_IOCTL_GET_SETTINGS, read.data(), 328, read.data(), 328));
    // Wine delivers this handle's IRP_MJ_CLOSE only when the process ends, so its close is
    // not counted here; the next reset stops waiting for it.
}

TEST_F(Simulator, ControlDeviceRefusesBadControls) {
    const ORVEXSIM_UNIT_VALUE noUnit{0, 1};
    const ORVEXSIM_UNIT_VALUE fifthUnit{5, 1};
    const ORVEXSIM_UNIT_VALUE badPresence{1, 2};
    const ORVEXSIM_UNIT_VALUE longDelay{1, ORVEXSIM_MAX_DELAY_MS + 1};
    const ORVEXSIM_UNIT_VALUE longAnswer{1, 329};
    const ORVEXSIM_UNIT_VALUE badFailBits{1, 4};
    const ORVEXSIM_UNIT_VALUE badRefusal{1, 2};
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_PRESENT, &noUnit, sizeof noUnit));
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_PRESENT, &fifthUnit, sizeof fifthUnit));
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_PRESENT, &badPresence, sizeof badPresence));
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_PRESENT, &noUnit, 4));  // truncated
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_DELAY, &longDelay, sizeof longDelay));
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_ANSWER_BYTES, &longAnswer, sizeof longAnswer));
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_FAILING, &badFailBits, sizeof badFailBits));
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_REFUSE_CANCEL, &badRefusal, sizeof badRefusal));
    ORVEXSIM_UNIT_STATUSES tooMany{};
    tooMany.unit = 1;
    tooMany.count = ORVEXSIM_MAX_SET_STATUSES + 1;
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_SET_STATUSES, &tooMany, sizeof tooMany));
    ORVEXSIM_UNIT_RECORD record{};
    record.unit = 1;
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_SET_RECORD, &record, sizeof record - 1));
    const ORVEXSIM_REQUEST_QUERY query{1, 0};
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_GET_REQUEST, &query, sizeof query,
                            sizeof(ORVEXSIM_REQUEST)));  // nothing received yet
    EXPECT_FALSE(RawControl(IOCTL_ORVEXSIM_GET_UNIT, &fifthUnit, sizeof fifthUnit,
                            sizeof(ORVEXSIM_UNIT_STATE)));
    EXPECT_FALSE(RawControl(ORVEXSIM_CONTROL_CODE(0xAFF), nullptr, 0));

    // Nothing of it took effect.
    for (int unit = 1; unit <= 4; ++unit) {
        SimUnitState state;
        ASSERT_TRUE(sim.ReadState(unit, state)) << sim.LastError();
        EXPECT_FALSE(state.present);
        EXPECT_EQ(state.delayMs, 0u);
        EXPECT_EQ(state.answerBytes, 328u);
        EXPECT_FALSE(state.refusesCancel);
        EXPECT_TRUE(state.setStatuses.empty());
    }
}

TEST_F(Simulator, LibraryNamesWhatIsWrongWithAControl) {
    EXPECT_FALSE(sim.Plug(5));
    EXPECT_NE(sim.LastError().find(L"units are 1 to 4"), std::wstring::npos) << sim.LastError();
    const std::vector<std::uint8_t> shortRecord(327);
    EXPECT_FALSE(sim.SetRecord(1, shortRecord.data(), shortRecord.size()));
    EXPECT_NE(sim.LastError().find(L"328"), std::wstring::npos) << sim.LastError();
    EXPECT_FALSE(sim.SetSetStatuses(1, std::vector<std::uint32_t>(65, 1)));
    EXPECT_FALSE(sim.FailCode(1, 0x12345678, true));
    EXPECT_FALSE(sim.SetDelay(1, ORVEXSIM_MAX_DELAY_MS + 1));
    EXPECT_FALSE(sim.SetAnswerBytes(1, 329));
}

TEST_F(Simulator, ResetForgetsEverything) {
    PlugWith(2, Pattern(0x10, 5));
    ASSERT_TRUE(sim.SetSetStatuses(2, {1, 2})) << sim.LastError();
    ASSERT_TRUE(sim.SetFailing(2, ORVEXSIM_FAIL_SET)) << sim.LastError();
    ASSERT_TRUE(sim.SetDelay(2, 5)) << sim.LastError();
    ASSERT_TRUE(sim.SetAnswerBytes(2, 10)) << sim.LastError();
    {
        SimHandle unit = OpenUnit(2);
        ASSERT_TRUE(unit);
        SimRecord buffer{};
        Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, buffer.data(), 328, buffer.data(), 328);
    }
    SettledState(2);
    // A request that would never end by itself: the reset ends it, as cancelled.
    ASSERT_TRUE(sim.SetDelay(2, SimControl::kDelayForever)) << sim.LastError();
    ASSERT_TRUE(sim.SetRefuseCancel(2, true)) << sim.LastError();
    SimHandle held = OpenUnit(2, FILE_FLAG_OVERLAPPED);
    ASSERT_TRUE(held);
    HeldGet get;
    ASSERT_TRUE(get.Send(held.Get()));

    ASSERT_TRUE(sim.Reset()) << sim.LastError();
    ASSERT_TRUE(get.WaitForCompletion());
    EXPECT_FALSE(get.Succeeded(held.Get()));
    held.Reset();
    EXPECT_FALSE(SimControl::LinkExists(2));
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(2, state)) << sim.LastError();
    EXPECT_FALSE(state.present);
    EXPECT_EQ(state.opens, 0u);
    EXPECT_EQ(state.closes, 0u);
    EXPECT_EQ(state.requests, 0u);
    EXPECT_EQ(state.failMask, 0u);
    EXPECT_EQ(state.delayMs, 0u);
    EXPECT_EQ(state.answerBytes, 328u);
    EXPECT_FALSE(state.refusesCancel);
    EXPECT_EQ(state.cancelled, 0u);
    EXPECT_TRUE(state.setStatuses.empty());
    EXPECT_EQ(state.record[324], 1);
    EXPECT_TRUE(LogOf(2).empty());

    // A handle opened before the reset and closed after it is not counted against new opens.
    ASSERT_TRUE(sim.Plug(2)) << sim.LastError();
    SimHandle before = OpenUnit(2);
    ASSERT_TRUE(before);
    ASSERT_TRUE(sim.Reset()) << sim.LastError();
    ASSERT_TRUE(sim.Plug(2)) << sim.LastError();
    before.Reset();
    {
        SimHandle after = OpenUnit(2);
        ASSERT_TRUE(after);
    }
    state = SettledState(2);
    EXPECT_EQ(state.opens, 1u);
    EXPECT_EQ(state.closes, 1u);
}

TEST_F(Simulator, LogKeepsTheNewestRequestsInOrder) {
    ASSERT_TRUE(sim.Plug(1)) << sim.LastError();
    SimHandle unit = OpenUnit(1);
    ASSERT_TRUE(unit);
    constexpr DWORD kSent = ORVEXSIM_LOG_CAPACITY + 6;
    for (DWORD i = 0; i < kSent; ++i) {
        SimRecord buffer{};
        std::memcpy(buffer.data(), &i, sizeof i);  // each request tells its number
        ASSERT_TRUE(Call(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, buffer.data(), 328, buffer.data(),
                         328));
    }
    const auto log = LogOf(1);
    ASSERT_EQ(log.size(), static_cast<std::size_t>(ORVEXSIM_LOG_CAPACITY));
    for (std::size_t k = 0; k < log.size(); ++k) {
        DWORD number = 0;
        std::memcpy(&number, log[k].input.data(), sizeof number);
        ASSERT_EQ(log[k].sequence, k + 6) << k;
        ASSERT_EQ(number, k + 6) << k;
    }
}

}  // namespace
