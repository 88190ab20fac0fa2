#include "ui/DriverInformation.h"

#include "res/Texts.h"
#include "res/resource.h"
#include "ui/DriverKey.h"

#include <string>

void ShowDriverVersion(HWND dialog) {
    std::wstring version;
    std::wstring line;
    if (!ReadDriverKeyValue(L"version", version) || !LoadText(line, IDS_PROP_VER)) {
        SetDlgItemTextW(dialog, IDC_DRIVER_VERSION, L"");
        return;
    }
    // The model name goes in first, so a version text holding the placeholder stays as it is.
    ReplaceAll(line, kModelPlaceholder, kModelName);
    ReplaceAll(line, kVersionPlaceholder, version.c_str());
    SetDlgItemTextW(dialog, IDC_DRIVER_VERSION, line.c_str());
}

void ShowDriverCopyright(HWND dialog) {
    std::wstring copyright;
    if (ReadDriverKeyValue(L"copyright", copyright)) {
        SetDlgItemTextW(dialog, IDC_COPYRIGHT, copyright.c_str());
        return;
    }
    std::wstring notice;
    if (LoadText(notice, IDS_PROP_COPYR)) SetDlgItemTextW(dialog, IDC_COPYRIGHT, notice.c_str());
}
