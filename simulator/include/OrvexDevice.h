/* The ORVEX driver's interface as the settings program expects it, which this driver
 * imitates: four device objects and two control codes carrying one 328-byte record. */
#ifndef ORVEXSIM_ORVEX_DEVICE_H
#define ORVEXSIM_ORVEX_DEVICE_H

/* FILE_DEVICE_UNKNOWN, FILE_ANY_ACCESS, METHOD_BUFFERED, functions 0x87A and 0x87B. */
#define ORVEX_IOCTL_GET_SETTINGS 0x002221E8u
#define ORVEX_IOCTL_SET_SETTINGS 0x002221ECu

/* Unit N (1 to 4) is \Device\Kzdv041000N, reachable as \\.\Kzdv041000N while plugged. */
#define ORVEX_DEVICE_NAME_PREFIX L"\\Device\\Kzdv041000"
#define ORVEX_LINK_NAME_PREFIX L"\\DosDevices\\Kzdv041000"

#endif
