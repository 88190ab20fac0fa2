#include "app/InstanceGuard.h"

#include "driver/AbandonedExchanges.h"
#include "res/Maker.h"

#include <cwchar>

namespace {
constexpr wchar_t kProgramFileName[] = L"Kzds0410.exe";

// A window's text is read up to 514 characters and the null, which GetWindowTextW counts: far
// beyond any title the program gives its dialogs, so only the start of a longer text is
// compared, as the guard always has.
constexpr int kTextReadChars = 515;
// Five characters of room beyond what is read: a window whose own WM_GETTEXT handler overruns
// the count it is given by a few still writes inside the buffer.
constexpr int kTextBufferChars = 520;
static_assert(kTextBufferChars > kTextReadChars);
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
    wchar_t text[kTextBufferChars] = {};
    ::GetWindowTextW(window, text, kTextReadChars);
    if (std::wcsncmp(title, text, std::wcslen(title)) != 0) return TRUE;
    ::ShowWindow(window, SW_SHOW);
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    return FALSE;
}
