#include "ui/Readme.h"

#include "framework/UniqueHandle.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/DriverKey.h"

#include <shellapi.h>
#include <windows.h>

#include <string>

namespace {

// wsprintfW writes at most 1024 characters and the null; a result that long may be cut.
constexpr int kFormatBufferChars = 1025;
constexpr int kLongestUncutResult = 1022;

using ShellExecuteWFunction = decltype(&::ShellExecuteW);

// A library from the system folder only, never from the program's folder or the path.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // Windows 7 without update KB2533623 does not know the flag: name the folder instead.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// shell32 serves only the README button, and loading it costs every start a handful of
// libraries, so it is loaded at the first click, from the system folder only, and kept until
// the program ends. Null when it can't be loaded; a later click tries again.
ShellExecuteWFunction LoadShellExecuteW() {
    static UniqueModule shell32;
    if (!shell32) shell32.Reset(LoadSystemLibrary(L"shell32.dll"));
    if (!shell32) return nullptr;
    // GetProcAddress gives every function one type; void (*)() passes it on unchanged.
    return reinterpret_cast<ShellExecuteWFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(shell32.Get(), "ShellExecuteW")));
}

}  // namespace

std::wstring GetReadmePath() {
    std::wstring folder;
    if (!ReadDriverKeyValue(nullptr, folder) || folder.empty()) return {};
    std::wstring name;
    if (!LoadText(name, IDS_README_NAME)) return {};

    wchar_t path[kFormatBufferChars];
    const int length = wsprintfW(path, L"%s\\%s", folder.c_str(), name.c_str());
    if (length < 0 || length > kLongestUncutResult) return {};
    return std::wstring(path, static_cast<std::size_t>(length));
}

bool IsExistingFile(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle search(FindFirstFileW(path.c_str(), &found));
    if (!search) return false;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsReadmeAvailable() {
    const std::wstring path = GetReadmePath();
    return !path.empty() && IsExistingFile(path);
}

void OnShowReadme() {
    if (!IsReadmeAvailable()) return;
    const ShellExecuteWFunction ShellExecuteW = LoadShellExecuteW();
    if (!ShellExecuteW) return;
    const std::wstring path = GetReadmePath();
    ShellExecuteW(nullptr, L"open", path.c_str(), L"", L"", SW_SHOW);
}
