// The stack protector's guard and failure routine, in place of the toolchain's (libssp).
// GCC's -fstack-protector on Windows checks each protected frame against the global
// __stack_chk_guard and calls __stack_chk_fail when it differs. libssp fills the guard in a
// constructor through CryptAcquireContextA and CryptGenRandom, which loads a cryptographic
// provider (crypt32, bcrypt, rsaenh) into every start of the program for eight bytes.
// RtlGenRandom gives them without a provider, and the program's entry takes them before
// the C runtime starts, so no protected function ever sees another value.
//
// Linked by quillset_stack_guard (framework/CMakeLists.txt), which also makes
// StackGuardedStartup the entry. Built without the stack protector: the entry's own frame
// must not be checked against a guard that it changes. Only for GCC's protector: MSVC's /GS
// keeps a cookie of its own that its runtime sets without a provider.

#include "framework/StackGuard.h"

#include <windows.h>

#include <ntsecapi.h>

#include <cstdint>

extern "C" {

std::uint64_t __stack_chk_guard = kStaticStackGuard;

[[noreturn]] void __stack_chk_fail() {
    ::TerminateProcess(::GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    ::ExitProcess(STATUS_STACK_BUFFER_OVERRUN);
}

// The C runtime's entry for a GUI program (mingw-w64 crt2u.o, also for wWinMain).
int WinMainCRTStartup();

int StackGuardedStartup() {
    if (!::RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard) ||
        __stack_chk_guard == kStaticStackGuard) {
        // No random bytes: still a value of this process's own, from its identity and the
        // clock.
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        __stack_chk_guard ^= static_cast<std::uint64_t>(now.QuadPart) ^
                             (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32) ^
                             ::GetCurrentThreadId() ^ ::GetTickCount64();
    }
    return WinMainCRTStartup();
}

}  // extern "C"
