#pragma once
// Where a dialog opens when its template leaves the position to the program: a template at
// (0, 0) with none of DS_ABSALIGN, DS_CENTER and DS_CENTERMOUSE.

#include <windows.h>

// True when template templateId of module lies at (0, 0) without a positioning style.
// Reads both the classic and the extended template header.
bool IsTemplateLeftToPlace(HINSTANCE module, UINT templateId);

// Applied right after a dialog's initialisation: a dialog still hidden and unmoved since
// rectBeforeInit, whose owner (if any) is disabled, is centred (see CenterDialog).
void PlaceOpeningDialog(HWND dialog, const RECT& rectBeforeInit, HWND mainWindow);

// Centres dialog over its owner when that is visible and not minimised, else in the work area
// of mainWindow's monitor (the primary monitor without one), then keeps it in the work area.
void CenterDialog(HWND dialog, HWND mainWindow);
