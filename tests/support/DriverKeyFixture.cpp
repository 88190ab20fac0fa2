#include "support/DriverKeyFixture.h"

#include "framework/UniqueHandle.h"

namespace {

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{5E2B7C41-3D90-4f6a-B8C2-7A15D04E9F36}";
constexpr wchar_t kDriverKey[] =
    L"Software\\Classes\\CLSID\\{5E2B7C41-3D90-4f6a-B8C2-7A15D04E9F36}\\KZID0410";

struct UnicodeName {  // the kernel's UNICODE_STRING
    USHORT length;
    USHORT maximumLength;
    wchar_t* buffer;
};

bool CreateFoldersTo(const std::wstring& path) {
    for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    UniqueFindHandle search(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(search.Get(), &entry));
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

DriverKeyFixture::DriverKeyFixture() { RemoveKey(); }

DriverKeyFixture::~DriverKeyFixture() { RemoveKey(); }

bool DriverKeyFixture::CreateKey() {
    UniqueRegKey key;
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                           key.Put(), nullptr) == ERROR_SUCCESS;
}

bool DriverKeyFixture::SetBytes(const wchar_t* name, DWORD type, const void* bytes, DWORD size) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    // RegSetValueExW adds a missing null to text types; the kernel call stores the bytes as
    // given, as a careless installer could.
    using SetValue = LONG(NTAPI*)(HANDLE, UnicodeName*, ULONG, ULONG, const void*, ULONG);
    const auto setValue = reinterpret_cast<SetValue>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
    if (!setValue) return false;
    const std::wstring text = name ? name : L"";
    UnicodeName valueName{static_cast<USHORT>(text.size() * sizeof(wchar_t)),
                          static_cast<USHORT>(text.size() * sizeof(wchar_t)),
                          const_cast<wchar_t*>(text.c_str())};
    return setValue(key.Get(), &valueName, 0, type, bytes, size) == 0;
}

bool DriverKeyFixture::SetText(const wchar_t* name, const std::wstring& text) {
    return SetBytes(name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DriverKeyFixture::RemoveKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey); }

TemporaryFolder::TemporaryFolder() {
    wchar_t base[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    path.assign(base, length);
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    path += L"\\quillset-ui-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64());
    CreateFoldersTo(path);
}

TemporaryFolder::~TemporaryFolder() { RemoveTree(path); }

bool TemporaryFolder::CreateFolderAt(const std::wstring& relative) {
    return CreateFoldersTo(path + L"\\" + relative);
}

bool TemporaryFolder::CreateFileAt(const std::wstring& relative) {
    const std::wstring full = path + L"\\" + relative;
    const std::size_t folderEnd = full.rfind(L'\\');
    if (!CreateFoldersTo(full.substr(0, folderEnd))) return false;
    UniqueFileHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const char content[] = "<html><body>README</body></html>\n";
    DWORD written = 0;
    return WriteFile(file.Get(), content, sizeof content - 1, &written, nullptr) != FALSE;
}

std::wstring ReadWideFile(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 1 << 20) return {};
    std::wstring text(static_cast<std::size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    if (!text.empty() && !ReadFile(file.Get(), text.data(),
                                   static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr))
        return {};
    text.resize(read / sizeof(wchar_t));
    return text;
}

std::wstring WaitForWideFile(const std::wstring& path, unsigned long timeoutMs) {
    std::wstring text = ReadWideFile(path);
    for (unsigned long waited = 0; text.empty() && waited < timeoutMs; waited += 50) {
        Sleep(50);
        text = ReadWideFile(path);
    }
    return text;
}
