#pragma once
// Data exchange between a dialog's members and its controls, in one direction per run.

#include <windows.h>

// A dialog's control held by a member object, bound by the first data exchange.
class CButtonControl {
public:
    bool IsBound() const { return handle != nullptr; }
    HWND GetHandle() const { return handle; }
    void Enable(bool enable) const { EnableWindow(handle, enable ? TRUE : FALSE); }

private:
    friend class CDataExchange;
    HWND handle = nullptr;
};

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool fromControls) : dialog(dialog), fromControls(fromControls) {}

    bool IsFromControls() const { return fromControls; }

    // A check box's state: 0 unchecked, 1 checked, 2 indeterminate. Into the controls a value
    // outside 0..2 is first reset to 0.
    void ExchangeCheck(int controlId, int& value);
    // Binds control to the dialog's control on the first exchange; later ones leave it alone.
    void BindControl(int controlId, CButtonControl& control);

private:
    HWND dialog;
    bool fromControls;
};
