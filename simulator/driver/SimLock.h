/* A plain interlocked lock. Kernel mutexes deadlock under contention in Wine's ntoskrnl, and
 * every section this guards is a few copies long, so spinning (with a yield) is enough. */
#ifndef ORVEXSIM_SIM_LOCK_H
#define ORVEXSIM_SIM_LOCK_H

#include "SimKernel.h"

typedef struct SIM_LOCK {
    volatile LONG taken;
} SIM_LOCK;

static __inline void SimLockAcquire(SIM_LOCK* lock)
{
    ULONG spins = 0;
    while (InterlockedCompareExchange(&lock->taken, 1, 0) != 0) {
        if (++spins % 64 == 0)
            ZwYieldExecution();
        else
            YieldProcessor();
    }
}

static __inline void SimLockRelease(SIM_LOCK* lock)
{
    InterlockedExchange(&lock->taken, 0);
}

#endif
