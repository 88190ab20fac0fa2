#pragma once
// Ground for the end-to-end tests: the real Kzds0410.exe under Wine, against the simulated
// driver, with the driver installer's registry key in place, driven from this test program
// as a user would drive it. Unit N of the simulator is the program's slot N - 1.

#include "SimControl.h"
#include "res/resource.h"
#include "support/DriverKeyFixture.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// A text as plain ASCII for failure messages.
inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

class ProgramTest : public ::testing::Test {
protected:
    static constexpr wchar_t kVersion[] = L"1.4.2";
    static constexpr wchar_t kCopyright[] = L"Copyright (C) 2026 Quillmere Audio";
    static constexpr wchar_t kReadme[] = L"Readme\\Readme_EN.htm";

    void SetUp() override {
        // Unblocks first: a routine an earlier test left sitting would hold any request.
        ASSERT_TRUE(sim.Reset()) << sim.LastError();
        ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
        ASSERT_TRUE(key.SetText(L"version", kVersion));
        ASSERT_TRUE(key.SetText(L"copyright", kCopyright));
    }

    // A recognisable record: bytes 0 to 323 differ from unit to unit and from the default
    // image, lightLoad and the status word as given.
    static SimRecord Record(std::uint8_t seed, std::int32_t lightLoad, std::uint32_t status = 1) {
        SimRecord r{};
        for (std::size_t i = 0; i < 324; ++i)
            r[i] = static_cast<std::uint8_t>(seed + i * 13 + (i >> 3));
        std::memcpy(&r[312], &lightLoad, sizeof lightLoad);
        std::memcpy(&r[324], &status, sizeof status);
        return r;
    }

    // The 328 bytes a unit receives when it is the first written after `read` was read:
    // the settings as read, lightLoad as the check box left it, the status word 0.
    static std::vector<std::uint8_t> FirstWrite(const SimRecord& read, std::int32_t lightLoad) {
        std::vector<std::uint8_t> bytes(read.begin(), read.end());
        std::memcpy(&bytes[312], &lightLoad, sizeof lightLoad);
        std::memset(&bytes[324], 0, 4);
        return bytes;
    }

    // What a later unit receives: the previous unit's answer, its status word included.
    static std::vector<std::uint8_t> WithStatus(std::vector<std::uint8_t> bytes,
                                                std::uint32_t status) {
        std::memcpy(&bytes[324], &status, sizeof status);
        return bytes;
    }

    void Plug(int unit, const SimRecord& record,
              const std::vector<std::uint32_t>& setStatuses = {}) {
        ASSERT_TRUE(sim.SetRecord(unit, record)) << sim.LastError();
        if (!setStatuses.empty()) {
            ASSERT_TRUE(sim.SetSetStatuses(unit, setStatuses)) << sim.LastError();
        }
        ASSERT_TRUE(sim.Plug(unit)) << sim.LastError();
    }

    std::vector<SimRequest> Requests(int unit, DWORD code) {
        std::vector<SimRequest> log, matching;
        EXPECT_TRUE(sim.ReadLog(unit, log)) << sim.LastError();
        for (auto& request : log)
            if (request.code == code) matching.push_back(request);
        return matching;
    }
    std::vector<SimRequest> Reads(int unit) { return Requests(unit, 0x002221E8); }
    std::vector<SimRequest> Writes(int unit) { return Requests(unit, 0x002221EC); }

    // The bytes of every write the unit received, in order.
    std::vector<std::vector<std::uint8_t>> WrittenBytes(int unit) {
        std::vector<std::vector<std::uint8_t>> bytes;
        for (const auto& request : Writes(unit)) bytes.push_back(request.input);
        return bytes;
    }

    // Starts the program and waits for its settings dialog.
    HWND StartToSettings() {
        if (!program.Start()) {
            ADD_FAILURE() << "Kzds0410.exe did not start: " << program.StartFailure();
            return nullptr;
        }
        return ExpectScreen(ProgramScreen::Settings);
    }

