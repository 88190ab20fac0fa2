// orvexsim.exe as a developer or a script uses it: commands change the simulator, bad
// arguments are refused with a message and a nonzero exit, dump shows what a unit received.

#include "SimulatedUnits.h"

#include "OrvexDevice.h"
#include "SimHandle.h"

#include <windows.h>

#include <string>

namespace {

struct ToolRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

std::wstring ToolPath() {
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n < MAX_PATH ? n : 0);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"orvexsim.exe";
}

// Reads one pipe to its end on a thread of its own, so neither pipe can fill and block.
DWORD WINAPI Drain(void* context) {
    auto* job = static_cast<std::pair<HANDLE, std::string*>*>(context);
    char chunk[4096];
    DWORD n = 0;
    while (::ReadFile(job->first, chunk, sizeof chunk, &n, nullptr) && n > 0)
        job->second->append(chunk, n);
    return 0;
}

class OwnedHandle {  // for pipes, threads and processes (NULL when empty)
public:
    HANDLE h = nullptr;
    OwnedHandle() = default;
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { Close(); }
    void Close() {
        if (h) ::CloseHandle(h);
        h = nullptr;
    }
};

ToolRun RunTool(const std::wstring& arguments) {
    ToolRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    OwnedHandle outRead, outWrite, errRead, errWrite;
    if (!::CreatePipe(&outRead.h, &outWrite.h, &inherit, 0) ||
        !::CreatePipe(&errRead.h, &errWrite.h, &inherit, 0))
        return run;
    ::SetHandleInformation(outRead.h, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead.h, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite.h;
    startup.hStdError = errWrite.h;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + ToolPath() + L"\" " + arguments;
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process))
        return run;
    OwnedHandle processHandle, threadHandle;
    processHandle.h = process.hProcess;
    threadHandle.h = process.hThread;
    outWrite.Close();
    errWrite.Close();

    std::pair<HANDLE, std::string*> outJob{outRead.h, &run.out}, errJob{errRead.h, &run.err};
    OwnedHandle outThread, errThread;
    outThread.h = ::CreateThread(nullptr, 0, Drain, &outJob, 0, nullptr);
    errThread.h = ::CreateThread(nullptr, 0, Drain, &errJob, 0, nullptr);
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 0xFFFFFFFF);
        ::WaitForSingleObject(process.hProcess, 10000);
    }
    if (outThread.h) ::WaitForSingleObject(outThread.h, 10000);
    if (errThread.h) ::WaitForSingleObject(errThread.h, 10000);
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    return run;
}

