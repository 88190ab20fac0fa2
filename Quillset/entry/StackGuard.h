#pragma once
// The stack protector's guard: the value every protected function's frame is checked
// against, given each process at random by StackGuardedStartup (StackGuard.cpp) before any
// protected function runs.

#include <cstdint>

// What the guard holds in the file, before the entry has run. A running program never keeps
// it; the tests look for it in the file to find where the guard lives.
inline constexpr std::uint64_t kStaticStackGuard = 0x5157A7C6D0A1E5B3ULL;
