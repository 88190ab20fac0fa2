/* Requests that a unit completes late: queued with a due time, completed by one worker
 * thread when it comes, cancelled cleanly when the caller gives up or the driver unloads. */
#ifndef ORVEXSIM_PENDING_QUEUE_H
#define ORVEXSIM_PENDING_QUEUE_H

#include "SimState.h"

NTSTATUS SimPendingStart(void);
/* Stops the worker (bounded wait) and cancels what is still queued. */
void SimPendingStop(void);

/* Completes every queued IRP as cancelled, due or not, without counting it. */
void SimPendingFlush(void);

/* The IRP's IoStatus already holds its final answer, and its log entry is `sequence` of
 * `unit`. Marks it pending and returns STATUS_PENDING; the IRP completes delayMs later
 * (ORVEXSIM_DELAY_FOREVER: never by itself), or as cancelled when it is cancellable. */
NTSTATUS SimPendingQueue(PIRP irp, SIM_UNIT* unit, ULONG sequence, ULONG delayMs,
                         BOOLEAN cancellable);

#endif
