// The program's InitCommonControlsEx, with its import of comctl32.
#include "StartupStep.h"

#include <commctrl.h>

void RunStartupStep(HWND) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);
}
