// All the work the program must do, together and in the order its settings dialog does it:
// the dialog's template, and while that initialises the icon, the device traffic, the texts and
// the registry and README look-ups; at OK the write to every unit. What the program takes
// beyond this is its own overhead.
#include "ProgramWork.h"
#include "StartupStep.h"

#include "framework/StepMarks.h"
#include "res/resource.h"

const int kDialogTemplate = IDD_QUILLSET_DIALOG;

// Marked as the program marks the same steps (framework/StepMarks.h).
void RunStartupStep(HWND dialog) {
    SetProgramIcon(dialog);
    MarkStep(StepMark::IconSet);
    ReadUnitsAtStart();
    MarkStep(StepMark::SettingsRead);
    ReadDriverKey(dialog);
    MarkStep(StepMark::DriverInfoShown);
    LoadTexts(dialog);
    MarkStep(StepMark::TextsSet);
    ::CheckDlgButton(dialog, IDC_LIGHT_LOAD, LightLoadRead() ? BST_CHECKED : BST_UNCHECKED);
    MarkStep(StepMark::OwnInitDone);
}

void RunOkStep(HWND) { WriteUnitsAtOk(); }
