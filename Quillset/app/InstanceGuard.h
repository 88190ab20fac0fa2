#pragma once
// The single-instance guard: a named mutex whose existence marks a running copy, and the
// search for that copy's window by its title.

#include <windows.h>

#include <string>

// The mutex name: the maker's reverse-domain prefix, a full stop and the fixed program file
// name, so that a copy of the executable under another name still shares the guard.
std::wstring BuildInstanceMutexName();

// EnumWindows callback. param points to the title's wide characters. Brings the first window
// whose text begins with the title (letter case significant) to the front and stops.
BOOL CALLBACK ActivateMatchingWindow(HWND window, LPARAM param);
