// The process entry: everything happens in the application object's start-up.
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    CApplication* app = CApplication::Get();
    return app ? app->Run(instance) : 0;
}
