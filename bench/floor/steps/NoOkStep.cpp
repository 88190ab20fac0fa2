// Nothing at OK but the end of the dialog.
#include "StartupStep.h"

void RunOkStep(HWND) {}
