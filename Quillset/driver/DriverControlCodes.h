#pragma once
// The ORVEX driver's two control codes: FILE_DEVICE_UNKNOWN, FILE_ANY_ACCESS, METHOD_BUFFERED,
// functions 0x87A and 0x87B. Both carry one DriverSettingsRecord in and out.

#include <windows.h>
#include <winioctl.h>

inline constexpr DWORD IOCTL_GET_SETTINGS =
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x87A, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr DWORD IOCTL_SET_SETTINGS =
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x87B, METHOD_BUFFERED, FILE_ANY_ACCESS);

static_assert(IOCTL_GET_SETTINGS == 0x002221E8);
static_assert(IOCTL_SET_SETTINGS == 0x002221EC);
