#include "entry/LibrarySearch.h"

#include "entry/SystemLibrary.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFunction = BOOL(WINAPI*)(LPCWSTR);

}  // namespace

bool RestrictLibrarySearch(Kernel32Lookup lookup) {
    const auto setDefault =
        AsFunction<SetDefaultDllDirectoriesFunction>(lookup("SetDefaultDllDirectories"));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    if (const auto setDirectory = AsFunction<SetDllDirectoryWFunction>(lookup("SetDllDirectoryW")))
        setDirectory(L"");
    return false;
}

FARPROC FindInKernel32(const char* name) {
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? ::GetProcAddress(kernel32, name) : nullptr;
}
