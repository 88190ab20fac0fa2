#include "support/UiAutomation.h"

#include <tlhelp32.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

std::wstring ThisProgramFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\'));
}

bool ChildProcess::Running() const {
    return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!process) return false;
    if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(process.Get(), exitCode);
    return true;
}

void ChildProcess::Kill() const {
    if (Running()) {
        ::TerminateProcess(process.Get(), 99);
        ::WaitForSingleObject(process.Get(), 5000);
    }
}

namespace {

// This process's environment with the extra entries merged in (names compared without case).
std::vector<wchar_t> BuildEnvironment(const std::vector<std::wstring>& extra) {
    std::map<std::wstring, std::wstring> entries;
    auto upper = [](std::wstring s) {
        for (auto& c : s) c = static_cast<wchar_t>(::towupper(c));
        return s;
    };
    auto add = [&](const std::wstring& entry) {
        std::size_t eq = entry.find(L'=', 1);
        if (eq == std::wstring::npos) return;
        entries[upper(entry.substr(0, eq))] = entry;
    };
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += std::wcslen(p) + 1) add(p);
        ::FreeEnvironmentStringsW(block);
    }
    for (const auto& e : extra) add(e);
    std::vector<wchar_t> out;
    for (const auto& [name, entry] : entries) {
        out.insert(out.end(), entry.begin(), entry.end());
        out.push_back(L'\0');
    }
    out.push_back(L'\0');
    return out;
}

struct FindContext {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
    bool hiddenToo = false;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* ctx = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (ctx->pid && pid != ctx->pid) return TRUE;
    if (!ctx->hiddenToo && !::IsWindowVisible(window)) return TRUE;
    wchar_t cls[64] = {};
    ::GetClassNameW(window, cls, static_cast<int>(std::size(cls)));
    if (ctx->className && std::wcscmp(cls, ctx->className) != 0) return TRUE;
    if (ctx->title && WindowText(window) != ctx->title) return TRUE;
    ctx->found.push_back(window);
    return TRUE;
}

}  // namespace

namespace {

constexpr int kStartAttempts = 3;
constexpr DWORD kStartRetryMs = 500;

// The job every started process joins. Its one handle closes when this process ends, and the
// job then ends whatever of it still runs. Null when the platform made none.
HANDLE StartedProcessesJob() {
    static const UniqueHandle job = [] {
        UniqueHandle made(::CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (made && !::SetInformationJobObject(made.Get(), JobObjectExtendedLimitInformation,
                                               &limits, sizeof limits))
            made.Reset();
        return made;
    }();
    return job.Get();
}

}  // namespace

bool StartProcess(const std::wstring& commandLine, ChildProcess& child,
                  const std::vector<std::wstring>& extraEnvironment,
                  const std::function<void(DWORD processId)>& beforeResume) {
    child.Kill();
    std::vector<wchar_t> env = BuildEnvironment(extraEnvironment);
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (attempt) ::Sleep(kStartRetryMs);
        // CreateProcessW may write into the command line, so each try gets a fresh copy.
        std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
        cmd.push_back(L'\0');
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        // Started suspended, so that it joins the job before it can start a process of its own.
        if (::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE,
                             CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, env.data(), nullptr,
                             &si, &pi)) {
            if (const HANDLE job = StartedProcessesJob())
                ::AssignProcessToJobObject(job, pi.hProcess);
            if (beforeResume) beforeResume(pi.dwProcessId);
            ::ResumeThread(pi.hThread);
            ::CloseHandle(pi.hThread);
            child.process.Reset(pi.hProcess);
            child.id = pi.dwProcessId;
            child.startError = 0;
            return true;
        }
        child.startError = ::GetLastError();
    }
    ::SetLastError(child.startError);
    return false;
}

std::string StartFailure(const ChildProcess& child) {
    return "CreateProcessW failed with error " + std::to_string(child.startError) + " in " +
           std::to_string(kStartAttempts) + " attempts";
}

std::vector<HWND> FindTopWindows(DWORD pid, const wchar_t* className, const wchar_t* title,
                                 bool hiddenToo) {
    FindContext ctx{pid, className, title, {}, hiddenToo};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

HWND WaitForTopWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                      DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    do {
        auto found = FindTopWindows(pid, className, title);
        if (!found.empty()) return found.front();
        ::Sleep(20);
    } while (::GetTickCount64() < end);
    return nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    do {
        if (!::IsWindow(window) || !::IsWindowVisible(window)) return true;
        ::Sleep(20);
    } while (::GetTickCount64() < end);
    return false;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT through SendMessageTimeout: a hung target cannot hang the test. Not with
    // SMTO_ABORTIFHUNG: a program just back from a device request that took over 5 s counts
    // as hung until it reads its next message, though its window is already up.
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer),
                               reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, &copied))
        return L"";
    buffer[std::size(buffer) - 1] = L'\0';
    return buffer;
}

std::wstring ControlText(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    return control ? WindowText(control) : L"";
}

void ClickButton(HWND dialog, int controlId) {
    if (HWND button = ::GetDlgItem(dialog, controlId)) ::PostMessageW(button, BM_CLICK, 0, 0);
}

std::wstring MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

bool PressKey(WORD virtualKey) {
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = virtualKey;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return ::SendInput(2, keys, sizeof(INPUT)) == 2;
}

namespace {

bool IsProcessNamedRunning(const wchar_t* fileName) {
    // Failure is INVALID_HANDLE_VALUE, as for a file.
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry))
        if (::CompareStringOrdinal(entry.szExeFile, -1, fileName, -1, TRUE) == CSTR_EQUAL)
            return true;
    return false;
}

}  // namespace

bool WaitUntilNoProcessNamed(const wchar_t* fileName, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (IsProcessNamedRunning(fileName)) {
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
    return true;
}

std::wstring ReadTextFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return L"";
    int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                          n);
    return text;
}
