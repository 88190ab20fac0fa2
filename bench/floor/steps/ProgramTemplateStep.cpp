// The program's settings dialog as its template lays it out (seven controls where the floor
// has one), with none of the program's logic.
#include "StartupStep.h"

#include "res/resource.h"

const int kDialogTemplate = IDD_QUILLSET_DIALOG;

void RunStartupStep(HWND) {}
