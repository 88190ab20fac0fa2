#pragma once
// The real program, Kzds0410.exe, started from a test program as a user would start it: which
// of its windows it shows, and when it ends. Every wait is bounded; a program still running
// when its ProgramRun goes away, or starts again, is ended (ChildProcess), so a test that
// fails, or a copy that hangs, leaves nothing behind to fail the later tests.

#include "support/UiAutomation.h"

#include <windows.h>

#include <string>
#include <vector>

enum class ProgramScreen {
    Nothing,     // no window of the program is up (yet)
    Settings,    // the settings dialog, ready for the user
    NoDevice,    // the device-not-connected dialog
    MessageBox,  // a message box over the settings dialog
    Ended,       // the process has ended
};

const char* NameOf(ProgramScreen screen);

struct ShownScreen {
    ProgramScreen screen = ProgramScreen::Nothing;
    HWND window = nullptr;
};

class ProgramRun {
public:
    static constexpr DWORD kWaitMs = 20000;

    // The program under test: the file named by QS_PROGRAM_UNDER_TEST (a Windows path, or an
    // absolute path on the Unix side, which Wine shows on drive Z:), else Kzds0410.exe in this
    // test program's folder.
    static std::wstring ProgramPath();

    ProgramRun() = default;
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Start(const std::wstring& path = ProgramPath(),
               const std::vector<std::wstring>& extraEnvironment = {});
    // Why Start failed, for a test's failure message.
    std::string StartFailure() const { return ::StartFailure(child); }
    DWORD Id() const { return child.id; }
    bool Running() const { return child.Running(); }

    // What the program shows the user at this moment: its one enabled, visible top-level
    // window (a dialog under a nested modal one is disabled and does not count). Windows in
    // `ignore` (ones already dealt with, which may take a moment to go) don't count either.
    ShownScreen Current(const std::vector<HWND>& ignore = {}) const;
    // Waits until the program shows a window not in `ignore`, or ends.
    ShownScreen WaitForScreen(DWORD timeoutMs = kWaitMs,
                              const std::vector<HWND>& ignore = {}) const;
    // Waits for that screen; null when the program shows something else for good or ends.
    HWND WaitFor(ProgramScreen screen, DWORD timeoutMs = kWaitMs) const;
    // Waits until the program waits for the user's input with none pending (WaitForInputIdle);
    // false on timeout, or where the platform cannot tell.
    bool WaitForInputIdle(DWORD timeoutMs = kWaitMs) const;
    // Waits for the process to end; false on timeout.
    bool WaitForExit(DWORD timeoutMs = kWaitMs, DWORD* exitCode = nullptr) const;
    // Whether the process ever showed a top-level window while it was watched with this.
    // Polls until the process ends or timeoutMs passes; false when it did not end.
    bool EndsWithoutAWindow(DWORD timeoutMs, bool& showedWindow) const;

private:
    ChildProcess child;
};

// Which of the program's screens a top-level window is.
ProgramScreen ClassifyWindow(HWND window);
