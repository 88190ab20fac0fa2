// The floor itself: nothing besides the dialog.
#include "StartupStep.h"

void RunStartupStep(HWND) {}
