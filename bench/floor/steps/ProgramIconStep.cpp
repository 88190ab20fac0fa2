// The program's icon (work/IconWork.cpp).
#include "ProgramWork.h"
#include "StartupStep.h"

void RunStartupStep(HWND dialog) { SetProgramIcon(dialog); }
