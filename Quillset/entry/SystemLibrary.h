#pragma once
// Libraries from the system folder only, and their functions by name with their own types.

#include <windows.h>

// Loads the named library from the system folder, never from the program's folder or the
// path. Null when it can't be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A GetProcAddress result as the function type it has. GetProcAddress gives every function one
// type; void (*)() passes it on unchanged.
template <typename Function>
Function AsFunction(FARPROC found) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The named function of a loaded library, or null when it has none of that name.
template <typename Function>
Function FindFunction(HMODULE library, const char* name) {
    return AsFunction<Function>(::GetProcAddress(library, name));
}
