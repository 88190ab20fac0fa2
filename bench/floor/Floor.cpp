// The floor: the least program that meets the program's platform contract. One
// DialogBoxParamW on a one-button template, the program's manifest, and the program's
// compiler and linker flags with its stack guard entry. Each variant links one start-up
// step of the program's (StartupStep.h), run while the dialog initialises or at OK, so the
// benchmark can tell what each step costs.

#include "StartupStep.h"

#include "framework/StepMarks.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        MarkStep(StepMark::InitDialogBegins);
        RunStartupStep(dialog);
        MarkStep(StepMark::InitDialogDone);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        if (LOWORD(wParam) == IDOK) {
            MarkStep(StepMark::OkBegins);
            RunOkStep(dialog);
            MarkStep(StepMark::WritesDone);
        }
        MarkStep(StepMark::DialogEnding);
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    MarkStep(StepMark::WinMainBegins);
    const INT_PTR result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(kDialogTemplate), nullptr,
                                             FloorProc, 0);
    MarkStep(StepMark::DialogEnded);
    MarkStep(StepMark::ProcessEnds);
    return static_cast<int>(result);
}
