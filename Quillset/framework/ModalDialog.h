#pragma once
// The modal dialog base. A dialog class names its template, overrides the operations it
// changes and calls the base where it wants the usual behaviour:
//   OnInitDialog   base: data exchange into the controls; TRUE lets the platform set focus
//   OnOK           base: data exchange from the controls, then end with IDOK
//   OnCancel       base: end with IDCANCEL
//   OnCommand      base: IDOK and IDCANCEL clicks to OnOK and OnCancel; true when handled
//   OnPaint        base: false, the platform's usual painting
//   OnQueryDragIcon base: null, the platform's default icon
// A dialog that is busy, disabled or ending acts on no command and does not close: a command
// or close request that reaches it then, from a click, a key or another program that posts
// or sends it, does nothing, even when that program has enabled the window first.

#include "framework/BusyCursor.h"
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

    // Ends the modal run with result once the current message is handled; the dialog takes no
    // command meanwhile.
    void EndDialog(INT_PTR result);
    void UpdateData(bool fromControls);
    // The dialog's end has begun: from now on it acts on no command and does not close by
    // request, whatever its window's state, and whatever it shows over itself meanwhile.
    void BeginEnding() { ending = true; }

    // While the dialog waits for work it must not interrupt: busy, disabled, showing the wait
    // cursor once it waits long enough for a user to see it (BusyCursor.h). All three are undone when the scope ends, and the control that had the keyboard
    // focus gets it back.
    class BusyScope {
    public:
        explicit BusyScope(CModalDialog& dialog);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        // Disabling the dialog takes the focus from its controls and enabling it gives nothing
        // back, so the focus is put back once the dialog is enabled again: declared before
        // `disabled`, it is restored after it.
        class FocusKeeper {
        public:
            explicit FocusKeeper(HWND dialog);
            ~FocusKeeper();
            FocusKeeper(const FocusKeeper&) = delete;
            FocusKeeper& operator=(const FocusKeeper&) = delete;

        private:
            HWND dialog;
            HWND focused;
        };

        CModalDialog& dialog;
        FocusKeeper focus;
        ScopedWindowDisable disabled;
        BusyCursor cursor;
    };

    // While the dialog does work that a logoff or shutdown must not cut in two: the session's
    // end is refused (WM_QUERYENDSESSION answered FALSE) and Windows shows reason meanwhile.
    class EndSessionBlock {
    public:
        EndSessionBlock(CModalDialog& dialog, const wchar_t* reason);
        ~EndSessionBlock();
        EndSessionBlock(const EndSessionBlock&) = delete;
        EndSessionBlock& operator=(const EndSessionBlock&) = delete;

    private:
        CModalDialog& dialog;
        bool reasonShown;
    };

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog(HWND window);
    INT_PTR HandleMessage(UINT message, WPARAM wParam);
    bool TakesCommands() const;

    UINT templateId;
    HWND parent;
    HWND handle = nullptr;
    bool ending = false;
    int busyScopes = 0;
    int endSessionBlocks = 0;
};
