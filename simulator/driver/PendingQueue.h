/* Requests that a unit completes late: queued with a due time, completed by one worker
 * thread when it comes, cancelled cleanly when the caller gives up or the driver unloads. */
#ifndef ORVEXSIM_PENDING_QUEUE_H
#define ORVEXSIM_PENDING_QUEUE_H

#include "SimKernel.h"

NTSTATUS SimPendingStart(void);
/* Stops the worker (bounded wait) and cancels what is still queued. */
void SimPendingStop(void);

/* The IRP's IoStatus already holds its final answer. Marks it pending and returns
 * STATUS_PENDING; the IRP completes delayMs later, or as cancelled. */
NTSTATUS SimPendingQueue(PIRP irp, ULONG delayMs);

#endif
