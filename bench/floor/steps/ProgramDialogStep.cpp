// The program's settings dialog as its template lays it out, with the program's icon set as
// the program sets it, and none of the program's logic.
#include "StartupStep.h"

#include "res/resource.h"

const int kDialogTemplate = IDD_QUILLSET_DIALOG;

void RunStartupStep(HWND dialog) {
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}
