#pragma once
// One step of the program's, as a variant of the floor program carries it: what it does while
// its dialog initialises and when OK is pressed. Each variant links one file of steps/ that
// defines RunStartupStep, and RunOkStep unless it has none (steps/NoOkStep.cpp), and
// kDialogTemplate unless it shows the floor's own dialog (steps/FloorDialog.cpp).

#include <windows.h>

// The floor's dialog template. Apart from the program's 102 and 136, so a variant can carry
// the program's own resources beside it.
inline constexpr int kFloorDialog = 1;

// The template the floor shows.
extern const int kDialogTemplate;

// Called while the floor's dialog initialises.
void RunStartupStep(HWND dialog);
// Called when OK is pressed, before the dialog ends.
void RunOkStep(HWND dialog);
