#include "PendingQueue.h"

#include "SimState.h"

/* A queued IRP keeps in its driver context its due time (in performance counter ticks), the
 * unit it came to, the sequence number of its log entry and whether it may be cancelled. */
enum { CTX_DUE, CTX_UNIT, CTX_SEQUENCE, CTX_CANCELLABLE };

#define NEVER_DUE MAXLONGLONG

C_ASSERT(ORVEXSIM_RESULT_CANCELLED == STATUS_CANCELLED);

static void SetContext(PIRP irp, int slot, ULONG_PTR value)
{
    irp->Tail.Overlay.DriverContext[slot] = (PVOID)value;
}

static ULONG_PTR Context(PIRP irp, int slot)
{
    return (ULONG_PTR)irp->Tail.Overlay.DriverContext[slot];
}

static LONGLONG DueTime(PIRP irp)
{
    return (LONGLONG)Context(irp, CTX_DUE);
}

static SIM_UNIT* UnitOf(PIRP irp)
{
    return (SIM_UNIT*)Context(irp, CTX_UNIT);
}

static BOOLEAN IsCancellable(PIRP irp)
{
    return Context(irp, CTX_CANCELLABLE) != 0;
}

/* The worker wakes at least this often, whatever it waits for. */
#define IDLE_WAIT_MS 100
#define STOP_WAIT_MS 5000

static KEVENT s_wake;
static volatile LONG s_stopping;
static HANDLE s_thread;
static LONGLONG s_ticksPerSecond;

static LONGLONG Now(void)
{
    return KeQueryPerformanceCounter(NULL).QuadPart;
}

static LONGLONG MsToTicks(ULONG ms)
{
    return (LONGLONG)ms * s_ticksPerSecond / 1000;
}

static void CompleteCancelled(PIRP irp)
{
    irp->IoStatus.Status = STATUS_CANCELLED;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
}

/* Under the lock: the unit counts the cancellation and its log shows it. Every queued IRP
 * belongs to the current log, since a reset completes the queue before it clears the logs. */
static void CountCancelled(PIRP irp)
{
    SIM_UNIT* unit = UnitOf(irp);
    ULONG sequence = (ULONG)Context(irp, CTX_SEQUENCE);
    ++unit->cancelled;
    if (unit->requests - sequence <= ORVEXSIM_LOG_CAPACITY) {
        ORVEXSIM_REQUEST* entry = &unit->log[sequence % ORVEXSIM_LOG_CAPACITY];
        entry->result = STATUS_CANCELLED;
        entry->answerBytes = 0;
    }
}

/* Runs with the cancel spin lock held; whoever cleared the cancel routine owns the IRP, and
 * here that is the I/O manager, so the IRP is still in the queue and ours to remove. */
static VOID NTAPI CancelQueued(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    IoReleaseCancelSpinLock(irp->CancelIrql);
    SimLockAcquire(&g_sim.lock);
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    CountCancelled(irp);
    SimLockRelease(&g_sim.lock);
    CompleteCancelled(irp);
}

/* Moves every IRP that is due (or all, when everything is) onto done; returns the ticks until
 * the next one is due, or -1 when nothing is left waiting. */
static LONGLONG TakeDue(LIST_ENTRY* done, BOOLEAN everything)
{
    LONGLONG now = Now();
    LONGLONG next = -1;
    LIST_ENTRY* entry;

    SimLockAcquire(&g_sim.lock);
    entry = g_sim.pending.Flink;
    while (entry != &g_sim.pending) {
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        entry = entry->Flink;
        if (!everything && DueTime(irp) > now) {
            LONGLONG wait = DueTime(irp) - now;
            if (DueTime(irp) == NEVER_DUE) continue;
            if (next < 0 || wait < next) next = wait;
            continue;
        }
        /* NULL: the cancel routine has it and will take it out of the queue itself. */
        if (IsCancellable(irp) && IoSetCancelRoutine(irp, NULL) == NULL) continue;
        /* Asked to cancel, refused, and now due: it ends with its answer all the same. */
        if (!IsCancellable(irp) && irp->Cancel && !everything) ++UnitOf(irp)->cancelsRefused;
        RemoveEntryList(&irp->Tail.Overlay.ListEntry);
        InsertTailList(done, &irp->Tail.Overlay.ListEntry);
    }
    SimLockRelease(&g_sim.lock);
    return next;
}

