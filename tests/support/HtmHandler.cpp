#include "support/HtmHandler.h"

#include "framework/UniqueHandle.h"

#include <windows.h>

namespace {

constexpr wchar_t kExtension[] = L"Software\\Classes\\.htm";
constexpr wchar_t kClass[] = L"Software\\Classes\\QuillsetTest.htmfile";
constexpr wchar_t kCommand[] = L"Software\\Classes\\QuillsetTest.htmfile\\shell\\open\\command";

bool SetDefaultValue(const wchar_t* path, const std::wstring& value) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.Get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

}  // namespace

HtmHandler::HtmHandler(const std::wstring& handlerProgram) {
    UniqueRegKey existing;
    hadExtension = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kExtension, 0, KEY_READ, existing.Put()) ==
                   ERROR_SUCCESS;
    if (hadExtension) {
        wchar_t value[256] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegQueryValueExW(existing.Get(), nullptr, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
            previousClass = value;
    }
    ready = SetDefaultValue(kExtension, L"QuillsetTest.htmfile") &&
            SetDefaultValue(kCommand, L"\"" + handlerProgram + L"\" \"%1\"");
}

HtmHandler::~HtmHandler() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClass);
    if (!hadExtension)
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kExtension);
    else
        SetDefaultValue(kExtension, previousClass);
}
