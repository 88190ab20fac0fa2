#include "ui/QuillsetNoDevDlg.h"

#include "res/Texts.h"
#include "res/resource.h"
#include "ui/MainTitle.h"
#include "ui/Readme.h"


CQuillsetNoDevDlg::CQuillsetNoDevDlg(HWND parent)
    : CModalDialog(IDD_NODEV_DIALOG, parent),
      icon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

BOOL CQuillsetNoDevDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    const HWND window = GetHandle();

    // No system menu, hence no close button; the window is not redrawn for this.
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (style & WS_SYSMENU) SetWindowLongW(window, GWL_STYLE, style & ~WS_SYSMENU);

    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    SetWindowTextW(window, BuildMainTitle().c_str());

    SetControlText(window, IDC_NODEV_TEXT, IDS_MSG_NODEV);
    if (const HWND readme = GetDlgItem(window, IDC_README)) {
        SetControlText(window, IDC_README, IDS_README);
        EnableWindow(readme, IsReadmeAvailable() ? TRUE : FALSE);
    }
    SetControlText(window, IDOK, IDS_OK);
    return TRUE;
}

bool CQuillsetNoDevDlg::OnCommand(UINT id, UINT code) {
    if (id == IDC_README && code == BN_CLICKED) {
        OnShowReadme();
        return true;
    }
    return CModalDialog::OnCommand(id, code);
}
