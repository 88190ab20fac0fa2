#include "SimState.h"

#include "OrvexDevice.h"
#include "SimNames.h"

SIM_STATE g_sim;

SIM_UNIT* SimUnitByNumber(ULONG number)
{
    if (number < 1 || number > ORVEXSIM_UNIT_COUNT) return NULL;
    return &g_sim.units[number - 1];
}

/* The record as the driver ships it: entries zero, the words of bytes 280 to 323 at their
 * defaults (lightLoad, at 312, off), and a status that makes a read count. */
static void WriteDefaultRecord(UCHAR* record)
{
    static const ULONG defaultWords[11] = {0, 0, 5, 0, 1, 0, 1, 0, 0, 1, 0};
    const ULONG status = 1;
    RtlZeroMemory(record, ORVEXSIM_RECORD_SIZE);
    RtlCopyMemory(record + 280, defaultWords, sizeof defaultWords);
    RtlCopyMemory(record + ORVEXSIM_STATUS_OFFSET, &status, sizeof status);
}

void SimApplyDefaults(SIM_UNIT* unit)
{
    WriteDefaultRecord(unit->record);
    unit->setStatusCount = 0;
    unit->setsAnswered = 0;
    unit->failMask = 0;
    unit->delayMs = 0;
    unit->answerBytes = ORVEXSIM_RECORD_SIZE;
    unit->refusesCancel = 0;
    unit->sitGetMs = 0;
    unit->sitSetMs = 0;
}

void SimClearHistory(SIM_UNIT* unit)
{
    unit->opens = 0;
    unit->closes = 0;
    unit->openNow = 0;
    unit->requests = 0;
    unit->cancelled = 0;
    unit->cancelsRefused = 0;
}

NTSTATUS SimSetPresent(SIM_UNIT* unit, BOOLEAN present)
{
    SIM_NAME link;
    SIM_NAME target;
    NTSTATUS status;

    if (!SimBuildName(&link, ORVEX_LINK_NAME_PREFIX, unit->number) ||
        !SimBuildName(&target, ORVEX_DEVICE_NAME_PREFIX, unit->number))
        return STATUS_INTERNAL_ERROR;

    if (present) {
        if (unit->present) return STATUS_SUCCESS;
        status = IoCreateSymbolicLink(&link.string, &target.string);
        if (!NT_SUCCESS(status)) return status;
        SimLockAcquire(&g_sim.lock);
        unit->present = 1;
        SimLockRelease(&g_sim.lock);
        return STATUS_SUCCESS;
    }

    if (!unit->present) return STATUS_SUCCESS;
    /* Requests on handles opened before the unplug fail from here on. */
    SimLockAcquire(&g_sim.lock);
    unit->present = 0;
    SimLockRelease(&g_sim.lock);
    status = IoDeleteSymbolicLink(&link.string);
    return NT_SUCCESS(status) || status == STATUS_OBJECT_NAME_NOT_FOUND ? STATUS_SUCCESS : status;
}
