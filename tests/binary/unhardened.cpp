// Deliberately built without the hardening flags, so the binary check has something to catch.
// It also imports ShellExecuteW and, through the toolchain's stack-guard set-up that its
// protected frame pulls in, CryptAcquireContextA and CryptGenRandom.
#include <windows.h>

#include <shellapi.h>

int main(int argc, char**) {
    wchar_t name[MAX_PATH];
    if (!::GetModuleFileNameW(nullptr, name, MAX_PATH)) return 1;
    if (argc > 99) ::ShellExecuteW(nullptr, L"open", name, L"", L"", SW_SHOW);
    return 0;
}
