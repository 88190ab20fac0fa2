#include "ui/QuillsetDlg.h"

#include "driver/DriverChannel.h"
#include "framework/Application.h"
#include "framework/MessageWait.h"
#include "framework/ScopedWindowDisable.h"
#include "framework/StepMarks.h"
#include "res/Texts.h"
#include "res/resource.h"
#include "ui/DriverInformation.h"
#include "ui/MainTitle.h"
#include "ui/QuillsetNoDevDlg.h"
#include "ui/Readme.h"

#include <string>

namespace {

struct ControlCaption {
    int control;
    UINT text;
};

// Applied in this order. Only 1041, 1000, 1035, 1 and 2 are in the template; the other rows
// find no control and change nothing.
constexpr ControlCaption kCaptions[] = {
    {IDC_MIDI_IN_GROUP, IDS_GRP_MIDI_IN_TYPE},
    {IDC_LIGHT_LOAD, IDS_BN_MIDI_IN_TYPE},
    {IDC_GRP_BUF_SIZE, IDS_GRP_BUF_SIZE},
    {IDC_ABB_MIN, IDS_ABB_MIN},
    {IDC_ABB_MAX, IDS_ABB_MAX},
    {IDC_GRP_STREAMING, IDS_GRP_STREAMING},
    {IDC_STATIC_REALTIME, IDS_STATIC_REALTIME},
    {IDC_STATIC_STABILITY, IDS_STATIC_STABILITY},
    {IDC_GRP_ASIO, IDS_GRP_ASIO},
    {IDC_ASIO_MON, IDS_BN_ASIO_MON},
    {IDC_ASIO_SMALLER, IDS_BN_ASIO_SMALLER},
    {IDC_STATIC_STEINBERG, IDS_STATIC_STEINBERG},
    {IDC_GRP_AUDIO_PORT, IDS_GRP_AUDIO_PORT},
    {IDC_MULTI_WDM, IDS_BN_MULTI_WDM},
    {IDC_GRP_DIGITAL_OUT, IDS_GRP_DIGITAL_OUT},
    {IDC_AC3, IDS_BN_AC3},
    {IDC_README, IDS_README},
    {IDOK, IDS_OK},
    {IDCANCEL, IDS_CANCEL},
    {IDC_APPLY, IDS_APPLY},
};

constexpr DWORD kRetryDelayMs = 100;

std::wstring MessageCaption() {
    if (const CApplication* app = CApplication::Get()) return app->GetAppTitle();
    return LoadApplicationTitle(GetModuleHandleW(nullptr));
}

}  // namespace

CQuillsetDlg::CQuillsetDlg(HWND parent)
    : CModalDialog(IDD_QUILLSET_DIALOG, parent),
      icon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CQuillsetDlg::DoDataExchange(CDataExchange& dx) {
    dx.ExchangeCheck(IDC_LIGHT_LOAD, lightLoadCheck);
    dx.BindControl(IDC_README, readmeButton);
}

BOOL CQuillsetDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    const HWND window = GetHandle();
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    MarkStep(StepMark::IconSet);

    if (!ReadFromFirstUnit()) {
        // Nothing sent to it from now on is acted on: an OK would write a record no unit gave.
        BeginEnding();
        ShowNoDeviceDialog();
        EndDialog(IDCANCEL);
        return TRUE;
    }

    // The title is what a second copy of the program looks for; until now it is empty.
    SetWindowTextW(window, BuildMainTitle().c_str());
    ShowDriverVersion(window);
    ShowDriverCopyright(window);
    MarkStep(StepMark::DriverInfoShown);
    for (const auto& caption : kCaptions) SetControlText(window, caption.control, caption.text);
    MarkStep(StepMark::TextsSet);
    LoadControls();
    readmeButton.Enable(IsReadmeAvailable());
    return TRUE;
}

void CQuillsetDlg::OnOK() {
    // Nothing sent to it from now on is acted on: not while it writes, nor under the message
    // box or the device-not-connected dialog that may follow, enabled from outside or not.
    MarkStep(StepMark::OkBegins);
    BeginEnding();
    ApplySettings();
    MarkStep(StepMark::WritesDone);
    EndDialog(IDOK);
}

