#pragma once
// The clock a wait for background work runs on. The waits themselves (their bounds, their
// quiet phase, their looks at whether the work ended) are BackgroundWork's; the clock only
// tells the time and blocks the caller for a while. The system's clock blocks on the work's
// own end signal; a test may put a clock of its own in its place.

#include <windows.h>

class BackgroundWork;

class WaitClock {
public:
    virtual ~WaitClock() = default;

    // Milliseconds on this clock.
    virtual ULONGLONG Now() = 0;
    // Returns once work has ended or milliseconds have passed on this clock, or earlier: the
    // caller looks again. readMessages: the calling thread keeps dispatching its messages
    // meanwhile; otherwise it reads none.
    virtual void Block(BackgroundWork& work, DWORD milliseconds, bool readMessages) = 0;
};

// GetTickCount64, and waits on the work's own end signal.
WaitClock& SystemClock();
