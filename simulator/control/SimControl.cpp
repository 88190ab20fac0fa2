#include "SimControl.h"

#include "OrvexDevice.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr DWORD kPollMs = 1;

std::wstring Number(unsigned long value) { return std::to_wstring(value); }

std::wstring Win32Error(DWORD error) {
    wchar_t text[256] = {};
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, error, 0, text, static_cast<DWORD>(std::size(text)),
                               nullptr);
    while (n > 0 && (text[n - 1] == L'\n' || text[n - 1] == L'\r' || text[n - 1] == L' '))
        text[--n] = L'\0';
    std::wstring out = L"error " + Number(error);
    if (n > 0) out += L" (" + std::wstring(text) + L")";
    return out;
}

// An event handle from OpenEventW (null when empty), closed once.
struct EventHandle {
    HANDLE handle;
    ~EventHandle() {
        if (handle != nullptr) ::CloseHandle(handle);
    }
};

// "Kzdv041000N", the name of the unit's link among the DOS device names.
std::wstring LinkName(int unit) { return L"Kzdv041000" + Number(static_cast<unsigned long>(unit)); }

}  // namespace

DWORD SimFailBitOf(DWORD code) {
    if (code == ORVEX_IOCTL_GET_SETTINGS) return ORVEXSIM_FAIL_GET;
    if (code == ORVEX_IOCTL_SET_SETTINGS) return ORVEXSIM_FAIL_SET;
    return 0;
}

bool SimControl::Fail(std::wstring message) {
    error_ = std::move(message);
    return false;
}

