#include "UnitDispatch.h"

#include "OrvexDevice.h"
#include "PendingQueue.h"
#include "SimSit.h"

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* Each open is stamped with the epoch it was counted in, so that a close arriving after a
 * reset (Wine may deliver it long after CloseHandle) is not counted against later opens. */
static PVOID EpochStamp(ULONG epoch)
{
    return (PVOID)((ULONG_PTR)epoch + 1);
}

NTSTATUS SimUnitCreate(SIM_UNIT* unit, PIRP irp)
{
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    SimLockAcquire(&g_sim.lock);
    ++unit->opens;
    ++unit->openNow;
    if (file) file->FsContext2 = EpochStamp(g_sim.epoch);
    SimLockRelease(&g_sim.lock);
    return Complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS SimUnitClose(SIM_UNIT* unit, PIRP irp)
{
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    SimLockAcquire(&g_sim.lock);
    if (file == NULL || file->FsContext2 == EpochStamp(g_sim.epoch)) {
        ++unit->closes;
        if (unit->openNow > 0) --unit->openNow;
    }
    SimLockRelease(&g_sim.lock);
    return Complete(irp, STATUS_SUCCESS, 0);
}

static ULONG SimNowMs(void)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER now = KeQueryPerformanceCounter(&frequency);
    return (ULONG)(now.QuadPart * 1000 / (frequency.QuadPart > 0 ? frequency.QuadPart : 1));
}

static ORVEXSIM_REQUEST* NextLogEntry(SIM_UNIT* unit)
{
    ULONG sequence = unit->requests++;
    ORVEXSIM_REQUEST* entry = &unit->log[sequence % ORVEXSIM_LOG_CAPACITY];
    RtlZeroMemory(entry, sizeof *entry);
    entry->unit = unit->number;
    entry->sequence = sequence;
    entry->receivedMs = SimNowMs();
    return entry;
}

/* The status the next SET answers: the sequence in order, then 0. */
static ULONG NextSetStatus(SIM_UNIT* unit)
{
    ULONG n = unit->setsAnswered++;
    return n < unit->setStatusCount ? unit->setStatuses[n] : 0;
}

/* Under the lock. Decides the answer, writes it into the buffer and returns the status the
 * request completes with; *answered is the byte count on success. */
static NTSTATUS Answer(SIM_UNIT* unit, ULONG code, UCHAR* buffer, ULONG inLength,
                       ULONG outLength, ULONG* answered)
{
    *answered = 0;
    if (!unit->present) return STATUS_DEVICE_NOT_CONNECTED;
    if (code != ORVEX_IOCTL_GET_SETTINGS && code != ORVEX_IOCTL_SET_SETTINGS)
        return STATUS_INVALID_DEVICE_REQUEST;
    if (buffer == NULL || inLength != ORVEXSIM_RECORD_SIZE || outLength != ORVEXSIM_RECORD_SIZE)
        return STATUS_INVALID_BUFFER_SIZE;

    if (code == ORVEX_IOCTL_GET_SETTINGS) {
        if (unit->failMask & ORVEXSIM_FAIL_GET) return STATUS_IO_DEVICE_ERROR;
        RtlCopyMemory(buffer, unit->record, ORVEXSIM_RECORD_SIZE);
    } else {
        ULONG status;
        if (unit->failMask & ORVEXSIM_FAIL_SET) return STATUS_IO_DEVICE_ERROR;
        status = NextSetStatus(unit);
        if (status == ORVEXSIM_SET_FAILS) return STATUS_IO_DEVICE_ERROR;
        /* The unit keeps the settings part; its answer is that part with the SET's status. */
        RtlCopyMemory(unit->record, buffer, ORVEXSIM_STATUS_OFFSET);
        RtlCopyMemory(buffer, unit->record, ORVEXSIM_STATUS_OFFSET);
        RtlCopyMemory(buffer + ORVEXSIM_STATUS_OFFSET, &status, sizeof status);
    }
    *answered = unit->answerBytes;
    return STATUS_SUCCESS;
}

NTSTATUS SimUnitDeviceControl(SIM_UNIT* unit, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR* buffer = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
    ORVEXSIM_REQUEST* entry;
    NTSTATUS status;
    ULONG answered;
    ULONG delayMs;
    ULONG sequence;
    ULONG sitMs;
    BOOLEAN cancellable;

    SimLockAcquire(&g_sim.lock);
    entry = NextLogEntry(unit);
    sequence = entry->sequence;
    entry->code = code;
    entry->inputLength = inLength;
    entry->outputLength = outLength;
    /* Only METHOD_BUFFERED requests carry their input in the system buffer. */
    if (buffer != NULL && (code & 3) == METHOD_BUFFERED)
        RtlCopyMemory(entry->input, buffer,
                      inLength < ORVEXSIM_RECORD_SIZE ? inLength : ORVEXSIM_RECORD_SIZE);
    sitMs = code == ORVEX_IOCTL_GET_SETTINGS ? unit->sitGetMs
          : code == ORVEX_IOCTL_SET_SETTINGS ? unit->sitSetMs : 0;
    SimLockRelease(&g_sim.lock);

    /* The answer comes from the unit as it is once the routine has sat. */
    SimSit(sitMs);

    SimLockAcquire(&g_sim.lock);
    entry = &unit->log[sequence % ORVEXSIM_LOG_CAPACITY];
    status = Answer(unit, code, buffer, inLength, outLength, &answered);
    delayMs = unit->delayMs;
    cancellable = !unit->refusesCancel;
    entry->result = status;
    entry->answerBytes = answered;
    entry->pended = delayMs > 0;
    SimLockRelease(&g_sim.lock);

    irp->IoStatus.Status = status;
    irp->IoStatus.Information = answered;
    if (delayMs > 0) return SimPendingQueue(irp, unit, sequence, delayMs, cancellable);
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}
