// The program's icon, loaded and set on the dialog as the program sets it (big and small).
#include "ProgramWork.h"

#include "res/resource.h"

void SetProgramIcon(HWND dialog) {
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}
