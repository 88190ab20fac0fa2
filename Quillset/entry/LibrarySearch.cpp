#include "entry/LibrarySearch.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFunction = BOOL(WINAPI*)(LPCWSTR);

// GetProcAddress gives every function one type; void (*)() passes it on unchanged.
template <typename Function>
Function As(FARPROC found) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

bool RestrictLibrarySearch(Kernel32Lookup lookup) {
    const auto setDefault =
        As<SetDefaultDllDirectoriesFunction>(lookup("SetDefaultDllDirectories"));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    if (const auto setDirectory = As<SetDllDirectoryWFunction>(lookup("SetDllDirectoryW")))
        setDirectory(L"");
    return false;
}

FARPROC FindInKernel32(const char* name) {
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? ::GetProcAddress(kernel32, name) : nullptr;
}
