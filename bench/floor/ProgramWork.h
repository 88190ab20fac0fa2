#pragma once
// The program's own work, one piece a file of work/, for the steps that carry it.

#include <windows.h>

void ReadUnitsAtStart();           // the device traffic at start: units counted, settings read
bool LightLoadRead();              // what the read found for the check box
void WriteUnitsAtOk();             // and at OK: the settings written back to every unit
void ReadDriverKey(HWND dialog);   // the registry and README look-ups, shown
void LoadTexts(HWND dialog);       // the title and the settings dialog's strings
void SetProgramIcon(HWND dialog);  // the icon, big and small
