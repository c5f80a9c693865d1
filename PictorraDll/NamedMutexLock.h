// Holds a named mutex for the span of one operation, across threads and processes, as the framework's
// CSOMutex does; but the mutex of each name is created once and its handle kept for the life of the
// process, so that an operation costs a take and a release, not also a creation and a close.
#pragma once

#include <string>

#include "ce/kernel.h"

class NamedMutexLock {
public:
    // Waits without a time limit. A mutex that cannot be created leaves the operation unlocked, as
    // CSOMutex does; a mutex whose holder died is taken over.
    explicit NamedMutexLock(const std::u16string& name);
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;
    ~NamedMutexLock();

private:
    // The process's handle of the named mutex, created on first use; null when it cannot be made.
    static HANDLE KeptHandle(const std::u16string& name);

    HANDLE m_held = nullptr;
};
