#pragma once
// When each step of a run began, for the benchmark (scripts/bench), which times the program's
// start and its OK from outside and wants to know where that time goes. The benchmark leaves a
// block of shared memory named after the process's id before the process runs its first
// instruction; each step's first start is stamped there with the performance counter, and a
// few spans that recur (the exchanges with the units) are summed there. In a user's run there
// is no such block: OpenStepMarks looks for it once (one OpenFileMappingW that fails), and
// every mark after that costs a look at a pointer.

#include <windows.h>

#include <cstddef>
#include <cstdint>

// In the order a run reaches them. Programs that skip a step leave its stamp 0.
enum class StepMark : std::uint32_t {
    EntryBegins,        // the process's first instruction of its own
    HardeningDone,      // library search restricted and stack guard set; the C runtime starts
    WinMainBegins,      // the C runtime has started
    StartUpBegins,      // the application object's start-up, its title loaded
    CommonControlsDone,
    MutexDone,          // the single-instance guard passed
    DialogBegins,       // the dialog is made from its template
    InitDialogBegins,   // its controls exist; its initialisation begins
    IconSet,            // and its first data exchange done
    UnitsCounted,
    SettingsRead,
    DriverInfoShown,    // the title, the version and the copyright
    TextsSet,           // the controls' captions
    OwnInitDone,        // the check box set and the README button's state
    InitDialogDone,     // placed on the screen
    OkBegins,
    WritesDone,
    DialogEnding,       // EndDialog called
    DialogEnded,        // the modal run has returned, the window destroyed
    WorkerEnded,        // the idle worker told to leave
    ProcessEnds,        // the program's code is done; the C runtime and Windows end it
    Count
};

// Time summed over many short stretches, apart for the start (before OK) and for OK.
enum class StepSpan : std::uint32_t {
    Exchanges,      // the caller's side of every exchange with a unit, bounds and waits included
    DeviceSteps,    // the worker's side: the device calls themselves
    WorkerStarts,   // making worker threads
    Count
};

inline constexpr std::uint32_t kStepMarksVersion = 1;

struct StepMarksBlock {
    std::uint32_t version;  // kStepMarksVersion, set by the benchmark
    std::uint32_t reserved;
    std::int64_t at[static_cast<std::size_t>(StepMark::Count)];  // counter at the first start; 0: never
    // Summed counter ticks and how many stretches were summed: [span][0] at start, [1] at OK.
    std::int64_t spent[static_cast<std::size_t>(StepSpan::Count)][2];
    std::int64_t spans[static_cast<std::size_t>(StepSpan::Count)][2];
};

// The block's name for a process: "Local\Quillset.StepMarks.<process id>".
void StepMarksName(DWORD processId, wchar_t (&name)[48]);

// Looks for the benchmark's block once, from the process's entry, before any other thread
// runs. The view stays mapped until the process ends, like the mutex.
void OpenStepMarks();

// Whether the benchmark asked for marks.
bool StepMarksWanted();
void MarkStep(StepMark step);
// The same, with a counter read earlier (StepCounter's, or the entry's own before the block
// was looked for).
void MarkStepAt(StepMark step, std::int64_t counter);
// The performance counter now, when marks are wanted (0 otherwise).
std::int64_t StepCounter();
// Adds the time since from (a StepCounter value) to span, from any thread.
void AddSpan(StepSpan span, std::int64_t from);