static void CompleteAll(LIST_ENTRY* done, BOOLEAN cancelled)
{
    while (!IsListEmpty(done)) {
        PIRP irp = CONTAINING_RECORD(RemoveHeadList(done), IRP, Tail.Overlay.ListEntry);
        if (cancelled)
            CompleteCancelled(irp);
        else
            IoCompleteRequest(irp, IO_NO_INCREMENT);
    }
}

static VOID NTAPI Worker(PVOID context)
{
    UNREFERENCED_PARAMETER(context);
    while (!s_stopping) {
        LIST_ENTRY done;
        LONGLONG next;
        LARGE_INTEGER timeout;
        LONGLONG waitMs = IDLE_WAIT_MS;

        InitializeListHead(&done);
        next = TakeDue(&done, FALSE);
        CompleteAll(&done, FALSE);
        if (next >= 0) {
            waitMs = next * 1000 / s_ticksPerSecond + 1;
            if (waitMs > IDLE_WAIT_MS) waitMs = IDLE_WAIT_MS;
        }
        timeout.QuadPart = -waitMs * 10000;  /* relative, in 100 ns units */
        KeWaitForSingleObject(&s_wake, Executive, KernelMode, FALSE, &timeout);
    }
    PsTerminateSystemThread(STATUS_SUCCESS);
}

NTSTATUS SimPendingStart(void)
{
    LARGE_INTEGER frequency;
    NTSTATUS status;

    KeQueryPerformanceCounter(&frequency);
    s_ticksPerSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    InitializeListHead(&g_sim.pending);
    KeInitializeEvent(&s_wake, SynchronizationEvent, FALSE);
    s_stopping = 0;
    status = PsCreateSystemThread(&s_thread, THREAD_ALL_ACCESS, NULL, NULL, NULL, Worker, NULL);
    if (!NT_SUCCESS(status)) s_thread = NULL;
    return status;
}

void SimPendingStop(void)
{
    SimLockAcquire(&g_sim.lock);
    InterlockedExchange(&s_stopping, 1);
    SimLockRelease(&g_sim.lock);
    if (s_thread) {
        LARGE_INTEGER timeout;
        KeSetEvent(&s_wake, IO_NO_INCREMENT, FALSE);
        timeout.QuadPart = -(LONGLONG)STOP_WAIT_MS * 10000;
        ZwWaitForSingleObject(s_thread, FALSE, &timeout);
        ZwClose(s_thread);
        s_thread = NULL;
    }
    SimPendingFlush();
}

void SimPendingFlush(void)
{
    LIST_ENTRY left;
    InitializeListHead(&left);
    TakeDue(&left, TRUE);
    CompleteAll(&left, TRUE);
}

NTSTATUS SimPendingQueue(PIRP irp, SIM_UNIT* unit, ULONG sequence, ULONG delayMs,
                         BOOLEAN cancellable)
{
    BOOLEAN cancelNow = FALSE;

    IoMarkIrpPending(irp);
    SetContext(irp, CTX_DUE,
               (ULONG_PTR)(delayMs == ORVEXSIM_DELAY_FOREVER ? NEVER_DUE
                                                              : Now() + MsToTicks(delayMs)));
    SetContext(irp, CTX_UNIT, (ULONG_PTR)unit);
    SetContext(irp, CTX_SEQUENCE, sequence);
    SetContext(irp, CTX_CANCELLABLE, cancellable);

    SimLockAcquire(&g_sim.lock);
    /* Wine stops the driver on another thread than the one dispatching requests: once the
     * worker is gone nobody would complete this one. */
    if (s_stopping) {
        SimLockRelease(&g_sim.lock);
        CompleteCancelled(irp);
        return STATUS_PENDING;
    }
    InsertTailList(&g_sim.pending, &irp->Tail.Overlay.ListEntry);
    if (cancellable) {
        IoSetCancelRoutine(irp, CancelQueued);
        /* Cancelled before the routine was in place: take it back unless the routine already
         * runs, in which case that routine removes and completes it. */
        if (irp->Cancel && IoSetCancelRoutine(irp, NULL) != NULL) {
            RemoveEntryList(&irp->Tail.Overlay.ListEntry);
            CountCancelled(irp);
            cancelNow = TRUE;
        }
    }
    SimLockRelease(&g_sim.lock);

    if (cancelNow)
        CompleteCancelled(irp);
    else
        KeSetEvent(&s_wake, IO_NO_INCREMENT, FALSE);
    return STATUS_PENDING;
}
