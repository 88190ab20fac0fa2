// The static C++ runtime the program's code stands on (libstdc++, and with it the toolchain's
// POSIX thread library), brought in by one std::wstring as the program's texts are.
#include "StartupStep.h"

#include <string>

void RunStartupStep(HWND dialog) {
    std::wstring title(64, L'\0');
    title.resize(static_cast<std::size_t>(
        ::GetWindowTextW(dialog, title.data(), static_cast<int>(title.size()))));
}
