// Test host: a program on the framework's entry that shows the device-not-connected dialog
// once, with no owner, and ends with the dialog's result as its exit code.
#include "framework/Application.h"
#include "ui/QuillsetNoDevDlg.h"

#include <commctrl.h>

namespace {

class CNoDevHostApp : public CApplication {
protected:
    bool InitInstance() override {
        // As the program's start-up: the themed controls that the manifest asks for.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        CQuillsetNoDevDlg dialog;
        const INT_PTR result = dialog.DoModal();
        ExitProcess(static_cast<UINT>(result));
        return false;
    }
};

CNoDevHostApp theApp;

}  // namespace
