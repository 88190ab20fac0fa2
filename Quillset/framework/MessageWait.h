#pragma once
// Waits that keep the calling thread reading its messages. A thread that reads none for 5 s
// has its windows counted as hung by Windows ("Not Responding"), so the user-interface thread
// waits for the driver and pauses only through these.
//
// While waiting, sent and posted messages are dispatched as the thread's message loop would
// (without dialog keyboard handling). A WM_QUIT taken from the queue is posted again before
// the wait returns, for the loop that owns it; until then only sent messages are dispatched.

#include <windows.h>

// True when object is signalled within milliseconds, false when the bound passes first.
bool WaitReadingMessages(HANDLE object, DWORD milliseconds);

// Lets milliseconds pass, reading messages meanwhile.
void PauseReadingMessages(DWORD milliseconds);
