#include "SimSit.h"

#include "SimState.h"

NTSTATUS SimSitStart(void)
{
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    RtlInitUnicodeString(&name, ORVEXSIM_UNBLOCK_EVENT_KERNEL_NAME);
    InitializeObjectAttributes(&attributes, &name, OBJ_KERNEL_HANDLE | OBJ_OPENIF, NULL, NULL);
    return ZwCreateEvent(&g_sim.unblock, EVENT_ALL_ACCESS, &attributes, NotificationEvent, FALSE);
}

void SimSitStop(void)
{
    if (g_sim.unblock == NULL) return;
    ZwSetEvent(g_sim.unblock, NULL);
    ZwClose(g_sim.unblock);
    g_sim.unblock = NULL;
}

void SimSitClearUnblock(void)
{
    if (g_sim.unblock != NULL) ZwClearEvent(g_sim.unblock);
}

void SimSit(ULONG ms)
{
    LARGE_INTEGER timeout;
    if (ms == 0) return;
    if (ms == ORVEXSIM_SIT_UNTIL_UNBLOCKED || ms > ORVEXSIM_MAX_DELAY_MS) ms = ORVEXSIM_MAX_DELAY_MS;
    timeout.QuadPart = -(LONGLONG)ms * 10000; /* relative, in 100 ns */
    if (g_sim.unblock != NULL)
        ZwWaitForSingleObject(g_sim.unblock, FALSE, &timeout);
    else
        KeDelayExecutionThread(KernelMode, FALSE, &timeout);
}
