#pragma once
// Drives the simulated ORVEX driver from a Windows program: plugs and unplugs units, scripts
// how they answer and reads back what they received. Units are numbered 1 to 4; unit N is
// the device object \\.\Kzdv041000N (the channel's slot N - 1). Every operation returns
// false on failure and LastError() then says why, in words fit for a person.

#include <windows.h>
#include <winioctl.h>

#include "OrvexSimProtocol.h"
#include "SimHandle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using SimRecord = std::array<std::uint8_t, ORVEXSIM_RECORD_SIZE>;

// One device control request as a unit received it.
struct SimRequest {
    DWORD sequence = 0;      // 0 for the first request since the last reset
    DWORD code = 0;
    DWORD inputLength = 0;
    DWORD outputLength = 0;
    LONG result = 0;         // NTSTATUS the request completed with
    DWORD answerBytes = 0;   // bytes answered on success
    bool pended = false;     // completed late
    DWORD receivedMs = 0;    // when it arrived; only differences between requests count
    std::vector<std::uint8_t> input;  // the bytes sent, at most 328
};

struct SimUnitState {
    bool present = false;
    DWORD opens = 0;         // since the last reset
    DWORD closes = 0;        // of those opens; may lag CloseHandle, see WaitForCloses
    DWORD openNow = 0;       // opens since the last reset not closed yet
    DWORD requests = 0;      // device control requests since the last reset
    DWORD failMask = 0;      // ORVEXSIM_FAIL_* bits
    DWORD delayMs = 0;       // SimControl::kDelayForever: until cancelled
    DWORD answerBytes = 0;
    bool refusesCancel = false;
    DWORD cancelled = 0;       // pending requests cancelled since the last reset
    DWORD cancelsRefused = 0;  // asked to cancel, refused, ended when due
    DWORD setsAnswered = 0;
    std::vector<std::uint32_t> setStatuses;
    SimRecord record{};      // what GET answers, status word at 324
    DWORD sitGetMs = 0;      // how long the dispatch routine sits on a GET, on a SET
    DWORD sitSetMs = 0;
};

class SimControl {
public:
    static constexpr int kUnitCount = ORVEXSIM_UNIT_COUNT;
    static constexpr DWORD kDefaultWaitMs = 5000;
    static constexpr DWORD kDelayForever = ORVEXSIM_DELAY_FOREVER;
    static constexpr DWORD kSitUntilUnblocked = ORVEXSIM_SIT_UNTIL_UNBLOCKED;

    // Opens the control device and checks that the loaded driver speaks this protocol.
    bool Connect();
    bool IsConnected() const { return static_cast<bool>(control_); }

    // Every unit absent, default record (status 1), no SET statuses, no failures, no delay,
    // no sitting, full answers, cancellable; pending requests completed as cancelled; logs and
    // counters cleared. A dispatch routine still sitting is unblocked first.
    bool Reset();

    // Return once the unit's \DosDevices link is really there (or gone), waiting at most
    // waitMs for it.
    bool Plug(int unit, DWORD waitMs = kDefaultWaitMs);
    bool Unplug(int unit, DWORD waitMs = kDefaultWaitMs);

    // The record GET answers, status word included; the size must be 328.
    bool SetRecord(int unit, const SimRecord& record);
    bool SetRecord(int unit, const void* bytes, std::size_t size);
    bool SetGetStatus(int unit, std::uint32_t status);
    // The status of the 1st, 2nd ... SET from now on; SETs after the last answer 0. An entry
    // ORVEXSIM_SET_FAILS fails that SET.
    bool SetSetStatuses(int unit, const std::vector<std::uint32_t>& statuses);
    // ORVEXSIM_FAIL_GET, ORVEXSIM_FAIL_SET or both: those codes fail at the unit.
    bool SetFailing(int unit, DWORD failMask);
    // Fails (or stops failing) one of the two control codes, keeping the other as it is.
    bool FailCode(int unit, DWORD code, bool fail);
    // Each request stays pending this long before it completes; 0 completes at once,
    // kDelayForever only when it is cancelled.
    bool SetDelay(int unit, DWORD ms);
    // A unit that refuses cancellation ends a pending request only when it is due.
    bool SetRefuseCancel(int unit, bool refuse);
    // The unit's dispatch routine sits this long on code (the ORVEX's GET or SET) before it
    // answers: 0 not at all, kSitUntilUnblocked until Unblock (a minute at most). Wine runs
    // the driver's dispatch routines on one thread: meanwhile every other request to the
    // driver, this object's included, waits behind it.
    bool SetSit(int unit, DWORD code, DWORD ms);
    // Lets every sitting dispatch routine return now. Sends no request, so it works while
    // one sits; the next SetSit or Reset makes them sit again.
    bool Unblock();
    // GET and SET answer this many bytes, 0 to 328.
    bool SetAnswerBytes(int unit, DWORD bytes);

    bool ReadState(int unit, SimUnitState& state);
    // The unit's requests in order of arrival; the oldest are dropped past 1024.
    bool ReadLog(int unit, std::vector<SimRequest>& log);
    // Waits (at most waitMs) until every handle opened on the unit has been closed in the
    // driver too, then reads the state.
    bool WaitForCloses(int unit, SimUnitState& state, DWORD waitMs = kDefaultWaitMs);

    // Whether \\.\Kzdv041000N currently names a device, without opening it.
    static bool LinkExists(int unit);

    const std::wstring& LastError() const { return error_; }

private:
    bool CheckUnit(int unit);
    bool Call(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
              const wchar_t* what);
    bool SetValue(DWORD code, int unit, DWORD value, const wchar_t* what);
    bool WaitForLink(int unit, bool present, DWORD waitMs);
    bool Fail(std::wstring message);

    SimHandle control_;
    std::wstring error_;
};

// Whether code is one of the ORVEX's two control codes; the fail bit it maps to, else 0.
DWORD SimFailBitOf(DWORD code);
