#include "framework/ModalDialog.h"

#include "framework/Application.h"
#include "framework/DialogPlacement.h"
#include "framework/StepMarks.h"

namespace {

// The program has no main window of its own; the outermost open dialog stands for it when a
// dialog opened inside it is placed.
HWND outermostDialog = nullptr;

HINSTANCE ProgramModule() { return GetModuleHandleW(nullptr); }


}  // namespace

CModalDialog::CModalDialog(UINT templateId, HWND parent) : templateId(templateId), parent(parent) {}

INT_PTR CModalDialog::DoModal() {
    return DialogBoxParamW(ProgramModule(), MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CModalDialog::DoDataExchange(CDataExchange&) {}

BOOL CModalDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CModalDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CModalDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CModalDialog::OnCommand(UINT id, UINT code) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CModalDialog::OnPaint() { return false; }

HICON CModalDialog::OnQueryDragIcon() { return nullptr; }

void CModalDialog::EndDialog(INT_PTR result) {
    MarkStep(StepMark::DialogEnding);
    BeginEnding();
    ::EndDialog(handle, result);
}

CModalDialog::BusyScope::BusyScope(CModalDialog& dialog)
    : dialog(dialog), focus(dialog.handle), disabled(dialog.handle) {
    ++dialog.busyScopes;
}

CModalDialog::BusyScope::~BusyScope() {
    --dialog.busyScopes;
}

CModalDialog::BusyScope::FocusKeeper::FocusKeeper(HWND dialog)
    : dialog(dialog), focused(GetFocus()) {
    if (dialog == nullptr || focused == nullptr || !IsChild(dialog, focused)) focused = nullptr;
}

CModalDialog::BusyScope::FocusKeeper::~FocusKeeper() {
    // The dialog's own way of moving the focus, which also keeps its default button right.
    if (focused != nullptr && IsWindow(focused) && IsWindowEnabled(dialog))
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focused), TRUE);
}

CModalDialog::EndSessionBlock::EndSessionBlock(CModalDialog& dialog, const wchar_t* reason)
    : dialog(dialog),
      reasonShown(dialog.handle != nullptr && ShutdownBlockReasonCreate(dialog.handle, reason)) {
    ++dialog.endSessionBlocks;
}

CModalDialog::EndSessionBlock::~EndSessionBlock() {
    --dialog.endSessionBlocks;
    if (reasonShown) ShutdownBlockReasonDestroy(dialog.handle);
}

bool CModalDialog::TakesCommands() const {
    // The window's enabled state alone is not enough: another program can enable it.
    return !ending && busyScopes == 0 && IsWindowEnabled(handle);
}

void CModalDialog::UpdateData(bool fromControls) {
    CDataExchange dx(handle, fromControls);
    DoDataExchange(dx);
}

INT_PTR CALLBACK CModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CModalDialog*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        return dialog->HandleInitDialog(window);
    }
    auto* dialog = reinterpret_cast<CModalDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!dialog) return FALSE;
    if (message == WM_NCDESTROY) {
        // From here on no message may reach the object, which may be gone once DoModal returns.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (outermostDialog == window) outermostDialog = nullptr;
        dialog->handle = nullptr;
        return FALSE;
    }
    return dialog->HandleMessage(message, wParam);
}

INT_PTR CModalDialog::HandleInitDialog(HWND window) {
    MarkStep(StepMark::InitDialogBegins);
    handle = window;
    ending = false;
    RECT before{};
    GetWindowRect(window, &before);
    const bool outermost = outermostDialog == nullptr;
    if (outermost) outermostDialog = window;
    const BOOL result = OnInitDialog();
    MarkStep(StepMark::OwnInitDone);
    if (IsTemplateLeftToPlace(ProgramModule(), templateId))
        PlaceOpeningDialog(window, before, outermost ? nullptr : outermostDialog);
    MarkStep(StepMark::InitDialogDone);
    return result;
}

INT_PTR CModalDialog::HandleMessage(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_COMMAND:
            // Handled, and so ignored, while busy, disabled or ending.
            if (!TakesCommands()) return TRUE;
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_CLOSE:
            // The platform would turn it into IDCANCEL.
            return TakesCommands() ? FALSE : TRUE;
        case WM_QUERYENDSESSION:
            if (endSessionBlocks == 0) return FALSE;
            SetWindowLongPtrW(handle, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case WM_SETCURSOR:
            if (busyScopes == 0) return FALSE;
            SetCursor(WaitCursor());
            SetWindowLongPtrW(handle, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            // One of the messages whose answer a dialog procedure returns directly.
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        case WM_HELP:
            if (CApplication* app = CApplication::Get()) app->OnHelp();
            return TRUE;
        default:
            return FALSE;
    }
}
