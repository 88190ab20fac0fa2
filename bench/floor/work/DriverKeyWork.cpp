// The program's registry and README look-ups: the driver key's values, shown where the dialog
// has their controls, and the test for the README document (which loads its one string, the
// document's relative path), which enables or disables the README button.
#include "ProgramWork.h"

#include "res/resource.h"
#include "ui/DriverKey.h"
#include "ui/Readme.h"

#include <string>

void ReadDriverKey(HWND dialog) {
    std::wstring value;
    if (ReadDriverKeyValue(L"version", value))
        ::SetDlgItemTextW(dialog, IDC_DRIVER_VERSION, value.c_str());
    if (ReadDriverKeyValue(L"copyright", value))
        ::SetDlgItemTextW(dialog, IDC_COPYRIGHT, value.c_str());
    const bool readme = IsReadmeAvailable();
    if (const HWND button = ::GetDlgItem(dialog, IDC_README)) ::EnableWindow(button, readme);
}
