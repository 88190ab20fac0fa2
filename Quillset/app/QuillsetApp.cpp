#include "app/QuillsetApp.h"

#include "app/DeviceSlots.h"
#include "app/InstanceGuard.h"
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
    if (UniqueHandle(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName.c_str()))) {
        ActivateRunningCopy();
        return false;
    }

    instanceMutex.Reset(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    // Two copies started at the same moment can both get past OpenMutexW; the later one
    // finds the mutex already there and gives way like any second copy.
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        ActivateRunningCopy();
        return false;
    }

    CQuillsetDlg dialog(nullptr);
    FillDeviceSlots(dialog.slots);
    dialog.DoModal();
    return false;
}
