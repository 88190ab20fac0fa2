#pragma once
// Waiting for the program's next screen while watching for the two ways it can fail without
// showing one: it hangs (no new screen before the time is up), or it crashes. A crash ends the
// process with the exception's code in the project's prefixes, which have Wine's crash dialog
// off (scripts/wine-env.sh); in a prefix with the dialog on, the debugger's crash dialog (a
// window of winedbg.exe) keeps the crashed process alive until that dialog goes.

#include "support/ProgramRun.h"

#include <windows.h>

#include <string>
#include <vector>

enum class WatchOutcome { Screen, Ended, Crashed, TimedOut };

struct WatchResult {
    WatchOutcome outcome = WatchOutcome::TimedOut;
    ProgramScreen screen = ProgramScreen::Nothing;
    HWND window = nullptr;
    std::string detail;  // the crash dialog's title
};

// The next enabled, visible dialog of the program that is not in `seen` and is one of its
// screens; or the end of the process, a crash dialog, or the timeout.
WatchResult WaitForNextScreen(const ProgramRun& program, const std::vector<HWND>& seen,
                              DWORD timeoutMs);

// Visible top-level windows of winedbg.exe processes.
std::vector<HWND> FindCrashDialogs();
// Asks each crash dialog to close and waits a little for it to go.
void DismissCrashDialogs();

// Whether an exit code is one the program ends with by itself (it returns 0; 1 and 2 are
// its dialog results, accepted as well).
bool IsNormalExitCode(DWORD code);

// Plain ASCII for the console; other characters become '?'.
std::string Narrow(const std::wstring& text);
