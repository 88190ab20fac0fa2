#include "DialogRun.h"

#include "res/resource.h"
#include "support/ProgramRun.h"
#include "support/UiAutomation.h"

#include <psapi.h>

#include <functional>

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

// The block where a program stamps its steps (framework/StepMarks.h), made before the program
// runs its first instruction and read once it has ended.
class StepMarksShare {
public:
    void MakeFor(DWORD processId) {
        wchar_t name[48];
        StepMarksName(processId, name);
        mapping_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(StepMarksBlock), name));
        if (!mapping_) return;
        view_ = static_cast<StepMarksBlock*>(
            ::MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(StepMarksBlock)));
        if (view_ != nullptr) view_->version = kStepMarksVersion;
    }
    ~StepMarksShare() {
        if (view_ != nullptr) ::UnmapViewOfFile(view_);
    }

    void Read(LONGLONG started, StepFigures& figures) const {
        for (std::size_t i = 0; i < figures.atMs.size(); ++i)
            figures.atMs[i] = view_ != nullptr && view_->at[i] != 0
                                  ? MsBetween(started, view_->at[i])
                                  : -1.0;
        for (std::size_t i = 0; i < figures.spentMs.size(); ++i) {
            for (std::size_t phase = 0; phase < 2; ++phase) {
                if (view_ == nullptr) continue;
                figures.spentMs[i][phase] = MsBetween(0, view_->spent[i][phase]);
                figures.spans[i][phase] = view_->spans[i][phase];
            }
        }
    }

private:
    UniqueHandle mapping_;
    StepMarksBlock* view_ = nullptr;
};

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
    StepMarksShare marks;
    const LONGLONG started = Now();
    if (!StartProcess(L"\"" + program.path + L"\"", child, {},
                      [&](DWORD processId) { marks.MakeFor(processId); })) {
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
    figures.clickedMs = MsBetween(started, clicked);
    ClickButton(dialog, IDOK);
    const DWORD waited = ::WaitForSingleObject(child.process.Get(), kWaitMs);
    const LONGLONG ended = Now();
    if (waited != WAIT_OBJECT_0) {
        error = program.name + L" still runs " + std::to_wstring(kWaitMs / 1000) +
                L" s after OK, showing " + WhatIsShowing(child);
        return false;
    }
    figures.okToExitMs = MsBetween(clicked, ended);
    marks.Read(started, figures.steps);
    ::GetExitCodeProcess(child.process.Get(), &figures.exitCode);
    figures.afterExit = ReadMemory(child.process.Get());
    return true;
}
