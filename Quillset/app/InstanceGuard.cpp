#include "app/InstanceGuard.h"

#include "driver/AbandonedExchanges.h"
#include "res/Maker.h"

#include <cwchar>

namespace {
constexpr wchar_t kProgramFileName[] = L"Kzds0410.exe";
}

std::wstring BuildInstanceMutexName() {
    return std::wstring(QS_WIDEN(QS_MAKER_DOMAIN)) + L"." + kProgramFileName;
}

bool IsAnotherCopyRunning(const std::wstring& mutexName) {
    return static_cast<bool>(UniqueHandle(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName.c_str())));
}

bool CreateInstanceMutex(const std::wstring& mutexName, UniqueHandle& held) {
    HANDLE created = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
    const bool existed = created && ::GetLastError() == ERROR_ALREADY_EXISTS;
    held.Reset(created);
    return !existed;
}

void ReleaseIfExchangesAbandoned(UniqueHandle& held) {
    if (AbandonedExchangeCount() > 0) held.Reset();
}

BOOL CALLBACK ActivateMatchingWindow(HWND window, LPARAM param) {
    const auto* title = reinterpret_cast<const wchar_t*>(param);
    wchar_t text[520] = {};
    ::GetWindowTextW(window, text, 515);
    if (std::wcsncmp(title, text, std::wcslen(title)) != 0) return TRUE;
    ::ShowWindow(window, SW_SHOW);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    return FALSE;
}
