#include "support/ProgramRun.h"

#include "res/resource.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace

const char* NameOf(ProgramScreen screen) {
    switch (screen) {
    case ProgramScreen::Nothing: return "nothing";
    case ProgramScreen::Settings: return "the settings dialog";
    case ProgramScreen::NoDevice: return "the device-not-connected dialog";
    case ProgramScreen::MessageBox: return "a message box";
    case ProgramScreen::Ended: return "the end of the program";
    }
    return "?";
}

ProgramScreen ClassifyWindow(HWND window) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (std::wcscmp(className, kDialogClass) != 0) return ProgramScreen::Nothing;
    if (::GetDlgItem(window, IDC_LIGHT_LOAD)) {
        // The dialog takes its title once the settings are read. Without one it is a dialog
        // that its own initialisation ended (no unit), which Wine still shows for a moment.
        return WindowText(window).empty() ? ProgramScreen::Nothing : ProgramScreen::Settings;
    }
    if (::GetDlgItem(window, IDC_NODEV_TEXT)) return ProgramScreen::NoDevice;
    if (::GetDlgItem(window, kMessageBoxTextId)) return ProgramScreen::MessageBox;
    return ProgramScreen::Nothing;
}

std::wstring ProgramRun::ProgramPath() {
    const DWORD size = ::GetEnvironmentVariableW(L"QS_PROGRAM_UNDER_TEST", nullptr, 0);
    std::wstring path(size, L'\0');
    path.resize(::GetEnvironmentVariableW(L"QS_PROGRAM_UNDER_TEST", path.data(), size));
    if (path.empty()) return ThisProgramFolder() + L"\\Kzds0410.exe";
    if (path.front() == L'/') {
        std::replace(path.begin(), path.end(), L'/', L'\\');
        path.insert(0, L"Z:");
    }
    return path;
}

bool ProgramRun::Start(const std::wstring& path,
                       const std::vector<std::wstring>& extraEnvironment) {
    std::vector<std::wstring> environment = extraEnvironment;
    // Wine's log channels for the program alone (tests/e2e/check_loaddll.py).
    wchar_t channels[256];
    const DWORD length = ::GetEnvironmentVariableW(L"QS_PROGRAM_WINEDEBUG", channels, 256);
    if (length > 0 && length < 256) environment.push_back(L"WINEDEBUG=" + std::wstring(channels));
    return StartProcess(L"\"" + path + L"\"", child, environment);
}

ShownScreen ProgramRun::Current(const std::vector<HWND>& ignore) const {
    if (!child.process) return {};
    if (!child.Running()) return {ProgramScreen::Ended, nullptr};
    for (HWND window : FindTopWindows(child.id, kDialogClass, nullptr)) {
        if (!::IsWindowEnabled(window)) continue;
        if (std::find(ignore.begin(), ignore.end(), window) != ignore.end()) continue;
        const ProgramScreen screen = ClassifyWindow(window);
        if (screen != ProgramScreen::Nothing) return {screen, window};
    }
    return {};
}

ShownScreen ProgramRun::WaitForScreen(DWORD timeoutMs, const std::vector<HWND>& ignore) const {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ShownScreen shown = Current(ignore);
        if (shown.screen != ProgramScreen::Nothing || ::GetTickCount64() >= end) return shown;
        ::Sleep(20);
    }
}

HWND ProgramRun::WaitFor(ProgramScreen screen, DWORD timeoutMs) const {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ShownScreen shown = Current();
        if (shown.screen == screen) return shown.window;
        if (shown.screen == ProgramScreen::Ended || ::GetTickCount64() >= end) return nullptr;
        ::Sleep(20);
    }
}

bool ProgramRun::WaitForInputIdle(DWORD timeoutMs) const {
    return child.process && ::WaitForInputIdle(child.process.Get(), timeoutMs) == 0;
}

bool ProgramRun::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    return child.WaitForExit(timeoutMs, exitCode);
}

bool ProgramRun::EndsWithoutAWindow(DWORD timeoutMs, bool& showedWindow) const {
    showedWindow = false;
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (child.Running()) {
        if (!FindTopWindows(child.id, nullptr, nullptr).empty()) showedWindow = true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(5);
    }
    return true;
}
