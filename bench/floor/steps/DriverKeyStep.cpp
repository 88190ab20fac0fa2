// The program's registry and README look-ups (work/DriverKeyWork.cpp).
#include "ProgramWork.h"
#include "StartupStep.h"

void RunStartupStep(HWND dialog) { ReadDriverKey(dialog); }
