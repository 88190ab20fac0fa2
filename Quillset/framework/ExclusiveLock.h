#pragma once
// Holds a slim reader/writer lock exclusively for a scope. It cannot throw, and the lock needs
// no clean-up, so a lock that a thread left inside a driver still uses is never destroyed.

#include <windows.h>

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) {
        ::AcquireSRWLockExclusive(&lock_);
    }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};
