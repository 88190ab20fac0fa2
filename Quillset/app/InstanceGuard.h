#pragma once
// The single-instance guard: a named mutex whose existence marks a running copy, and the
// search for that copy's window by its title.

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <string>

// The mutex name: the maker's reverse-domain prefix, a full stop and the fixed program file
// name, so that a copy of the executable under another name still shares the guard.
std::wstring BuildInstanceMutexName();

// Whether another copy holds the mutex. Any failure to open it counts as no other copy.
bool IsAnotherCopyRunning(const std::wstring& mutexName);

// Creates the mutex into held, which keeps it in existence. False when the mutex was already
// there: a copy started at the same moment got past IsAnotherCopyRunning too, and got here
// first. A mutex that can't be created at all is no reason to stop; that reports true.
bool CreateInstanceMutex(const std::wstring& mutexName, UniqueHandle& held);

// The program's last step. Windows ends a process only once its threads have left the
// driver, so a thread of it still inside one keeps the process, and with it a mutex held
// until the process ends, after its work is done: a later start would find the mutex but no
// window, and end silently. So after any exchange with a unit was left behind, held is
// closed now; otherwise it is left for the process's end.
void ReleaseIfExchangesAbandoned(UniqueHandle& held);

// What ActivateMatchingWindow looks for.
struct RunningCopySearch {
    const wchar_t* title;
    bool enabledOnly;  // pass over windows that take no input
    bool found;        // set once a window was brought forward
};

// EnumWindows callback. param points to a RunningCopySearch. Shows the first window whose
// text begins with the title (letter case significant) and stops; brings it to the front, or
// the visible, enabled window it owns that was active last over it, such as a message box,
// so that the keyboard reaches a button.
BOOL CALLBACK ActivateMatchingWindow(HWND window, LPARAM param);

// The second-copy course: brings the running copy's window forward. The first window with the
// title that takes input is preferred: after OK, the device-not-connected dialog, which has no
// owner, carries the title too, over the disabled settings dialog.
void ActivateRunningCopyWindow(const std::wstring& title);
