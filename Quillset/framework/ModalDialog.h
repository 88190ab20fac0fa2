#pragma once
// The modal dialog base. A dialog class names its template, overrides the operations it
// changes and calls the base where it wants the usual behaviour:
//   OnInitDialog   base: data exchange into the controls; TRUE lets the platform set focus
//   OnOK           base: data exchange from the controls, then end with IDOK
//   OnCancel       base: end with IDCANCEL
//   OnCommand      base: IDOK and IDCANCEL clicks to OnOK and OnCancel; true when handled
//   OnPaint        base: false, the platform's usual painting
//   OnQueryDragIcon base: null, the platform's default icon
// A disabled dialog acts on no command and does not close: no click or key reaches it, and a
// command or close request that another program posts or sends to it does nothing either.

#include "framework/DataExchange.h"
#include "framework/ScopedWindowDisable.h"

#include <windows.h>

class CModalDialog {
public:
    CModalDialog(UINT templateId, HWND parent);
    virtual ~CModalDialog() = default;
    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Runs the dialog until it ends; its result, or -1 when it could not be created.
    INT_PTR DoModal();

    // The open dialog's window; null before and after the modal run.
    HWND GetHandle() const { return handle; }

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual bool OnCommand(UINT id, UINT code);
    virtual bool OnPaint();
    virtual HICON OnQueryDragIcon();

    void EndDialog(INT_PTR result);
    void UpdateData(bool fromControls);

    // While the dialog waits for work it must not interrupt: disabled, showing the wait
    // cursor. Both are undone when the scope ends.
    class BusyScope {
    public:
        explicit BusyScope(CModalDialog& dialog);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CModalDialog& dialog;
        ScopedWindowDisable disabled;
        HCURSOR previousCursor;
    };

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam);

    UINT templateId;
    HWND parent;
    HWND handle = nullptr;
    int busyScopes = 0;
};
