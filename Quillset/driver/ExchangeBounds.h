#pragma once
// How long the program waits for the driver over one exchange with a unit. An exchange still
// running after the first bound is cancelled; one still running after the second is left to
// the driver for good.

#include <windows.h>

// From the exchange's start (its first open) to the cancel. Generous: a unit that is merely
// slow still answers well within it.
inline constexpr DWORD kRequestCompletionBoundMs = 5000;
// From asking the driver to cancel to leaving the exchange behind. Whatever the exchange ends
// with meanwhile, an answer included, counts.
inline constexpr DWORD kCancellationBoundMs = 1000;
