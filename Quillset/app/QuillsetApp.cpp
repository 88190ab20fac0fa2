#include "app/QuillsetApp.h"

#include "app/InstanceGuard.h"
#include "driver/DeviceSlots.h"
#include "framework/UniqueHandle.h"
#include "ui/MainTitle.h"
#include "ui/QuillsetDlg.h"

#include <commctrl.h>

namespace {

// Held until the process ends: its existence is what tells a later copy that this one runs.
UniqueHandle instanceMutex;

// The second-copy course: bring the running copy's window to the front, show nothing.
void ActivateRunningCopy() {
    const std::wstring title = BuildMainTitle();
    if (!title.empty())
        EnumWindows(ActivateMatchingWindow, reinterpret_cast<LPARAM>(title.c_str()));
}

}  // namespace

CQuillsetApp theApp;

bool CQuillsetApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    const std::wstring mutexName = BuildInstanceMutexName();
    if (IsAnotherCopyRunning(mutexName) || !CreateInstanceMutex(mutexName, instanceMutex)) {
        ActivateRunningCopy();
        return false;
    }

    CQuillsetDlg dialog(nullptr);
    FillDeviceSlots(dialog.slots);
    dialog.DoModal();
    ReleaseIfExchangesAbandoned(instanceMutex);
    return false;
}
