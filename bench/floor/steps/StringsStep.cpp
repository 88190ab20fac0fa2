// The program's string loads (work/TextsWork.cpp).
#include "ProgramWork.h"
#include "StartupStep.h"

void RunStartupStep(HWND dialog) { LoadTexts(dialog); }
