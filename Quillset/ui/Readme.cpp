#include "ui/Readme.h"

#include "entry/SystemLibrary.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/DriverKey.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <string>

namespace {

// wsprintfW writes at most 1024 characters and the null; a result that long may be cut.
constexpr int kFormatBufferChars = 1025;
constexpr int kLongestUncutResult = 1022;

using ShellExecuteWFunction = decltype(&::ShellExecuteW);
using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);

// A function of a library from the system folder, loaded at the first call that asks for it.
// The library is never freed: the shell may leave threads running in shell32 and ole32 until
// the process ends, so nothing unloads them at exit. Null when it can't be had; a later click
// tries again.
template <typename Function>
Function LoadSystemFunction(HMODULE& library, const wchar_t* name, const char* function) {
    if (!library) library = LoadSystemLibrary(name);
    return library ? FindFunction<Function>(library, function) : nullptr;
}

// shell32 and ole32 serve only the README button, and loading them costs every start a
// handful of libraries, so they wait for the first click.
HMODULE shell32 = nullptr;
HMODULE ole32 = nullptr;

// Windows asks for COM on the calling thread before ShellExecute, since the shell may start the
// document's handler through COM. Never uninitialised: an uninitialisation at exit could race
// the shell's own threads, and a later click's call only counts up a use that is never given
// back. A thread already in another apartment (RPC_E_CHANGED_MODE) keeps it, and the document
// still opens.
void InitialiseComForTheShell() {
    const auto CoInitializeEx =
        LoadSystemFunction<CoInitializeExFunction>(ole32, L"ole32.dll", "CoInitializeEx");
    if (CoInitializeEx) CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
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
    const auto ShellExecuteW =
        LoadSystemFunction<ShellExecuteWFunction>(shell32, L"shell32.dll", "ShellExecuteW");
    if (!ShellExecuteW) return;
    InitialiseComForTheShell();
    const std::wstring path = GetReadmePath();
    ShellExecuteW(nullptr, L"open", path.c_str(), L"", L"", SW_SHOW);
}
