// Many exchanges in a row through Wine: each one answered and logged exactly once. The test
// also prints the median round trip, for the record; it does not judge the speed.

#include "SimulatedUnits.h"

#include "driver/DeviceRequest.h"
#include "driver/DeviceAccess.h"
#include "driver/DriverChannel.h"
#include "driver/DriverControlCodes.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRounds = 200;

class Timer {
public:
    Timer() { ::QueryPerformanceFrequency(&frequency_); }
    void Start() { ::QueryPerformanceCounter(&start_); }
    double ElapsedMs() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
               static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void Report(const char* what, const std::vector<double>& times) {
    std::printf("[ timing   ] %-40s median %.3f ms over %zu\n", what, Median(times), times.size());
    ::testing::Test::RecordProperty(what, std::to_string(Median(times)));
}

using RoundTrips = SimulatedUnits;

TEST_F(RoundTrips, ControlCallsThroughTheProductionSeamAreEachAnsweredOnce) {
    const SimRecord record = Pattern(0x21, 1);
    PlugWith(1, record);
    ASSERT_TRUE(sim.SetSetStatuses(1, std::vector<std::uint32_t>(64, 2))) << sim.LastError();
    DeviceAccess& access = SystemDeviceAccess();
    HANDLE unit = access.Open(slots.slots[0]);
    ASSERT_NE(unit, INVALID_HANDLE_VALUE);

    Timer timer;
    std::vector<double> gets, sets;
    for (int i = 0; i < kRounds; ++i) {
        DriverSettingsRecord buffer;
        timer.Start();
        DeviceRequest request(&buffer, sizeof buffer);
        const bool ok =
            access.Send(unit, IOCTL_GET_SETTINGS, request) && access.Finish(unit, request);
        std::memcpy(&buffer, request.buffer.data(), sizeof buffer);
        gets.push_back(timer.ElapsedMs());
        ASSERT_TRUE(ok) << i;
        ASSERT_EQ(std::memcmp(&buffer, record.data(), 328), 0) << i;
    }
    for (int i = 0; i < kRounds; ++i) {
        DriverSettingsRecord buffer;
        timer.Start();
        DeviceRequest request(&buffer, sizeof buffer);
        const bool ok =
            access.Send(unit, IOCTL_SET_SETTINGS, request) && access.Finish(unit, request);
        std::memcpy(&buffer, request.buffer.data(), sizeof buffer);
        sets.push_back(timer.ElapsedMs());
        ASSERT_TRUE(ok) << i;
        ASSERT_EQ(buffer.status, i < 64 ? 2u : 0u) << i;
    }
    access.Close(unit);
    Report("one GET (DeviceIoControl + wait)", gets);
    Report("one SET (DeviceIoControl + wait)", sets);

    const auto log = LogOf(1);
    ASSERT_EQ(log.size(), static_cast<std::size_t>(2 * kRounds));
    for (int i = 0; i < 2 * kRounds; ++i) {
        ASSERT_EQ(log[i].sequence, static_cast<DWORD>(i));
        ASSERT_EQ(log[i].code, i < kRounds ? IOCTL_GET_SETTINGS : IOCTL_SET_SETTINGS) << i;
    }
}

TEST_F(RoundTrips, WholeReadsAndWritesRepeatCleanly) {
    const SimRecord record = Pattern(0x42, 1);
    PlugWith(1, record);
    Timer timer;
    std::vector<double> reads, writes;
    for (int i = 0; i < kRounds; ++i) {
        timer.Start();
        const bool ok = ReadDriverSettings(slots, settings);
        reads.push_back(timer.ElapsedMs());
        ASSERT_TRUE(ok) << i;
    }
    // The unit keeps what is written, so each write sends back exactly the read settings.
    for (int i = 0; i < kRounds; ++i) {
        CombinedStatus combined = CombinedStatus::DeviceInUse;
        timer.Start();
        const bool ok = WriteDriverSettings(slots, settings, combined);
        writes.push_back(timer.ElapsedMs());
        ASSERT_TRUE(ok) << i;
        ASSERT_EQ(combined, CombinedStatus::NothingToReport) << i;
    }
    Report("ReadDriverSettings, one unit (2 opens)", reads);
    Report("WriteDriverSettings, one unit (2 opens)", writes);

    const SimUnitState state = SettledState(1);
    EXPECT_EQ(state.requests, static_cast<DWORD>(2 * kRounds));
    EXPECT_EQ(state.opens, static_cast<DWORD>(4 * kRounds));
    EXPECT_EQ(state.closes, state.opens);
    EXPECT_EQ(std::memcmp(state.record.data(), record.data(), 324), 0);
}

}  // namespace
