#include "ui/DriverKey.h"

#include "framework/UniqueHandle.h"

#include <windows.h>

namespace {

constexpr wchar_t kClassIdFolder[] = L"CLSID";
constexpr wchar_t kDriverClassId[] = L"{5E2B7C41-3D90-4f6a-B8C2-7A15D04E9F36}";
constexpr wchar_t kDriverSubkey[] = L"KZID0410";

// wsprintfW writes at most 1024 characters and the null.
constexpr int kFormatBufferChars = 1025;

constexpr std::size_t kBufferChars = kDriverValueBufferBytes / sizeof(wchar_t);

}  // namespace

bool ReadDriverKeyValue(const wchar_t* name, std::wstring& text) {
    wchar_t path[kFormatBufferChars];
    wsprintfW(path, L"%s\\%s\\%s", kClassIdFolder, kDriverClassId, kDriverSubkey);

    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return false;

    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size >= kDriverValueBufferBytes)
        return false;

    wchar_t buffer[kBufferChars] = {};
    size = kDriverValueBufferBytes;
    if (RegQueryValueExW(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS)
        return false;

    // The value may have changed since the size was asked for, may lack its null, or hold an
    // odd number of bytes: keep whole characters only, and never the buffer's last one, so the
    // text always ends inside the buffer.
    std::size_t length = size / sizeof(wchar_t);
    if (length > kBufferChars - 1) length = kBufferChars - 1;
    buffer[length] = L'\0';
    std::size_t end = 0;
    while (end < length && buffer[end] != L'\0') ++end;
    text.assign(buffer, end);
    return true;
}