bool SimControl::Connect() {
    control_.Reset(::CreateFileW(ORVEXSIM_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    if (!control_)
        return Fail(L"the simulated ORVEX driver is not loaded (" ORVEXSIM_CONTROL_PATH
                    L" does not open: " + Win32Error(::GetLastError()) +
                    L"); install it with qs_simulator_install or scripts/orvexsim");
    ORVEXSIM_VERSION_INFO info{};
    if (!Call(IOCTL_ORVEXSIM_GET_VERSION, nullptr, 0, &info, sizeof info, L"its version")) {
        control_.Reset();
        return false;
    }
    if (info.protocolVersion != ORVEXSIM_PROTOCOL_VERSION ||
        info.unitCount != ORVEXSIM_UNIT_COUNT || info.recordSize != ORVEXSIM_RECORD_SIZE) {
        control_.Reset();
        return Fail(L"the loaded simulated driver speaks protocol " +
                    Number(info.protocolVersion) + L", this program " +
                    Number(ORVEXSIM_PROTOCOL_VERSION) + L": install the driver of this build");
    }
    return true;
}

bool SimControl::CheckUnit(int unit) {
    if (unit < 1 || unit > kUnitCount)
        return Fail(L"there is no unit " + std::to_wstring(unit) + L": units are 1 to " +
                    Number(kUnitCount));
    return true;
}

bool SimControl::Call(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                      const wchar_t* what) {
    if (!control_ && !Connect()) return false;
    DWORD returned = 0;
    if (!::DeviceIoControl(control_.Get(), code, const_cast<void*>(in), inSize, out, outSize,
                           &returned, nullptr))
        return Fail(std::wstring(L"the simulator did not take ") + what + L": " +
                    Win32Error(::GetLastError()));
    if (returned != outSize)
        return Fail(std::wstring(L"the simulator answered ") + what + L" with " +
                    Number(returned) + L" bytes instead of " + Number(outSize));
    return true;
}

bool SimControl::SetValue(DWORD code, int unit, DWORD value, const wchar_t* what) {
    if (!CheckUnit(unit)) return false;
    ORVEXSIM_UNIT_VALUE in{static_cast<ULONG>(unit), value};
    return Call(code, &in, sizeof in, nullptr, 0, what);
}

bool SimControl::Reset() {
    return Unblock() && Call(IOCTL_ORVEXSIM_RESET, nullptr, 0, nullptr, 0, L"the reset");
}

bool SimControl::Unblock() {
    const EventHandle unblock{::OpenEventW(EVENT_MODIFY_STATE, FALSE, ORVEXSIM_UNBLOCK_EVENT_NAME)};
    if (unblock.handle == nullptr)
        return Fail(L"the simulator's unblock event does not open: " +
                    Win32Error(::GetLastError()));
    if (!::SetEvent(unblock.handle))
        return Fail(L"the simulator's unblock event was not set: " +
                    Win32Error(::GetLastError()));
    return true;
}

bool SimControl::SetSit(int unit, DWORD code, DWORD ms) {
    if (!CheckUnit(unit)) return false;
    if (SimFailBitOf(code) == 0)
        return Fail(L"control code " + Number(code) + L" is not the ORVEX's GET or SET");
    if (ms > ORVEXSIM_MAX_DELAY_MS && ms != kSitUntilUnblocked)
        return Fail(L"a sitting time is at most " + Number(ORVEXSIM_MAX_DELAY_MS) +
                    L" ms, not " + Number(ms));
    ORVEXSIM_UNIT_SIT in{static_cast<ULONG>(unit), code, ms};
    return Call(IOCTL_ORVEXSIM_SET_SIT, &in, sizeof in, nullptr, 0, L"the sitting time");
}

bool SimControl::LinkExists(int unit) {
    wchar_t target[MAX_PATH];
    return ::QueryDosDeviceW(LinkName(unit).c_str(), target, MAX_PATH) != 0;
}

bool SimControl::WaitForLink(int unit, bool present, DWORD waitMs) {
    const ULONGLONG start = ::GetTickCount64();
    while (LinkExists(unit) != present) {
        if (::GetTickCount64() - start > waitMs)
            return Fail(L"the link of unit " + Number(static_cast<unsigned long>(unit)) +
                        (present ? L" did not appear" : L" did not go") + L" within " +
                        Number(waitMs) + L" ms");
        ::Sleep(kPollMs);
    }
    return true;
}

bool SimControl::Plug(int unit, DWORD waitMs) {
    return SetValue(IOCTL_ORVEXSIM_SET_PRESENT, unit, 1, L"the plug") &&
           WaitForLink(unit, true, waitMs);
}

bool SimControl::Unplug(int unit, DWORD waitMs) {
    return SetValue(IOCTL_ORVEXSIM_SET_PRESENT, unit, 0, L"the unplug") &&
           WaitForLink(unit, false, waitMs);
}

bool SimControl::SetRecord(int unit, const SimRecord& record) {
    return SetRecord(unit, record.data(), record.size());
}

bool SimControl::SetRecord(int unit, const void* bytes, std::size_t size) {
    if (!CheckUnit(unit)) return false;
    if (size != ORVEXSIM_RECORD_SIZE)
        return Fail(L"a record is " + Number(ORVEXSIM_RECORD_SIZE) + L" bytes, not " +
                    Number(static_cast<unsigned long>(size)));
    ORVEXSIM_UNIT_RECORD in{};
    in.unit = static_cast<ULONG>(unit);
    std::memcpy(in.record, bytes, size);
    return Call(IOCTL_ORVEXSIM_SET_RECORD, &in, sizeof in, nullptr, 0, L"the record");
}

bool SimControl::SetGetStatus(int unit, std::uint32_t status) {
    return SetValue(IOCTL_ORVEXSIM_SET_GET_STATUS, unit, status, L"the GET status");
}

bool SimControl::SetSetStatuses(int unit, const std::vector<std::uint32_t>& statuses) {
    if (!CheckUnit(unit)) return false;
    if (statuses.size() > ORVEXSIM_MAX_SET_STATUSES)
        return Fail(L"at most " + Number(ORVEXSIM_MAX_SET_STATUSES) + L" SET statuses, not " +
                    Number(static_cast<unsigned long>(statuses.size())));
    ORVEXSIM_UNIT_STATUSES in{};
    in.unit = static_cast<ULONG>(unit);
    in.count = static_cast<ULONG>(statuses.size());
    for (std::size_t i = 0; i < statuses.size(); ++i) in.statuses[i] = statuses[i];
    return Call(IOCTL_ORVEXSIM_SET_SET_STATUSES, &in, sizeof in, nullptr, 0,
                L"the SET statuses");
}

bool SimControl::SetFailing(int unit, DWORD failMask) {
    if (failMask & ~static_cast<DWORD>(ORVEXSIM_FAIL_ALL))
        return Fail(L"unknown failure bits " + Number(failMask));
    return SetValue(IOCTL_ORVEXSIM_SET_FAILING, unit, failMask, L"the failing codes");
}

bool SimControl::FailCode(int unit, DWORD code, bool fail) {
    const DWORD bit = SimFailBitOf(code);
    if (bit == 0) return Fail(L"control code " + Number(code) + L" is not the ORVEX's GET or SET");
    SimUnitState state;
    if (!ReadState(unit, state)) return false;
    return SetFailing(unit, fail ? (state.failMask | bit) : (state.failMask & ~bit));
}

bool SimControl::SetDelay(int unit, DWORD ms) {
    if (ms > ORVEXSIM_MAX_DELAY_MS && ms != kDelayForever)
        return Fail(L"a delay is at most " + Number(ORVEXSIM_MAX_DELAY_MS) + L" ms, not " +
                    Number(ms));
    return SetValue(IOCTL_ORVEXSIM_SET_DELAY, unit, ms, L"the delay");
}

bool SimControl::SetRefuseCancel(int unit, bool refuse) {
    return SetValue(IOCTL_ORVEXSIM_SET_REFUSE_CANCEL, unit, refuse ? 1 : 0,
                    L"the cancellation setting");
}

bool SimControl::SetAnswerBytes(int unit, DWORD bytes) {
    if (bytes > ORVEXSIM_RECORD_SIZE)
        return Fail(L"an answer is at most " + Number(ORVEXSIM_RECORD_SIZE) + L" bytes, not " +
                    Number(bytes));
    return SetValue(IOCTL_ORVEXSIM_SET_ANSWER_BYTES, unit, bytes, L"the answer length");
}

bool SimControl::ReadState(int unit, SimUnitState& state) {
    if (!CheckUnit(unit)) return false;
    ORVEXSIM_UNIT_VALUE in{static_cast<ULONG>(unit), 0};
    // The request carries its query in and the state out through one buffer.
    union {
        ORVEXSIM_UNIT_VALUE query;
        ORVEXSIM_UNIT_STATE state;
    } buffer{};
    buffer.query = in;
    if (!Call(IOCTL_ORVEXSIM_GET_UNIT, &buffer, sizeof buffer.query, &buffer,
              sizeof buffer.state, L"the unit's state"))
        return false;
    const ORVEXSIM_UNIT_STATE& s = buffer.state;
    state.present = s.present != 0;
    state.opens = s.opens;
    state.closes = s.closes;
    state.sitGetMs = s.sitGetMs;
    state.sitSetMs = s.sitSetMs;
    state.openNow = s.openNow;
    state.requests = s.requests;
    state.failMask = s.failMask;
    state.delayMs = s.delayMs;
    state.answerBytes = s.answerBytes;
    state.refusesCancel = s.refusesCancel != 0;
    state.cancelled = s.cancelled;
    state.cancelsRefused = s.cancelsRefused;
    state.setsAnswered = s.setsAnswered;
    const ULONG count = s.setStatusCount < ORVEXSIM_MAX_SET_STATUSES ? s.setStatusCount
                                                                     : ORVEXSIM_MAX_SET_STATUSES;
    state.setStatuses.assign(s.setStatuses, s.setStatuses + count);
    std::memcpy(state.record.data(), s.record, state.record.size());
    return true;
}

bool SimControl::ReadLog(int unit, std::vector<SimRequest>& log) {
    log.clear();
    SimUnitState state;
    if (!ReadState(unit, state)) return false;
    const DWORD first =
        state.requests > ORVEXSIM_LOG_CAPACITY ? state.requests - ORVEXSIM_LOG_CAPACITY : 0;
    for (DWORD sequence = first; sequence < state.requests; ++sequence) {
        union {
            ORVEXSIM_REQUEST_QUERY query;
            ORVEXSIM_REQUEST request;
        } buffer{};
        buffer.query = {static_cast<ULONG>(unit), sequence};
        if (!Call(IOCTL_ORVEXSIM_GET_REQUEST, &buffer, sizeof buffer.query, &buffer,
                  sizeof buffer.request, L"a logged request"))
            return false;
        const ORVEXSIM_REQUEST& r = buffer.request;
        SimRequest out;
        out.sequence = r.sequence;
        out.code = r.code;
        out.inputLength = r.inputLength;
        out.outputLength = r.outputLength;
        out.result = r.result;
        out.answerBytes = r.answerBytes;
        out.pended = r.pended != 0;
        out.receivedMs = r.receivedMs;
        const DWORD kept = r.inputLength < ORVEXSIM_RECORD_SIZE ? r.inputLength
                                                                : ORVEXSIM_RECORD_SIZE;
        out.input.assign(r.input, r.input + kept);
        log.push_back(std::move(out));
    }
    return true;
}

bool SimControl::WaitForCloses(int unit, SimUnitState& state, DWORD waitMs) {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (!ReadState(unit, state)) return false;
        if (state.openNow == 0) return true;
        if (::GetTickCount64() - start > waitMs)
            return Fail(L"unit " + Number(static_cast<unsigned long>(unit)) + L" still has " +
                        Number(state.openNow) + L" open handles after " + Number(waitMs) +
                        L" ms");
        ::Sleep(kPollMs);
    }
}
