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
// Within the second bound the cancel is sent again this often: a cancel reaches only what is
// under way when it comes, and a step may reach the driver just after one.
inline constexpr DWORD kCancelRepeatMs = 100;
// How long from its start an exchange is waited for without reading the caller's messages.
// Most exchanges end within a millisecond or two; the dialog is then not repainted in its
// busy state just before it ends. Far below the 5 s after which Windows counts a window that
// reads no messages as hung.
inline constexpr DWORD kQuietWaitMs = 50;
