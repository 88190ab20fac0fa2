// Stands in for a program gone wrong, for the soak's crash and hang watch: SOAK_MISBEHAVE=crash
// raises an access violation, =hang sleeps without a window, =exit7 ends with exit code 7.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t how[16] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"SOAK_MISBEHAVE", how, 16);
    const std::wstring mode = length < 16 ? std::wstring(how, length) : std::wstring();
    if (mode == L"crash") ::RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    if (mode == L"hang") ::Sleep(60000);
    if (mode == L"exit7") return 7;
    return 0;
}
