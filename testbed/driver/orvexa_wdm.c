/* Emulated ORVEXA driver: the WDM shell around the protocol engine.
 *
 * Creates \Device\OrvexaDev (device type 0x9C40) with the links \DosDevices\OrvexaDev and
 * \DosDevices\orvexa, opens and closes freely, and hands every buffered device-control
 * request to the engine under a kernel mutex (a KMUTEX rather than a fast mutex: the
 * 64-bit kernels we run on do not all export the fast-mutex calls). Each routine the
 * kernel calls is NTAPI (stdcall on i686, the one convention on x86-64).
 */
#include <ntddk.h>

#include "orvexa_emu.h"

#define ORVEXA_DEVICE_TYPE 0x9C40u

static orvexa_emu g_engine;
static KMUTEX g_engine_lock;
static UNICODE_STRING g_device_name;
static UNICODE_STRING g_link_names[2];

DRIVER_INITIALIZE DriverEntry;
static DRIVER_UNLOAD orvexa_unload;
static DRIVER_DISPATCH orvexa_open_close;
static DRIVER_DISPATCH orvexa_device_control;

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI orvexa_open_close(PDEVICE_OBJECT device, PIRP irp) {
    UNREFERENCED_PARAMETER(device);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI orvexa_device_control(PDEVICE_OBJECT device, PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG in_len = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG out_len = stack->Parameters.DeviceIoControl.OutputBufferLength;
    /* METHOD_BUFFERED: one system buffer carries the input in and the answer out; the
       engine copies the input before it writes. */
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    uint32_t returned = 0;
    int result;
    UNREFERENCED_PARAMETER(device);

    if ((code & 3u) != METHOD_BUFFERED)
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);

    KeWaitForSingleObject(&g_engine_lock, Executive, KernelMode, FALSE, NULL);
    result = orvexa_emu_control(&g_engine, code, buffer, in_len, buffer, out_len, &returned);
    KeReleaseMutex(&g_engine_lock, FALSE);

    switch (result) {
    case ORVEXA_EMU_OK:
        return complete(irp, STATUS_SUCCESS, returned);
    case ORVEXA_EMU_FAIL_NETPATH:
        return complete(irp, STATUS_BAD_NETWORK_PATH, 0);
    case ORVEXA_EMU_BAD_PARAM:
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    case ORVEXA_EMU_BAD_CODE:
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    default:
        return complete(irp, STATUS_UNSUCCESSFUL, 0);
    }
}

static VOID NTAPI orvexa_unload(PDRIVER_OBJECT driver) {
    ULONG i;
    for (i = 0; i < 2; i++)
        IoDeleteSymbolicLink(&g_link_names[i]);
    if (driver->DeviceObject)
        IoDeleteDevice(driver->DeviceObject);
}

/* Timers at load time make each driver instance's generator output its own. */
static void stir_load_time(void) {
    LARGE_INTEGER stamp[2];
    stamp[0] = KeQueryPerformanceCounter(&stamp[1]);
    orvexa_emu_mix(&g_engine, stamp, sizeof stamp);
    KeQuerySystemTime(&stamp[0]);
    orvexa_emu_mix(&g_engine, stamp, sizeof stamp[0]);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path) {
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;
    ULONG i;
    UNREFERENCED_PARAMETER(registry_path);

    orvexa_emu_init(&g_engine);
    stir_load_time();
    KeInitializeMutex(&g_engine_lock, 0);
    RtlInitUnicodeString(&g_device_name, L"\\Device\\OrvexaDev");
    RtlInitUnicodeString(&g_link_names[0], L"\\DosDevices\\OrvexaDev");
    RtlInitUnicodeString(&g_link_names[1], L"\\DosDevices\\orvexa");

    status = IoCreateDevice(driver, 0, &g_device_name, ORVEXA_DEVICE_TYPE, FILE_DEVICE_SECURE_OPEN,
                            FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    device->Flags |= DO_BUFFERED_IO;

    for (i = 0; i < 2; i++) {
        status = IoCreateSymbolicLink(&g_link_names[i], &g_device_name);
        if (!NT_SUCCESS(status)) {
            while (i-- > 0)
                IoDeleteSymbolicLink(&g_link_names[i]);
            IoDeleteDevice(device);
            return status;
        }
    }

    driver->MajorFunction[IRP_MJ_CREATE] = orvexa_open_close;
    driver->MajorFunction[IRP_MJ_CLOSE] = orvexa_open_close;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = orvexa_device_control;
    driver->DriverUnload = orvexa_unload;
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
