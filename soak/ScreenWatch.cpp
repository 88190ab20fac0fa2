#include "ScreenWatch.h"

#include "framework/UniqueHandle.h"

#include <algorithm>
#include <cwctype>
#include <map>

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kPollMs = 20;
constexpr DWORD kDismissWaitMs = 5000;

std::wstring ImageNameOf(DWORD pid) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return L"";
    std::wstring path(MAX_PATH, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size)) return L"";
    path.resize(size);
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

ShownScreen NextScreen(const ProgramRun& program, const std::vector<HWND>& seen) {
    for (HWND window : FindTopWindows(program.Id(), kDialogClass, nullptr)) {
        if (!::IsWindowEnabled(window)) continue;
        if (std::find(seen.begin(), seen.end(), window) != seen.end()) continue;
        const ProgramScreen screen = ClassifyWindow(window);
        if (screen != ProgramScreen::Nothing) return {screen, window};
    }
    return {};
}

}  // namespace

std::vector<HWND> FindCrashDialogs() {
    std::vector<HWND> crashes;
    std::map<DWORD, bool> isDebugger;  // looked up once per process
    for (HWND window : FindTopWindows(0, nullptr, nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        auto known = isDebugger.find(pid);
        if (known == isDebugger.end())
            known = isDebugger.emplace(pid, ImageNameOf(pid) == L"winedbg.exe").first;
        if (known->second) crashes.push_back(window);
    }
    return crashes;
}

void DismissCrashDialogs() {
    for (HWND window : FindCrashDialogs()) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForWindowGone(window, kDismissWaitMs);
    }
}

WatchResult WaitForNextScreen(const ProgramRun& program, const std::vector<HWND>& seen,
                              DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (int poll = 0;; ++poll) {
        WatchResult result;
        // The crash dialog first: the crashed process stays alive under the debugger.
        if (poll % 5 == 0 || ::GetTickCount64() >= end) {
            const std::vector<HWND> crashes = FindCrashDialogs();
            if (!crashes.empty()) {
                result.outcome = WatchOutcome::Crashed;
                result.detail = "crash dialog \"" + Narrow(WindowText(crashes.front())) + "\"";
                return result;
            }
        }
        if (!program.Running()) {
            result.outcome = WatchOutcome::Ended;
            result.screen = ProgramScreen::Ended;
            return result;
        }
        const ShownScreen shown = NextScreen(program, seen);
        if (shown.screen != ProgramScreen::Nothing) {
            result.outcome = WatchOutcome::Screen;
            result.screen = shown.screen;
            result.window = shown.window;
            return result;
        }
        if (::GetTickCount64() >= end) return result;
        ::Sleep(kPollMs);
    }
}

bool IsNormalExitCode(DWORD code) { return code <= 2; }

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c == L'\n') out += "\\n";
        else if (c == L'\r') out += "\\r";
        else out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    }
    return out;
}