    // Waits for the next screen, one not shown before, and checks that it is the one
    // expected.
    HWND ExpectScreen(ProgramScreen expected) { return ExpectScreen(program, expected); }
    HWND ExpectScreen(const ProgramRun& run, ProgramScreen expected) {
        const ShownScreen shown = run.WaitForScreen(ProgramRun::kWaitMs, seen);
        EXPECT_EQ(shown.screen, expected)
            << "expected " << NameOf(expected) << ", saw " << NameOf(shown.screen) << " \""
            << Narrow(WindowText(shown.window)) << "\"";
        if (shown.window) {
            seen.push_back(shown.window);
            // A dialog shows while its initialisation still runs; once a message sent to it
            // returns, the program waits for the user in its message loop.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(shown.window, WM_NULL, 0, 0, SMTO_NORMAL, ProgramRun::kWaitMs,
                                &ignored);
        }
        return shown.screen == expected ? shown.window : nullptr;
    }

    // The program must end by itself now, showing nothing new.
    void ExpectEndsQuietly() { ExpectEndsQuietly(program); }
    void ExpectEndsQuietly(const ProgramRun& run) {
        const ShownScreen shown = run.WaitForScreen(ProgramRun::kWaitMs, seen);
        EXPECT_EQ(shown.screen, ProgramScreen::Ended)
            << "saw " << NameOf(shown.screen) << " \"" << Narrow(WindowText(shown.window)) << "\"";
        DWORD exitCode = 0xFFFFFFFF;
        EXPECT_TRUE(run.WaitForExit(ProgramRun::kWaitMs, &exitCode));
        // The program sets no status of its own; anything else is a crash.
        EXPECT_EQ(exitCode, 0u);
    }

    // Closes a message box or the device-not-connected dialog with its OK button.
    void PressOk(HWND window) { ClickButton(window, IDOK); }

    // The window reads its messages: a message sent to it is answered within a second, and
    // Windows does not count it as hung ("Not Responding").
    static void ExpectAnswering(HWND window) {
        DWORD_PTR ignored = 0;
        EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0);
        EXPECT_FALSE(IsHungAppWindow(window));
    }

    // Whether the window shows the wait cursor, as a busy dialog does: it answers
    // WM_SETCURSOR itself with TRUE. Otherwise the platform's handling answers, for the
    // caption asked about here, with the cursor that its arrow replaced.
    static bool ShowsWaitCursor(HWND window) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                            MAKELPARAM(HTCAPTION, WM_MOUSEMOVE), SMTO_NORMAL, 1000, &answer);
        return answer == TRUE;
    }

    // Whether the window lets a logoff go ahead.
    static bool AllowsLogoff(HWND window) {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 1000,
                                   &answer) != 0 &&
               answer != 0;
    }

    // As an "enable it" tool or an automation script would: the window enabled from outside,
    // then OK posted, clicked and sent to it.
    static void EnableAndPressOkFromOutside(HWND dialog) {
        EnableWindow(dialog, TRUE);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 1000, &answer);
        SendMessageTimeoutW(dialog, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 1000, &answer);
    }

    // Any other message, such as a command or the close request, likewise sent to it.
    static void EnableAndSendFromOutside(HWND dialog, UINT message, WPARAM wParam) {
        EnableWindow(dialog, TRUE);
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(dialog, message, wParam, 0, SMTO_NORMAL, ProgramRun::kWaitMs, &answer);
    }

    static void SleepUntil(ULONGLONG tick) {
        while (GetTickCount64() < tick) Sleep(20);
    }

    static LRESULT CheckState(HWND dialog) {
        return SendMessageW(GetDlgItem(dialog, IDC_LIGHT_LOAD), BM_GETCHECK, 0, 0);
    }

    SimControl sim;
    DriverKeyFixture key;
    TemporaryFolder folder;
    ProgramRun program;
    std::vector<HWND> seen;  // the program's windows the test has dealt with
};