void CQuillsetDlg::OnCancel() { EndDialog(IDCANCEL); }

bool CQuillsetDlg::OnCommand(UINT id, UINT code) {
    if (id == IDC_README && code == BN_CLICKED) {
        OnShowReadme();
        return true;
    }
    return CModalDialog::OnCommand(id, code);
}

bool CQuillsetDlg::OnPaint() {
    const HWND window = GetHandle();
    if (!IsIconic(window)) return false;

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(window, &client);
    const int x = (client.right - client.left - cx + 1) / 2;
    const int y = (client.bottom - client.top - cy + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(window, &paint);
    return true;
}

HICON CQuillsetDlg::OnQueryDragIcon() { return icon; }

void CQuillsetDlg::StoreControls() {
    UpdateData(true);
    settings.lightLoad = lightLoadCheck;
}

void CQuillsetDlg::LoadControls() {
    lightLoadCheck = settings.lightLoad;
    UpdateData(false);
}

bool CQuillsetDlg::ReadFromFirstUnit() {
    // Not shown yet, and nothing posted to it meanwhile is acted on.
    BusyScope busy(*this);
    const bool counted = CountConnectedUnits(slots) > 0;
    MarkStep(StepMark::UnitsCounted);
    settingsFromUnit = counted && ReadDriverSettings(slots, settings);
    MarkStep(StepMark::SettingsRead);
    return settingsFromUnit;
}

CQuillsetDlg::WriteOutcome CQuillsetDlg::WriteToEveryUnit() {
    // The window keeps reading its messages while the driver works, but nothing the user does
    // meanwhile is acted on: no second round of writes, no end under a running write. Nor may
    // a logoff end the program between two units' writes and leave them set apart.
    BusyScope busy(*this);
    const std::wstring title = BuildMainTitle();
    EndSessionBlock noLogoff(*this, title.c_str());
    CombinedStatus status = CombinedStatus::NothingToReport;
    if (!WriteDriverSettings(slots, settings, status)) return WriteOutcome::NoUnitAnswered;
    if (status == CombinedStatus::PowerCycleNeeded) return WriteOutcome::PowerCycleNeeded;
    if (status == CombinedStatus::NothingToReport) return WriteOutcome::NothingToReport;
    // Another application may just be letting go of the device: try once more.
    PauseReadingMessages(kRetryDelayMs);
    if (!WriteDriverSettings(slots, settings, status)) return WriteOutcome::NoUnitAnswered;
    return status == CombinedStatus::DeviceInUse ? WriteOutcome::DeviceStillInUse
                                                 : WriteOutcome::NothingToReport;
}

void CQuillsetDlg::ApplySettings() {
    // Only a record that a unit gave is ever written back.
    if (!settingsFromUnit) return;
    StoreControls();
    // Enabled again, with its own cursor, before anything is shown over it.
    switch (WriteToEveryUnit()) {
    case WriteOutcome::NothingToReport:
        break;
    case WriteOutcome::NoUnitAnswered:
        ShowNoDeviceDialog();
        break;
    case WriteOutcome::DeviceStillInUse:
        ShowMessage(IDS_CONF_WAVE);
        break;
    case WriteOutcome::PowerCycleNeeded:
        ShowMessage(IDS_CONF_MIDI);
        break;
    }
}

void CQuillsetDlg::ShowNoDeviceDialog() {
    // Without an owner the nested dialog keeps its own taskbar button and placement; this
    // dialog is disabled meanwhile instead, as an owner would be. It is ending by then and
    // would act on no command anyway.
    ScopedWindowDisable settingsDisabled(GetHandle());
    CQuillsetNoDevDlg noDevice(nullptr);
    noDevice.DoModal();
}

void CQuillsetDlg::ShowMessage(UINT textId) {
    std::wstring text;
    LoadText(text, textId);
    MessageBoxW(GetHandle(), text.c_str(), MessageCaption().c_str(), MB_OK | MB_ICONEXCLAMATION);
}
