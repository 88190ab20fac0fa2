#pragma once
// One run of a dialog program as a user sees it: started, its dialog ready, OK clicked, the
// process gone. Times come from the performance counter; memory is what Wine reports for
// the child process. Every wait is bounded; a process left running after a failed run is
// ended before MeasureDialogRun returns.

#include <windows.h>

#include <string>
#include <vector>

enum class Readiness {
    NotYet,  // not the awaited window, or not ready yet
    Ready,   // the window the user waits for
    Wrong,   // the program shows something else: the run has failed
};

// Looks at one visible top-level dialog window of the child process; sets why when Wrong.
using ReadinessTest = Readiness (*)(HWND window, std::wstring& why);

// The program's settings dialog, enabled, with "Light Load" (control 1000) checked.
Readiness SettingsDialogReady(HWND window, std::wstring& why);
// The baseline's dialog, enabled, with its OK button.
Readiness BaselineDialogReady(HWND window, std::wstring& why);

struct DialogProgram {
    std::wstring name;  // for messages and the results file
    std::wstring path;
    ReadinessTest ready = nullptr;
};

struct MemoryFigures {
    bool known = false;  // the call succeeded
    SIZE_T peakWorkingSet = 0;
    SIZE_T workingSet = 0;
    SIZE_T pagefileUsage = 0;
    SIZE_T peakPagefileUsage = 0;
    SIZE_T privateBytes = 0;  // PrivateUsage
};

struct RunFigures {
    double startToReadyMs = 0;  // from just before CreateProcessW to the ready dialog
    double okToExitMs = 0;      // from posting BM_CLICK on OK to the process handle signalled
    MemoryFigures beforeOk;     // read once the dialog was ready
    MemoryFigures afterExit;    // read once the process had ended
    std::vector<std::wstring> modules;  // the file names loaded once the dialog was ready
    DWORD exitCode = 0;
};

// How often the readiness of the dialog is polled.
inline constexpr DWORD kReadyPollMs = 1;

bool MeasureDialogRun(const DialogProgram& program, RunFigures& figures, std::wstring& error);
