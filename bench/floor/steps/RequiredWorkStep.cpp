// All the work the program must do, together and in the order its settings dialog does it:
// the dialog's template, and while that initialises the icon, the device traffic, the texts and
// the registry and README look-ups; at OK the write to every unit. What the program takes
// beyond this is its own overhead.
#include "ProgramWork.h"
#include "StartupStep.h"

#include "res/resource.h"

const int kDialogTemplate = IDD_QUILLSET_DIALOG;

void RunStartupStep(HWND dialog) {
    SetProgramIcon(dialog);
    ReadUnitsAtStart();
    LoadTexts(dialog);
    ReadDriverKey();
}

void RunOkStep(HWND) { WriteUnitsAtOk(); }
