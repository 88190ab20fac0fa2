#include "ControlDispatch.h"

#include "OrvexDevice.h"
#include "PendingQueue.h"
#include "SimSit.h"

typedef struct REQUEST {
    ULONG code;
    void* buffer;
    ULONG inLength;
    ULONG outLength;
} REQUEST;

/* The request's input when it is exactly `size` bytes, else NULL. */
static const void* InputOf(const REQUEST* request, ULONG size)
{
    if (request->buffer == NULL || request->inLength != size) return NULL;
    return request->buffer;
}

/* Room for an answer of `size` bytes, else NULL. */
static void* OutputOf(const REQUEST* request, ULONG size)
{
    if (request->buffer == NULL || request->outLength < size) return NULL;
    return request->buffer;
}

void SimResetAll(void)
{
    ULONG i;
    SimPendingFlush();
    SimSitClearUnblock();
    for (i = 0; i < ORVEXSIM_UNIT_COUNT; ++i) SimSetPresent(&g_sim.units[i], FALSE);
    SimLockAcquire(&g_sim.lock);
    ++g_sim.epoch;
    for (i = 0; i < ORVEXSIM_UNIT_COUNT; ++i) {
        SimApplyDefaults(&g_sim.units[i]);
        SimClearHistory(&g_sim.units[i]);
    }
    SimLockRelease(&g_sim.lock);
}

static NTSTATUS GetVersion(const REQUEST* request, ULONG* answered)
{
    ORVEXSIM_VERSION_INFO* info = OutputOf(request, sizeof *info);
    if (info == NULL) return STATUS_INVALID_BUFFER_SIZE;
    info->protocolVersion = ORVEXSIM_PROTOCOL_VERSION;
    info->unitCount = ORVEXSIM_UNIT_COUNT;
    info->recordSize = ORVEXSIM_RECORD_SIZE;
    info->logCapacity = ORVEXSIM_LOG_CAPACITY;
    *answered = sizeof *info;
    return STATUS_SUCCESS;
}

