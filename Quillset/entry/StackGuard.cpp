// The stack protector's guard and failure routine, in place of the toolchain's (libssp), and
// the program's entry.
// GCC's -fstack-protector on Windows checks each protected frame against the global
// __stack_chk_guard and calls __stack_chk_fail when it differs. libssp fills the guard in a
// constructor through CryptAcquireContextA and CryptGenRandom, which loads a cryptographic
// provider (crypt32, bcrypt, rsaenh) into every start of the program for eight bytes.
// ADVAPI32's RtlGenRandom (SystemFunction036) is no better: Windows forwards it to
// CRYPTBASE.dll, which is not a KnownDLL, and resolves that while the program loads, before
// any of its code could restrict where libraries come from. So the guard is made here, the
// way compilers' own cookie set-up does it without a library: the processor's random
// generator where it has one, mixed with the clocks, the process's identity and addresses that
// ASLR places.
//
// Linked by quillset_stack_guard (entry/CMakeLists.txt), which also makes
// StackGuardedStartup the entry. Built without the stack protector: the entry's own frame
// must not be checked against a guard that it changes. Only for GCC's protector: MSVC's /GS
// keeps a cookie of its own that its runtime sets without a provider.

#include "entry/StackGuard.h"

#include "entry/LibrarySearch.h"
#include "entry/ProcessorRandom.h"
#include "framework/StepMarks.h"

#include <windows.h>

#include <cstdint>

namespace {

// One input stirred into the state: a combine step and the SplitMix64 finaliser, so every bit
// of every input reaches every bit of the result.
std::uint64_t Stir(std::uint64_t state, std::uint64_t input) {
    state ^= input + 0x9E3779B97F4A7C15ULL + (state << 6) + (state >> 2);
    state ^= state >> 30;
    state *= 0xBF58476D1CE4E5B9ULL;
    state ^= state >> 27;
    state *= 0x94D049BB133111EBULL;
    return state ^ (state >> 31);
}

std::uint64_t AddressOf(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// A guard of this process's own. Without a processor generator the rest still differs from
// run to run: the clocks, the ids, and the stack, image and heap that ASLR places.
std::uint64_t FreshStackGuard() {
    std::uint64_t state = 0;
    std::uint64_t processor = 0;
    if (ProcessorRandom64(processor)) state = Stir(state, processor);
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    state = Stir(state, static_cast<std::uint64_t>(counter.QuadPart));
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    state = Stir(state, (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) |
                            now.dwLowDateTime);
    state = Stir(state, ::GetTickCount64());
    state = Stir(state, (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32) |
                            ::GetCurrentThreadId());
    state = Stir(state, AddressOf(&state));                    // stack
    state = Stir(state, AddressOf(::GetModuleHandleW(nullptr)));  // image
    state = Stir(state, AddressOf(::GetProcessHeap()));           // heap
    // The file's value would make the guard known to anyone who reads the file.
    if (state == 0 || state == kStaticStackGuard) state = Stir(state, counter.QuadPart + 1);
    return state;
}

}  // namespace

extern "C" {

std::uint64_t __stack_chk_guard = kStaticStackGuard;

[[noreturn]] void __stack_chk_fail() {
    ::TerminateProcess(::GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    ::ExitProcess(STATUS_STACK_BUFFER_OVERRUN);
}

// The C runtime's entry for a GUI program (mingw-w64 crt2u.o, also for wWinMain).
int WinMainCRTStartup();

int StackGuardedStartup() {
    LARGE_INTEGER entered;
    ::QueryPerformanceCounter(&entered);
    // First of all, before anything could load a library.
    RestrictLibrarySearch(FindInKernel32);
    OpenStepMarks();
    MarkStepAt(StepMark::EntryBegins, entered.QuadPart);
    __stack_chk_guard = FreshStackGuard();
    MarkStep(StepMark::HardeningDone);
    return WinMainCRTStartup();
}

}  // extern "C"
