#pragma once
// The program's settings dialog: finds the connected units, shows the driver's "Light Load"
// option with the driver's version and copyright lines, and on OK writes the settings back to
// every unit and tells the user what the driver answered.

#include "driver/DevicePathTable.h"
#include "driver/DriverSettingsRecord.h"
#include "framework/DataExchange.h"
#include "framework/ModalDialog.h"

class CQuillsetDlg : public CModalDialog {
public:
    explicit CQuillsetDlg(HWND parent = nullptr);

    // Filled by start-up between construction and the modal run; only read afterwards.
    DevicePathTable slots;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;

private:
    void StoreControls();
    void LoadControls();
    // What OK's writes, the retry included, leave to tell the user.
    enum class WriteOutcome { NothingToReport, NoUnitAnswered, DeviceStillInUse, PowerCycleNeeded };

    bool ReadFromFirstUnit();
    WriteOutcome WriteToEveryUnit();
    void ApplySettings();
    void ShowNoDeviceDialog();
    void ShowMessage(UINT textId);

    DriverSettingsPart settings;  // the working copy, bytes 0 to 323 of the driver's record
    bool settingsFromUnit = false;  // whether a unit gave settings: only then is it written
    int lightLoadCheck = 0;       // check box 1000: 0 unchecked, 1 checked, 2 indeterminate
    CButtonControl readmeButton;
    HICON icon;
};
