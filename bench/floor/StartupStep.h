#pragma once
// One step of the program's start-up, as a variant of the floor program carries it. Each
// variant links exactly one definition of RunStartupStep (one file in steps/).

#include <windows.h>

// The floor's dialog template. Apart from the program's 102 and 136, so a variant can carry
// the program's own resources beside it.
inline constexpr int kFloorDialog = 1;

// Called while the floor's dialog initialises.
void RunStartupStep(HWND dialog);
