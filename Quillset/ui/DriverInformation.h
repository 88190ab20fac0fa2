#pragma once
// The main dialog's driver information lines, read afresh from the driver key at each call.

#include <windows.h>

// Control 1033: string 33093 with the model name and the driver's version, or the empty text
// when either is missing.
void ShowDriverVersion(HWND dialog);

// Control 1032: the driver's copyright text as stored, else string 33094, else the template's.
void ShowDriverCopyright(HWND dialog);
