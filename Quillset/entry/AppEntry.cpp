// The process entry: everything happens in the application object's start-up.
#include "framework/Application.h"
#include "framework/StepMarks.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    MarkStep(StepMark::WinMainBegins);
    CApplication* app = CApplication::Get();
    const int result = app ? app->Run(instance) : 0;
    MarkStep(StepMark::ProcessEnds);
    return result;
}
