#pragma once
// One run of a dialog program as a user sees it: started, its dialog ready, OK clicked, the
// process gone. Times come from the performance counter; memory is what Wine reports for
// the child process. Every wait is bounded; a process left running after a failed run is
// ended before MeasureDialogRun returns.

#include "framework/StepMarks.h"

#include <windows.h>

#include <array>
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

// The program's own stamps of its steps (framework/StepMarks.h), in milliseconds from just
// before CreateProcessW; a step the program did not stamp is negative.
struct StepFigures {
    std::array<double, static_cast<std::size_t>(StepMark::Count)> atMs{};
    // [span][0] before OK, [1] from OK on.
    std::array<std::array<double, 2>, static_cast<std::size_t>(StepSpan::Count)> spentMs{};
    std::array<std::array<long long, 2>, static_cast<std::size_t>(StepSpan::Count)> spans{};
};

struct RunFigures {
    double startToReadyMs = 0;  // from just before CreateProcessW to the ready dialog
    double okToExitMs = 0;      // from posting BM_CLICK on OK to the process handle signalled
    double clickedMs = 0;       // when OK was posted, from just before CreateProcessW
    StepFigures steps;
    MemoryFigures beforeOk;     // read once the dialog was ready
    MemoryFigures afterExit;    // read once the process had ended
    std::vector<std::wstring> modules;  // the file names loaded once the dialog was ready
    DWORD exitCode = 0;
};

// How often the readiness of the dialog is polled.
inline constexpr DWORD kReadyPollMs = 1;

bool MeasureDialogRun(const DialogProgram& program, RunFigures& figures, std::wstring& error);
