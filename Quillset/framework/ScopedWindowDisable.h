#pragma once
// Keeps a window disabled while a modal dialog without an owner runs over it, as an owner
// would be, and enables it again afterwards unless it was disabled already.

#include <windows.h>

class ScopedWindowDisable {
public:
    explicit ScopedWindowDisable(HWND window) noexcept
        : window_(window), wasDisabled_(window != nullptr && ::EnableWindow(window, FALSE)) {}
    ~ScopedWindowDisable() {
        if (window_ != nullptr && !wasDisabled_) ::EnableWindow(window_, TRUE);
    }
    ScopedWindowDisable(const ScopedWindowDisable&) = delete;
    ScopedWindowDisable& operator=(const ScopedWindowDisable&) = delete;

private:
    HWND window_;
    bool wasDisabled_;
};
