#include "DialogRun.h"

#include "res/resource.h"
#include "support/ProgramRun.h"
#include "support/UiAutomation.h"

#include <psapi.h>

#include <algorithm>
#include <string>

namespace {

constexpr DWORD kWaitMs = 20000;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr wchar_t kDialogClass[] = L"#32770";

LONGLONG Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double MsBetween(LONGLONG from, LONGLONG to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Wine fills these from the Linux process's /proc/<pid>/status: VmHWM, VmRSS and RssAnon plus
// VmSwap. PrivateUsage stays 0. After the end every counter reads 0 once the Linux process is
// gone, which it usually is by the time the process handle is signalled.
MemoryFigures ReadMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    MemoryFigures memory;
    if (!::K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                   sizeof counters))
        return memory;
    memory.known = true;
    memory.peakWorkingSet = counters.PeakWorkingSetSize;
    memory.workingSet = counters.WorkingSetSize;
    memory.pagefileUsage = counters.PagefileUsage;
    memory.peakPagefileUsage = counters.PeakPagefileUsage;
    memory.privateBytes = counters.PrivateUsage;
    return memory;
}

// The file names of the modules loaded in the process, its own first; empty when Wine can't
// list them.
std::vector<std::wstring> LoadedModules(HANDLE process) {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    if (!::K32EnumProcessModules(process, modules.data(),
                                 static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed))
        return {};
    modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
    std::vector<std::wstring> names;
    for (HMODULE module : modules) {
        wchar_t name[MAX_PATH];
        const DWORD length = ::K32GetModuleBaseNameW(process, module, name, MAX_PATH);
        if (length) names.emplace_back(name, length);
    }
    return names;
}

// The child's ready dialog, or null with error set.
HWND WaitUntilReady(const DialogProgram& program, const ChildProcess& child,
                    std::wstring& error) {
    const ULONGLONG deadline = ::GetTickCount64() + kWaitMs;
    for (;;) {
        for (HWND window : FindTopWindows(child.id, kDialogClass, nullptr)) {
            std::wstring why;
            const Readiness readiness = program.ready(window, why);
            if (readiness == Readiness::Ready) return window;
            if (readiness == Readiness::Wrong) {
                error = program.name + L" showed " + why + L" instead of its ready dialog";
                return nullptr;
            }
        }
        if (!child.Running()) {
            error = program.name + L" ended before its dialog was ready";
            return nullptr;
        }
        if (::GetTickCount64() >= deadline) {
            error = program.name + L" did not show its ready dialog within " +
                    std::to_wstring(kWaitMs / 1000) + L" s";
            return nullptr;
        }
        ::Sleep(kReadyPollMs);
    }
}

// What keeps a program from ending after OK, for the message.
std::wstring WhatIsShowing(const ChildProcess& child) {
    for (HWND window : FindTopWindows(child.id, kDialogClass, nullptr)) {
        const ProgramScreen screen = ClassifyWindow(window);
        if (screen == ProgramScreen::MessageBox)
            return L"a message box (" + MessageBoxText(window) + L")";
        if (screen != ProgramScreen::Nothing) {
            const std::string name = NameOf(screen);
            return std::wstring(name.begin(), name.end());
        }
    }
    return L"no dialog of its own";
}

}  // namespace

Readiness SettingsDialogReady(HWND window, std::wstring& why) {
    switch (ClassifyWindow(window)) {
    case ProgramScreen::Settings:
        break;
    case ProgramScreen::NoDevice:
        why = L"the device-not-connected dialog";
        return Readiness::Wrong;
    case ProgramScreen::MessageBox:
        why = L"a message box (" + MessageBoxText(window) + L")";
        return Readiness::Wrong;
    default:
        return Readiness::NotYet;
    }
    if (!::IsWindowEnabled(window)) return Readiness::NotYet;
    DWORD_PTR state = BST_UNCHECKED;
    if (!::SendMessageTimeoutW(::GetDlgItem(window, IDC_LIGHT_LOAD), BM_GETCHECK, 0, 0,
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &state))
        return Readiness::NotYet;
    return state == BST_CHECKED ? Readiness::Ready : Readiness::NotYet;
}

Readiness BaselineDialogReady(HWND window, std::wstring&) {
    if (!::IsWindowEnabled(window) || !::GetDlgItem(window, IDOK)) return Readiness::NotYet;
    return Readiness::Ready;
}

bool MeasureDialogRun(const DialogProgram& program, RunFigures& figures, std::wstring& error) {
    figures = RunFigures{};
    ChildProcess child;
    const LONGLONG started = Now();
    if (!StartProcess(L"\"" + program.path + L"\"", child)) {
        error = L"could not start " + program.path + L" (error " +
                std::to_wstring(::GetLastError()) + L")";
        return false;
    }
    // A run abandoned below ends the program as child goes, so that the next run starts alone.

    const HWND dialog = WaitUntilReady(program, child, error);
    if (!dialog) return false;
    figures.startToReadyMs = MsBetween(started, Now());
    figures.beforeOk = ReadMemory(child.process.Get());
    figures.modules = LoadedModules(child.process.Get());

    const LONGLONG clicked = Now();
    ClickButton(dialog, IDOK);
    const DWORD waited = ::WaitForSingleObject(child.process.Get(), kWaitMs);
    const LONGLONG ended = Now();
    if (waited != WAIT_OBJECT_0) {
        error = program.name + L" still runs " + std::to_wstring(kWaitMs / 1000) +
                L" s after OK, showing " + WhatIsShowing(child);
        return false;
    }
    figures.okToExitMs = MsBetween(clicked, ended);
    ::GetExitCodeProcess(child.process.Get(), &figures.exitCode);
    figures.afterExit = ReadMemory(child.process.Get());
    return true;
}