// A file in the temporary folder, removed again at the end of the test.
class TempFile {
public:
    explicit TempFile(std::size_t size, std::uint8_t fill = 0) {
        wchar_t folder[MAX_PATH];
        wchar_t name[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        ::GetTempFileNameW(folder, L"osr", 0, name);
        path_ = name;
        SimHandle file(::CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string bytes(size, static_cast<char>(fill));
        DWORD written = 0;
        if (file) ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    }
    ~TempFile() { ::DeleteFileW(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::wstring Quoted() const { return L"\"" + path_ + L"\""; }

private:
    std::wstring path_;
};

using Orvexsim = SimulatedUnits;

TEST_F(Orvexsim, RefusesBadArgumentsWithAMessageAndExitCodeTwo) {
    TempFile shortRecord(327);
    const struct {
        const wchar_t* arguments;
        const char* message;
    } cases[] = {
        {L"plug 5", "unknown unit '5'"},
        {L"plug 0", "unknown unit '0'"},
        {L"plug one", "unknown unit 'one'"},
        {L"set-statuses 1 1 x", "bad SET status 'x'"},
        {L"set-statuses 1 -1", "bad SET status '-1'"},
        {L"set-statuses 1 4294967296", "bad SET status"},
        {L"set-statuses 1 4294967295", "bad SET status"},
        {L"set-statuses 1", "usage: orvexsim set-statuses"},
        {L"fail 1 sometimes", "unknown control code 'sometimes'"},
        {L"delay 1 60001", "bad delay"},
        {L"delay 1 never", "bad delay"},
        {L"refuse-cancel 1 yes", "refuse-cancel is on or off"},
        {L"answer-bytes 1 329", "bad answer length"},
        {L"frobnicate", "unknown command 'frobnicate'"},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.exitCode, 2u) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
    }
    const ToolRun run = RunTool(L"set-record 1 " + shortRecord.Quoted());
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find("must be exactly 328 bytes, it has 327"), std::string::npos) << run.err;

    // None of it changed anything.
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    EXPECT_FALSE(state.present);
    EXPECT_EQ(state.record[0], 0);
    EXPECT_TRUE(state.setStatuses.empty());
}

TEST_F(Orvexsim, CommandsChangeTheUnitsAndDumpShowsWhatTheyReceived) {
    TempFile record(328, 0xAB);
    EXPECT_EQ(RunTool(L"plug 2").exitCode, 0u);
    EXPECT_EQ(RunTool(L"set-record 2 " + record.Quoted()).exitCode, 0u);
    EXPECT_EQ(RunTool(L"set-get-status 2 7").exitCode, 0u);
    EXPECT_EQ(RunTool(L"set-statuses 2 1 2 fail 0x3").exitCode, 0u);
    EXPECT_EQ(RunTool(L"fail 2 set").exitCode, 0u);
    EXPECT_EQ(RunTool(L"answer-bytes 2 300").exitCode, 0u);
    EXPECT_EQ(RunTool(L"refuse-cancel 2 on").exitCode, 0u);
    EXPECT_EQ(RunTool(L"delay 2 forever").exitCode, 0u);

    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(2, state)) << sim.LastError();
    EXPECT_TRUE(state.present);
    EXPECT_TRUE(SimControl::LinkExists(2));
    EXPECT_EQ(state.record[0], 0xAB);
    EXPECT_EQ(state.record[324], 7);
    EXPECT_EQ(state.setStatuses, (std::vector<std::uint32_t>{1, 2, ORVEXSIM_SET_FAILS, 3}));
    EXPECT_EQ(state.failMask, static_cast<DWORD>(ORVEXSIM_FAIL_SET));
    EXPECT_EQ(state.answerBytes, 300u);
    EXPECT_TRUE(state.refusesCancel);
    EXPECT_EQ(state.delayMs, SimControl::kDelayForever);
    ASSERT_TRUE(sim.SetDelay(2, 0)) << sim.LastError();

    {
        SimHandle unit(::CreateFileW(L"\\\\.\\Kzdv0410002", GENERIC_READ | GENERIC_WRITE, 0,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(unit);
        SimRecord buffer{};
        buffer[0] = 0x5A;
        DWORD returned = 0;
        ASSERT_TRUE(::DeviceIoControl(unit.Get(), ORVEX_IOCTL_GET_SETTINGS, buffer.data(), 328,
                                      buffer.data(), 328, &returned, nullptr));
    }
    SettledState(2);
    const ToolRun dump = RunTool(L"dump 2");
    EXPECT_EQ(dump.exitCode, 0u) << dump.err;
    EXPECT_NE(dump.out.find("unit 2: present"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("opens 1, closes 1"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("GET status 7"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("SET statuses: 1 2 fail 3"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("cancellation refused; cancelled 0, cancel refused 0"),
              std::string::npos)
        << dump.out;
    EXPECT_NE(dump.out.find("request #0 GET 0x002221E8 in 328 out 328 -> ok, 300 bytes"),
              std::string::npos)
        << dump.out;
    EXPECT_NE(dump.out.find("    0000: 5A 00 00"), std::string::npos) << dump.out;

    EXPECT_EQ(RunTool(L"unplug 2").exitCode, 0u);
    EXPECT_FALSE(SimControl::LinkExists(2));
}

TEST_F(Orvexsim, SaveRecordWritesWhatSetRecordTook) {
    TempFile in(328, 0x3C);
    TempFile out(0);
    ASSERT_EQ(RunTool(L"set-record 4 " + in.Quoted()).exitCode, 0u);
    ASSERT_EQ(RunTool(L"set-light-load 4 1").exitCode, 0u);
    const ToolRun saved = RunTool(L"save-record 4 " + out.Quoted());
    ASSERT_EQ(saved.exitCode, 0u) << saved.err;
    // Reading the saved file back through set-record gives the same stored record.
    ASSERT_TRUE(sim.Reset()) << sim.LastError();
    ASSERT_EQ(RunTool(L"set-record 4 " + out.Quoted()).exitCode, 0u);
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(4, state)) << sim.LastError();
    EXPECT_EQ(state.record[0], 0x3C);
    EXPECT_EQ(state.record[312], 1);
    EXPECT_EQ(state.record[313], 0);
    EXPECT_EQ(state.record[327], 0x3C);
}

}  // namespace
