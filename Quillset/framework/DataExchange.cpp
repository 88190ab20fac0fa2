#include "framework/DataExchange.h"

void CDataExchange::ExchangeCheck(int controlId, int& value) {
    const HWND control = GetDlgItem(dialog, controlId);
    if (fromControls) {
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
        return;
    }
    if (value < BST_UNCHECKED || value > BST_INDETERMINATE) value = BST_UNCHECKED;
    SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void CDataExchange::BindControl(int controlId, CButtonControl& control) {
    if (!control.IsBound()) control.handle = GetDlgItem(dialog, controlId);
}
