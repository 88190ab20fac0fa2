#include "Commands.h"

#include "OrvexDevice.h"

#include "Arguments.h"
#include "DriverService.h"
#include "Dump.h"
#include "RecordFile.h"
#include "SimControl.h"

#include <cstring>
#include <functional>

namespace {

using Args = std::vector<std::wstring>;

struct Context {
    const Args& args;  // the command's own arguments
    std::wstring& out;
    std::wstring& err;
    SimControl control;
};

struct Command {
    const wchar_t* name;
    const wchar_t* usage;
    std::size_t minArgs;
    std::size_t maxArgs;
    const wchar_t* help;
    int (*run)(Context&);
};

int Usage(Context& c, const std::wstring& message) {
    c.err += L"orvexsim: " + message + L"\n";
    return kExitUsage;
}

int Refused(Context& c, const std::wstring& message) {
    c.err += L"orvexsim: " + message + L"\n";
    return kExitFailed;
}

int Done(Context& c, bool ok) { return ok ? kExitDone : Refused(c, c.control.LastError()); }

// The unit named by the first argument; -1 after reporting a bad one.
int UnitArg(Context& c) {
    int unit = 0;
    std::wstring error;
    if (!ParseUnit(c.args[0].c_str(), unit, error)) {
        Usage(c, error);
        return -1;
    }
    return unit;
}

int Install(Context& c) {
    std::wstring error;
    if (!InstallDriverService(c.args[0], error)) return Refused(c, error);
    c.out += L"orvexsim.sys runs; control device " ORVEXSIM_CONTROL_PATH L" answers\n";
    return kExitDone;
}

int Stop(Context& c) {
    std::wstring error;
    return StopDriverService(error) ? kExitDone : Refused(c, error);
}

int Reset(Context& c) { return Done(c, c.control.Reset()); }

int Plug(Context& c) {
    int unit = UnitArg(c);
    return unit < 0 ? kExitUsage : Done(c, c.control.Plug(unit));
}

int Unplug(Context& c) {
    int unit = UnitArg(c);
    return unit < 0 ? kExitUsage : Done(c, c.control.Unplug(unit));
}

int SetRecord(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    SimRecord record{};
    std::wstring error;
    if (!ReadRecordFile(c.args[1], record, error)) return Usage(c, error);
    return Done(c, c.control.SetRecord(unit, record));
}

int SaveRecord(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    SimUnitState state;
    if (!c.control.ReadState(unit, state)) return Done(c, false);
    std::wstring error;
    return WriteRecordFile(c.args[1], state.record, error) ? kExitDone : Refused(c, error);
}

int SetGetStatus(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    std::uint32_t status = 0;
    if (!ParseNumber(c.args[1].c_str(), 0xFFFFFFFFu, status))
        return Usage(c, L"bad GET status '" + c.args[1] + L"': a number from 0 to 4294967295");
    return Done(c, c.control.SetGetStatus(unit, status));
}

int SetLightLoad(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    std::uint32_t value = 0;
    if (!ParseNumber(c.args[1].c_str(), 1, value))
        return Usage(c, L"light load is 0 or 1, not '" + c.args[1] + L"'");
    SimUnitState state;
    if (!c.control.ReadState(unit, state)) return Done(c, false);
    std::memcpy(state.record.data() + 312, &value, sizeof value);  // lightLoad, little-endian
    return Done(c, c.control.SetRecord(unit, state.record));
}

int SetStatuses(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    std::vector<std::uint32_t> statuses;
    std::wstring error;
    if (!ParseStatusList(Args(c.args.begin() + 1, c.args.end()), statuses, error))
        return Usage(c, error);
    return Done(c, c.control.SetSetStatuses(unit, statuses));
}

int FailCodes(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    std::uint32_t mask = 0;
    std::wstring error;
    if (!ParseFailMask(c.args[1].c_str(), mask, error)) return Usage(c, error);
    return Done(c, c.control.SetFailing(unit, mask));
}

int Delay(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    std::uint32_t ms = SimControl::kDelayForever;
    if (c.args[1] != L"forever" && !ParseNumber(c.args[1].c_str(), ORVEXSIM_MAX_DELAY_MS, ms))
        return Usage(c, L"bad delay '" + c.args[1] + L"': 0 to 60000 ms, or forever");
    return Done(c, c.control.SetDelay(unit, ms));
}

int RefuseCancel(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    const std::wstring& value = c.args[1];
    if (value != L"on" && value != L"off")
        return Usage(c, L"refuse-cancel is on or off, not '" + value + L"'");
    return Done(c, c.control.SetRefuseCancel(unit, value == L"on"));
}

int Sit(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    const std::wstring& which = c.args[1];
    if (which != L"get" && which != L"set")
        return Usage(c, L"sit is on get or set, not '" + which + L"'");
    std::uint32_t ms = SimControl::kSitUntilUnblocked;
    if (c.args[2] != L"unblocked" && !ParseNumber(c.args[2].c_str(), ORVEXSIM_MAX_DELAY_MS, ms))
        return Usage(c, L"bad sitting time '" + c.args[2] + L"': 0 to 60000 ms, or unblocked");
    const DWORD code = which == L"get" ? ORVEX_IOCTL_GET_SETTINGS : ORVEX_IOCTL_SET_SETTINGS;
    return Done(c, c.control.SetSit(unit, code, ms));
}

int Unblock(Context& c) { return Done(c, c.control.Unblock()); }

int AnswerBytes(Context& c) {
    int unit = UnitArg(c);
    if (unit < 0) return kExitUsage;
    std::uint32_t bytes = 0;
    if (!ParseNumber(c.args[1].c_str(), ORVEXSIM_RECORD_SIZE, bytes))
        return Usage(c, L"bad answer length '" + c.args[1] + L"': 0 to 328 bytes");
    return Done(c, c.control.SetAnswerBytes(unit, bytes));
}

// The units the first argument names: one, or all four when there is none.
bool UnitsArg(Context& c, std::vector<int>& units) {
    if (c.args.empty()) {
        for (int u = 1; u <= SimControl::kUnitCount; ++u) units.push_back(u);
        return true;
    }
    int unit = UnitArg(c);
    if (unit < 0) return false;
    units.push_back(unit);
    return true;
}

int Status(Context& c) {
    std::vector<int> units;
    if (!UnitsArg(c, units)) return kExitUsage;
    for (int unit : units) {
        SimUnitState state;
        if (!c.control.ReadState(unit, state)) return Done(c, false);
        c.out += DescribeUnitSummary(unit, state);
    }
    return kExitDone;
}

int Dump(Context& c) {
    std::vector<int> units;
    if (!UnitsArg(c, units)) return kExitUsage;
    for (int unit : units) {
        SimUnitState state;
        std::vector<SimRequest> log;
        if (!c.control.ReadState(unit, state) || !c.control.ReadLog(unit, log))
            return Done(c, false);
        c.out += DescribeUnit(unit, state, log);
    }
    return kExitDone;
}

int Help(Context& c);

const Command kCommands[] = {
    {L"install", L"SYS-PATH", 1, 1,
     L"create (once) and start the driver service for the .sys at this Windows path", Install},
    {L"stop", L"", 0, 0, L"unload the driver, so that its file can be replaced", Stop},
    {L"reset", L"", 0, 0,
     L"all units absent and at their defaults; logs and counters cleared", Reset},
    {L"plug", L"UNIT", 1, 1, L"connect the unit: \\\\.\\Kzdv041000UNIT appears", Plug},
    {L"unplug", L"UNIT", 1, 1, L"disconnect the unit", Unplug},
    {L"set-record", L"UNIT FILE", 2, 2,
     L"the record GET answers: FILE holds exactly 328 bytes, status word at 324", SetRecord},
    {L"save-record", L"UNIT FILE", 2, 2, L"write the unit's stored record to FILE", SaveRecord},
    {L"set-get-status", L"UNIT STATUS", 2, 2, L"the status word GET answers", SetGetStatus},
    {L"set-light-load", L"UNIT 0|1", 2, 2, L"the Light Load word of the stored record",
     SetLightLoad},
    {L"set-statuses", L"UNIT STATUS...", 2, 1 + ORVEXSIM_MAX_SET_STATUSES,
     L"the status of the 1st, 2nd ... SET; later SETs answer 0", SetStatuses},
    {L"fail", L"UNIT get|set|both|none", 2, 2, L"which control codes the unit fails",
     FailCodes},
    {L"delay", L"UNIT MS|forever", 2, 2,
     L"complete each request MS milliseconds late (0: at once; forever: only when cancelled)",
     Delay},
    {L"refuse-cancel", L"UNIT on|off", 2, 2,
     L"on: a pending request ignores cancellation and ends only when due", RefuseCancel},
    {L"sit", L"UNIT get|set MS|unblocked", 3, 3,
     L"the dispatch routine sits MS ms on that code before it answers (unblocked: until "
     L"unblock); the caller cannot cancel it, and the driver's other requests wait",
     Sit},
    {L"unblock", L"", 0, 0, L"every sitting dispatch routine returns now", Unblock},
    {L"answer-bytes", L"UNIT BYTES", 2, 2, L"answer only BYTES of the 328", AnswerBytes},
    {L"status", L"[UNIT]", 0, 1, L"how the units answer and what they counted", Status},
    {L"dump", L"[UNIT]", 0, 1, L"status, stored record and every request received, with bytes",
     Dump},
    {L"help", L"", 0, 0, L"this text", Help},
};

int Help(Context& c) {
    c.out += L"usage: orvexsim COMMAND [ARGUMENTS]   (units are 1 to 4)\n";
    for (const auto& command : kCommands) {
        std::wstring line = L"  " + std::wstring(command.name);
        if (*command.usage) line += L" " + std::wstring(command.usage);
        if (line.size() < 32) line.resize(32, L' ');
        c.out += line + L" " + command.help + L"\n";
    }
    return kExitDone;
}

}  // namespace

int RunCommand(const std::vector<std::wstring>& args, std::wstring& out, std::wstring& err) {
    const std::wstring name = args.empty() ? L"help" : args[0];
    const Args rest(args.empty() ? args.end() : args.begin() + 1, args.end());
    Context context{rest, out, err, SimControl{}};
    for (const auto& command : kCommands) {
        if (name != command.name) continue;
        if (rest.size() < command.minArgs || rest.size() > command.maxArgs)
            return Usage(context, L"usage: orvexsim " + name + L" " + command.usage);
        return command.run(context);
    }
    Usage(context, L"unknown command '" + name + L"'");
    Help(context);
    return kExitUsage;
}
