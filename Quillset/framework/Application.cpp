#include "framework/Application.h"

#include "framework/StepMarks.h"

namespace {

constexpr UINT kAppTitleStringId = 57344;

CApplication* theApplication = nullptr;

std::wstring ModuleFileName(HINSTANCE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

CApplication::CApplication() { theApplication = this; }

CApplication::~CApplication() {
    if (theApplication == this) theApplication = nullptr;
}

CApplication* CApplication::Get() { return theApplication; }

int CApplication::Run(HINSTANCE module) {
    instance = module;
    title = LoadApplicationTitle(module);
    MarkStep(StepMark::StartUpBegins);
    InitInstance();
    return 0;
}

std::wstring LoadApplicationTitle(HINSTANCE module) {
    // With a zero size LoadStringW hands out a pointer into the resource itself.
    const wchar_t* entry = nullptr;
    const int length = LoadStringW(module, kAppTitleStringId, reinterpret_cast<LPWSTR>(&entry), 0);
    if (length > 0 && entry) return std::wstring(entry, static_cast<std::size_t>(length));

    std::wstring name = ModuleFileName(module);
    const std::size_t folderEnd = name.find_last_of(L"\\/");
    if (folderEnd != std::wstring::npos) name.erase(0, folderEnd + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}
