#include "BenchUnit.h"

#include "OrvexDevice.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kBenchUnit = 1;
constexpr std::size_t kLightLoadOffset = 312;

std::int32_t LightLoadOf(const std::vector<std::uint8_t>& input) {
    std::int32_t value = 0;
    if (input.size() >= kLightLoadOffset + sizeof value)
        std::memcpy(&value, input.data() + kLightLoadOffset, sizeof value);
    return value;
}

}  // namespace

bool SameTraffic(const UnitTraffic& a, const UnitTraffic& b) {
    return a.opens == b.opens && a.requests == b.requests && a.gets == b.gets &&
           a.sets == b.sets && a.otherCodes == b.otherCodes &&
           a.otherUnitOpens == b.otherUnitOpens && a.setsKeptLightLoad == b.setsKeptLightLoad;
}

bool BenchUnit::Failed(std::wstring& error) const {
    error = L"simulated driver: " + sim.LastError();
    return false;
}

bool BenchUnit::Prepare(std::wstring& error) {
    if (!sim.Connect() || !sim.Reset()) return Failed(error);
    // The driver's default record (status 1, a good read) with Light Load on.
    SimUnitState state;
    if (!sim.ReadState(kBenchUnit, state)) return Failed(error);
    record = state.record;
    const std::int32_t lightLoad = 1;
    const std::uint32_t status = 1;
    std::memcpy(&record[kLightLoadOffset], &lightLoad, sizeof lightLoad);
    std::memcpy(&record[ORVEXSIM_STATUS_OFFSET], &status, sizeof status);
    if (!sim.SetRecord(kBenchUnit, record) || !sim.Plug(kBenchUnit)) return Failed(error);
    return true;
}

bool BenchUnit::BeginRun(std::wstring& error) {
    if (!sim.SetRecord(kBenchUnit, record)) return Failed(error);
    for (int unit = 1; unit <= SimControl::kUnitCount; ++unit)
        if (!sim.WaitForCloses(unit, before[unit - 1])) return Failed(error);
    return true;
}

bool BenchUnit::EndRun(UnitTraffic& traffic, std::wstring& error) {
    traffic = UnitTraffic{};
    for (int unit = 1; unit <= SimControl::kUnitCount; ++unit) {
        SimUnitState after;
        if (!sim.WaitForCloses(unit, after)) return Failed(error);
        const DWORD opens = after.opens - before[unit - 1].opens;
        if (unit == kBenchUnit) {
            traffic.opens = opens;
            traffic.requests = after.requests - before[unit - 1].requests;
        } else {
            traffic.otherUnitOpens += opens;
        }
    }
    std::vector<SimRequest> log;
    if (!sim.ReadLog(kBenchUnit, log)) return Failed(error);
    const DWORD first = before[kBenchUnit - 1].requests;
    for (const SimRequest& request : log) {
        if (request.sequence < first) continue;
        if (request.code == ORVEX_IOCTL_GET_SETTINGS) {
            ++traffic.gets;
        } else if (request.code == ORVEX_IOCTL_SET_SETTINGS) {
            ++traffic.sets;
            if (request.inputLength != ORVEXSIM_RECORD_SIZE || LightLoadOf(request.input) != 1)
                traffic.setsKeptLightLoad = false;
        } else {
            ++traffic.otherCodes;
        }
    }
    return true;
}
