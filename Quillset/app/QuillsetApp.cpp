#include "app/QuillsetApp.h"

#include "app/InstanceGuard.h"
#include "driver/DeviceSlots.h"
#include "framework/StepMarks.h"
#include "framework/UniqueHandle.h"
#include "framework/WorkerThread.h"
#include "ui/MainTitle.h"
#include "ui/QuillsetDlg.h"

#include <commctrl.h>

namespace {

// Its existence is what tells a later copy that this one runs. Never destroyed, so neither
// the program nor the runtime's exit closes it: it stays until Windows ends the process,
// unless ReleaseIfExchangesAbandoned closes it first.
UniqueHandle& InstanceMutex() {
    static UniqueHandle* const held = new UniqueHandle;
    return *held;
}

// The second-copy course: bring the running copy's window to the front, show nothing.
void ActivateRunningCopy() {
    const std::wstring title = BuildMainTitle();
    if (!title.empty()) ActivateRunningCopyWindow(title);
}

}  // namespace

CQuillsetApp theApp;

bool CQuillsetApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    MarkStep(StepMark::CommonControlsDone);

    const std::wstring mutexName = BuildInstanceMutexName();
    if (IsAnotherCopyRunning(mutexName) || !CreateInstanceMutex(mutexName, InstanceMutex())) {
        ActivateRunningCopy();
        return false;
    }

    MarkStep(StepMark::MutexDone);
    CQuillsetDlg dialog(nullptr);
    FillDeviceSlots(dialog.slots);
    MarkStep(StepMark::DialogBegins);
    dialog.DoModal();
    MarkStep(StepMark::DialogEnded);
    EndIdleWorker();
    MarkStep(StepMark::WorkerEnded);
    ReleaseIfExchangesAbandoned(InstanceMutex());
    return false;
}
