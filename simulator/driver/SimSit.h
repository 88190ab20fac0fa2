/* Dispatch routines that sit: a unit scripted to take its time over a control code waits
 * inside its dispatch routine, as a driver waits there for its device, until the time is
 * up or the unblock event (ORVEXSIM_UNBLOCK_EVENT_KERNEL_NAME) is set from user mode. */
#ifndef ORVEXSIM_SIM_SIT_H
#define ORVEXSIM_SIM_SIT_H

#include "SimKernel.h"

/* Creates the named unblock event, cleared. */
NTSTATUS SimSitStart(void);
void SimSitStop(void);
/* Clears the unblock event: from now on a sitting routine waits again. */
void SimSitClearUnblock(void);
/* Not under the lock. Sits ms milliseconds (ORVEXSIM_SIT_UNTIL_UNBLOCKED: until unblocked,
 * at most ORVEXSIM_MAX_DELAY_MS), or less when unblocked. */
void SimSit(ULONG ms);

#endif
