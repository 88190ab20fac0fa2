// The program's device traffic (work/DeviceWork.cpp).
#include "ProgramWork.h"
#include "StartupStep.h"

void RunStartupStep(HWND) { ReadUnitsAtStart(); }

void RunOkStep(HWND) { WriteUnitsAtOk(); }
