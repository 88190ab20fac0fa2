#pragma once
// Owns one handle from CreateFileW (INVALID_HANDLE_VALUE when empty) and closes it once.

#include <windows.h>

#include <utility>

class SimHandle {
public:
    SimHandle() noexcept = default;
    explicit SimHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~SimHandle() { Reset(); }
    SimHandle(SimHandle&& other) noexcept : handle_(other.Release()) {}
    SimHandle& operator=(SimHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    SimHandle(const SimHandle&) = delete;
    SimHandle& operator=(const SimHandle&) = delete;

    HANDLE Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Release() noexcept { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE) noexcept {
        HANDLE old = std::exchange(handle_, handle);
        if (old != INVALID_HANDLE_VALUE) ::CloseHandle(old);
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