/* The settings that take one value for one unit. */
static NTSTATUS SetValue(const REQUEST* request)
{
    const ORVEXSIM_UNIT_VALUE* in = InputOf(request, sizeof *in);
    SIM_UNIT* unit;
    NTSTATUS status = STATUS_SUCCESS;

    if (in == NULL) return STATUS_INVALID_BUFFER_SIZE;
    unit = SimUnitByNumber(in->unit);
    if (unit == NULL) return STATUS_INVALID_PARAMETER;

    switch (request->code) {
    case IOCTL_ORVEXSIM_SET_PRESENT:
        if (in->value > 1) return STATUS_INVALID_PARAMETER;
        return SimSetPresent(unit, in->value == 1);
    case IOCTL_ORVEXSIM_SET_FAILING:
        if (in->value & ~(ULONG)ORVEXSIM_FAIL_ALL) return STATUS_INVALID_PARAMETER;
        break;
    case IOCTL_ORVEXSIM_SET_DELAY:
        if (in->value > ORVEXSIM_MAX_DELAY_MS && in->value != ORVEXSIM_DELAY_FOREVER)
            return STATUS_INVALID_PARAMETER;
        break;
    case IOCTL_ORVEXSIM_SET_REFUSE_CANCEL:
        if (in->value > 1) return STATUS_INVALID_PARAMETER;
        break;
    case IOCTL_ORVEXSIM_SET_ANSWER_BYTES:
        if (in->value > ORVEXSIM_RECORD_SIZE) return STATUS_INVALID_PARAMETER;
        break;
    default:
        break;
    }

    SimLockAcquire(&g_sim.lock);
    switch (request->code) {
    case IOCTL_ORVEXSIM_SET_GET_STATUS:
        RtlCopyMemory(unit->record + ORVEXSIM_STATUS_OFFSET, &in->value, sizeof in->value);
        break;
    case IOCTL_ORVEXSIM_SET_FAILING:
        unit->failMask = in->value;
        break;
    case IOCTL_ORVEXSIM_SET_DELAY:
        unit->delayMs = in->value;
        break;
    case IOCTL_ORVEXSIM_SET_ANSWER_BYTES:
        unit->answerBytes = in->value;
        break;
    case IOCTL_ORVEXSIM_SET_REFUSE_CANCEL:
        unit->refusesCancel = in->value;
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    SimLockRelease(&g_sim.lock);
    return status;
}

static NTSTATUS SetRecord(const REQUEST* request)
{
    const ORVEXSIM_UNIT_RECORD* in = InputOf(request, sizeof *in);
    SIM_UNIT* unit;
    if (in == NULL) return STATUS_INVALID_BUFFER_SIZE;
    if ((unit = SimUnitByNumber(in->unit)) == NULL) return STATUS_INVALID_PARAMETER;
    SimLockAcquire(&g_sim.lock);
    RtlCopyMemory(unit->record, in->record, ORVEXSIM_RECORD_SIZE);
    SimLockRelease(&g_sim.lock);
    return STATUS_SUCCESS;
}

static NTSTATUS SetSit(const REQUEST* request)
{
    const ORVEXSIM_UNIT_SIT* in = InputOf(request, sizeof *in);
    SIM_UNIT* unit;
    if (in == NULL) return STATUS_INVALID_BUFFER_SIZE;
    if ((unit = SimUnitByNumber(in->unit)) == NULL) return STATUS_INVALID_PARAMETER;
    if (in->code != ORVEX_IOCTL_GET_SETTINGS && in->code != ORVEX_IOCTL_SET_SETTINGS)
        return STATUS_INVALID_PARAMETER;
    if (in->ms > ORVEXSIM_MAX_DELAY_MS && in->ms != ORVEXSIM_SIT_UNTIL_UNBLOCKED)
        return STATUS_INVALID_PARAMETER;
    SimSitClearUnblock();
    SimLockAcquire(&g_sim.lock);
    if (in->code == ORVEX_IOCTL_GET_SETTINGS)
        unit->sitGetMs = in->ms;
    else
        unit->sitSetMs = in->ms;
    SimLockRelease(&g_sim.lock);
    return STATUS_SUCCESS;
}

static NTSTATUS SetSetStatuses(const REQUEST* request)
{
    const ORVEXSIM_UNIT_STATUSES* in = InputOf(request, sizeof *in);
    SIM_UNIT* unit;
    if (in == NULL) return STATUS_INVALID_BUFFER_SIZE;
    if ((unit = SimUnitByNumber(in->unit)) == NULL || in->count > ORVEXSIM_MAX_SET_STATUSES)
        return STATUS_INVALID_PARAMETER;
    SimLockAcquire(&g_sim.lock);
    RtlCopyMemory(unit->setStatuses, in->statuses, in->count * sizeof in->statuses[0]);
    unit->setStatusCount = in->count;
    unit->setsAnswered = 0;
    SimLockRelease(&g_sim.lock);
    return STATUS_SUCCESS;
}

static NTSTATUS GetUnit(const REQUEST* request, ULONG* answered)
{
    ORVEXSIM_UNIT_VALUE query;
    ORVEXSIM_UNIT_STATE* out;
    SIM_UNIT* unit;

    /* Input and output share the buffer: take the query before writing the answer. */
    if (InputOf(request, sizeof query) == NULL) return STATUS_INVALID_BUFFER_SIZE;
    RtlCopyMemory(&query, request->buffer, sizeof query);
    if ((out = OutputOf(request, sizeof *out)) == NULL) return STATUS_INVALID_BUFFER_SIZE;
    if ((unit = SimUnitByNumber(query.unit)) == NULL) return STATUS_INVALID_PARAMETER;

    SimLockAcquire(&g_sim.lock);
    out->unit = unit->number;
    out->present = unit->present;
    out->opens = unit->opens;
    out->closes = unit->closes;
    out->openNow = unit->openNow;
    out->requests = unit->requests;
    out->failMask = unit->failMask;
    out->delayMs = unit->delayMs;
    out->answerBytes = unit->answerBytes;
    out->refusesCancel = unit->refusesCancel;
    out->cancelled = unit->cancelled;
    out->cancelsRefused = unit->cancelsRefused;
    out->setsAnswered = unit->setsAnswered;
    out->setStatusCount = unit->setStatusCount;
    RtlCopyMemory(out->setStatuses, unit->setStatuses, sizeof out->setStatuses);
    RtlCopyMemory(out->record, unit->record, ORVEXSIM_RECORD_SIZE);
    out->sitGetMs = unit->sitGetMs;
    out->sitSetMs = unit->sitSetMs;
    SimLockRelease(&g_sim.lock);
    *answered = sizeof *out;
    return STATUS_SUCCESS;
}

static NTSTATUS GetRequest(const REQUEST* request, ULONG* answered)
{
    ORVEXSIM_REQUEST_QUERY query;
    ORVEXSIM_REQUEST* out;
    SIM_UNIT* unit;
    NTSTATUS status = STATUS_SUCCESS;

    if (InputOf(request, sizeof query) == NULL) return STATUS_INVALID_BUFFER_SIZE;
    RtlCopyMemory(&query, request->buffer, sizeof query);
    if ((out = OutputOf(request, sizeof *out)) == NULL) return STATUS_INVALID_BUFFER_SIZE;
    if ((unit = SimUnitByNumber(query.unit)) == NULL) return STATUS_INVALID_PARAMETER;

    SimLockAcquire(&g_sim.lock);
    if (query.sequence >= unit->requests)
        status = STATUS_NO_MORE_ENTRIES;                 /* not received yet */
    else if (unit->requests - query.sequence > ORVEXSIM_LOG_CAPACITY)
        status = STATUS_NOT_FOUND;                       /* dropped from the log */
    else
        RtlCopyMemory(out, &unit->log[query.sequence % ORVEXSIM_LOG_CAPACITY], sizeof *out);
    SimLockRelease(&g_sim.lock);
    if (NT_SUCCESS(status)) *answered = sizeof *out;
    return status;
}

NTSTATUS SimControlDeviceControl(PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    REQUEST request;
    NTSTATUS status;
    ULONG answered = 0;

    request.code = stack->Parameters.DeviceIoControl.IoControlCode;
    request.buffer = irp->AssociatedIrp.SystemBuffer;
    request.inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    request.outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;

    switch (request.code) {
    case IOCTL_ORVEXSIM_GET_VERSION:
        status = GetVersion(&request, &answered);
        break;
    case IOCTL_ORVEXSIM_RESET:
        SimResetAll();
        status = STATUS_SUCCESS;
        break;
    case IOCTL_ORVEXSIM_SET_PRESENT:
    case IOCTL_ORVEXSIM_SET_GET_STATUS:
    case IOCTL_ORVEXSIM_SET_FAILING:
    case IOCTL_ORVEXSIM_SET_DELAY:
    case IOCTL_ORVEXSIM_SET_ANSWER_BYTES:
    case IOCTL_ORVEXSIM_SET_REFUSE_CANCEL:
        status = SetValue(&request);
        break;
    case IOCTL_ORVEXSIM_SET_RECORD:
        status = SetRecord(&request);
        break;
    case IOCTL_ORVEXSIM_SET_SET_STATUSES:
        status = SetSetStatuses(&request);
        break;
    case IOCTL_ORVEXSIM_SET_SIT:
        status = SetSit(&request);
        break;
    case IOCTL_ORVEXSIM_GET_UNIT:
        status = GetUnit(&request, &answered);
        break;
    case IOCTL_ORVEXSIM_GET_REQUEST:
        status = GetRequest(&request, &answered);
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }

    irp->IoStatus.Status = status;
    irp->IoStatus.Information = NT_SUCCESS(status) ? answered : 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}
