// A static import of ShellExecuteW, as the program had it for its README button: the call is
// never made (the dialog always exists here), only the import is loaded at start.
#include "StartupStep.h"

#include <shellapi.h>

void RunStartupStep(HWND dialog) {
    if (!dialog) ::ShellExecuteW(nullptr, L"open", L"", L"", L"", SW_SHOW);
}
