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

// What the user can act on: the visible, enabled window that found owns and that was active
// last over it, such as a message box (found is disabled under it, and would take no key);
// otherwise found itself.
HWND WindowToActivate(HWND found) {
    const HWND popup = ::GetLastActivePopup(found);
    if (popup == nullptr || popup == found) return found;
    if (!::IsWindowVisible(popup) || !::IsWindowEnabled(popup)) return found;
    for (HWND owner = ::GetWindow(popup, GW_OWNER); owner; owner = ::GetWindow(owner, GW_OWNER))
        if (owner == found) return popup;
    return found;
}
}  // namespace

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
    auto& search = *reinterpret_cast<RunningCopySearch*>(param);
    if (search.enabledOnly && !::IsWindowEnabled(window)) return TRUE;
    wchar_t text[kTextBufferChars] = {};
    ::GetWindowTextW(window, text, kTextReadChars);
    if (std::wcsncmp(search.title, text, std::wcslen(search.title)) != 0) return TRUE;
    search.found = true;
    ::ShowWindow(window, SW_SHOW);
    const HWND target = WindowToActivate(window);
    ::BringWindowToTop(target);
    ::SetForegroundWindow(target);
    return FALSE;
}

void ActivateRunningCopyWindow(const std::wstring& title) {
    for (const bool enabledOnly : {true, false}) {
        RunningCopySearch search{title.c_str(), enabledOnly, false};
        ::EnumWindows(ActivateMatchingWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return;
    }
}
