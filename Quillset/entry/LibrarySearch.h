#pragma once
// Where the process may load libraries from: the system folder only. Users start the program
// from wherever they unpacked the driver package, often a downloads folder, and Windows looks
// for a library that is not one of its KnownDLLs in the program's own folder first, so a file
// of that name beside the program would run inside it. The entry restricts the search before
// anything else runs (StackGuard.cpp).

#include <windows.h>

// Finds one of kernel32's functions by name; null when this Windows has none of that name.
using Kernel32Lookup = FARPROC (*)(const char* name);

// Restricts every later library load of the process, its own and those that system libraries
// make on its behalf, to the system folder: SetDefaultDllDirectories(
// LOAD_LIBRARY_SEARCH_SYSTEM32). Where Windows lacks that function (Windows 7 without update
// KB2533623) or refuses it, SetDllDirectoryW(L"") at least drops the current folder from the
// search. True when the search is restricted to the system folder.
// Runs in the entry before the C runtime starts: Win32 calls only.
bool RestrictLibrarySearch(Kernel32Lookup lookup);

// The lookup the entry uses: GetProcAddress on kernel32, which every process has loaded.
FARPROC FindInKernel32(const char* name);
