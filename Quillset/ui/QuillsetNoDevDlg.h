#pragma once
// The dialog that asks the user to connect the device and start the program again. It also
// offers the README, which needs no connected unit.

#include "framework/ModalDialog.h"

class CQuillsetNoDevDlg : public CModalDialog {
public:
    explicit CQuillsetNoDevDlg(HWND parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;

private:
    HICON icon;
};
