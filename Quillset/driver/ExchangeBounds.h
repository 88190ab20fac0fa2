#pragma once
// How long the program waits for the driver. A request still pending after the first bound
// is cancelled; one still pending after the second is left to the driver for good.

#include <windows.h>

// From sending a request to giving up on it. Generous: a unit that is merely slow still
// answers well within it.
inline constexpr DWORD kRequestCompletionBoundMs = 5000;
// From asking the driver to cancel to leaving the request behind.
inline constexpr DWORD kCancellationBoundMs = 1000;
