// Test stand-in for the document viewer: registered as the handler of .htm files, it appends
// its command line to the file named by QS_OPEN_RECORD and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t target[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"QS_OPEN_RECORD", target, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return 1;
    const HANDLE file = CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    DWORD written = 0;
    WriteFile(file, line.c_str(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    return 0;
}
