/* The simulated ORVEX driver: four unit device objects, absent until plugged, and one
 * control device through which tests plug them and script their answers. */
#include "ControlDispatch.h"
#include "OrvexDevice.h"
#include "PendingQueue.h"
#include "SimNames.h"
#include "SimSit.h"
#include "SimState.h"
#include "UnitDispatch.h"

DRIVER_INITIALIZE DriverEntry;

static NTSTATUS Refuse(PIRP irp, NTSTATUS status)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI Dispatch(PDEVICE_OBJECT device, PIRP irp)
{
    const SIM_DEVICE_EXTENSION* ext = (const SIM_DEVICE_EXTENSION*)device->DeviceExtension;
    UCHAR major = IoGetCurrentIrpStackLocation(irp)->MajorFunction;

    if (ext->kind == SimUnitDevice) {
        switch (major) {
        case IRP_MJ_CREATE: return SimUnitCreate(ext->unit, irp);
        case IRP_MJ_CLOSE: return SimUnitClose(ext->unit, irp);
        case IRP_MJ_CLEANUP: return Refuse(irp, STATUS_SUCCESS);
        case IRP_MJ_DEVICE_CONTROL: return SimUnitDeviceControl(ext->unit, irp);
        default: return Refuse(irp, STATUS_INVALID_DEVICE_REQUEST);
        }
    }
    switch (major) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLOSE:
    case IRP_MJ_CLEANUP: return Refuse(irp, STATUS_SUCCESS);
    case IRP_MJ_DEVICE_CONTROL: return SimControlDeviceControl(irp);
    default: return Refuse(irp, STATUS_INVALID_DEVICE_REQUEST);
    }
}

static NTSTATUS CreateNamedDevice(PDRIVER_OBJECT driver, const WCHAR* name,
                                  SIM_DEVICE_KIND kind, SIM_UNIT* unit, PDEVICE_OBJECT* device)
{
    UNICODE_STRING deviceName;
    SIM_DEVICE_EXTENSION* ext;
    NTSTATUS status;

    RtlInitUnicodeString(&deviceName, name);
    status = IoCreateDevice(driver, sizeof(SIM_DEVICE_EXTENSION), &deviceName,
                            FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, device);
    if (!NT_SUCCESS(status)) {
        *device = NULL;
        return status;
    }
    ext = (SIM_DEVICE_EXTENSION*)(*device)->DeviceExtension;
    ext->kind = kind;
    ext->unit = unit;
    (*device)->Flags |= DO_BUFFERED_IO;
    (*device)->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static void RemoveEverything(void)
{
    UNICODE_STRING controlLink;
    ULONG i;

    SimPendingStop();
    SimSitStop();
    RtlInitUnicodeString(&controlLink, ORVEXSIM_CONTROL_LINK_NAME);
    if (g_sim.control) {
        IoDeleteSymbolicLink(&controlLink);
        IoDeleteDevice(g_sim.control);
        g_sim.control = NULL;
    }
    for (i = 0; i < ORVEXSIM_UNIT_COUNT; ++i) {
        SIM_UNIT* unit = &g_sim.units[i];
        if (unit->device) {
            SimSetPresent(unit, FALSE);
            IoDeleteDevice(unit->device);
            unit->device = NULL;
        }
        if (unit->log) {
            ExFreePoolWithTag(unit->log, SIM_POOL_TAG);
            unit->log = NULL;
        }
    }
}

static VOID NTAPI Unload(PDRIVER_OBJECT driver)
{
    UNREFERENCED_PARAMETER(driver);
    RemoveEverything();
}

static NTSTATUS CreateUnits(PDRIVER_OBJECT driver)
{
    ULONG i;
    for (i = 0; i < ORVEXSIM_UNIT_COUNT; ++i) {
        SIM_UNIT* unit = &g_sim.units[i];
        SIM_NAME name;
        NTSTATUS status;

        unit->number = i + 1;
        unit->log = (ORVEXSIM_REQUEST*)ExAllocatePoolWithTag(
            NonPagedPool, sizeof(ORVEXSIM_REQUEST) * ORVEXSIM_LOG_CAPACITY, SIM_POOL_TAG);
        if (unit->log == NULL) return STATUS_INSUFFICIENT_RESOURCES;
        if (!SimBuildName(&name, ORVEX_DEVICE_NAME_PREFIX, unit->number))
            return STATUS_INTERNAL_ERROR;
        status = CreateNamedDevice(driver, name.buffer, SimUnitDevice, unit, &unit->device);
        if (!NT_SUCCESS(status)) return status;
    }
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING controlLink;
    UNICODE_STRING controlName;
    NTSTATUS status;
    ULONG i;

    UNREFERENCED_PARAMETER(registryPath);
    RtlZeroMemory(&g_sim, sizeof g_sim);
    InitializeListHead(&g_sim.pending);

    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i) driver->MajorFunction[i] = Dispatch;
    driver->DriverUnload = Unload;

    status = CreateUnits(driver);
    if (NT_SUCCESS(status))
        status = CreateNamedDevice(driver, ORVEXSIM_CONTROL_DEVICE_NAME, SimControlDevice, NULL,
                                   &g_sim.control);
    if (NT_SUCCESS(status)) {
        RtlInitUnicodeString(&controlLink, ORVEXSIM_CONTROL_LINK_NAME);
        RtlInitUnicodeString(&controlName, ORVEXSIM_CONTROL_DEVICE_NAME);
        status = IoCreateSymbolicLink(&controlLink, &controlName);
    }
    if (NT_SUCCESS(status)) status = SimPendingStart();
    if (NT_SUCCESS(status)) status = SimSitStart();
    if (!NT_SUCCESS(status)) {
        RemoveEverything();
        return status;
    }
    for (i = 0; i < ORVEXSIM_UNIT_COUNT; ++i) SimApplyDefaults(&g_sim.units[i]);
    return STATUS_SUCCESS;
}
