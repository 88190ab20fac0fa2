// Deliberately built without the hardening flags, so the binary check has something to catch.
// It also imports ShellExecuteW, RtlGenRandom (ADVAPI32's SystemFunction036) and, through the
// toolchain's stack-guard set-up that its protected frame pulls in, CryptAcquireContextA and
// CryptGenRandom; its entry never looks SetDefaultDllDirectories up, and its manifest
// (unhardened.rc) declares no dependency on the Common-Controls assembly.
#include <windows.h>

#include <ntsecapi.h>
#include <shellapi.h>

int main(int argc, char**) {
    wchar_t name[MAX_PATH];
    if (!::GetModuleFileNameW(nullptr, name, MAX_PATH)) return 1;
    if (argc > 99) {
        ::ShellExecuteW(nullptr, L"open", name, L"", L"", SW_SHOW);
        unsigned char byte = 0;
        return ::RtlGenRandom(&byte, sizeof byte) ? byte : 0;
    }
    return 0;
}
