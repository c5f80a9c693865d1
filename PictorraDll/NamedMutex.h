// A named mutex whose handle its owner keeps open, taken for the span of one operation at a time
// (NamedMutex::Lock) across threads and processes. The framework's CSOMutex creates and closes the
// mutex around every operation; a package object that reads its files many times keeps one of these
// per file instead, so that an operation costs a take and a release only.
#pragma once

#include <string>

#include "ce/kernel.h"

class NamedMutex {
public:
    // A mutex that cannot be created leaves the operations unlocked, as CSOMutex does.
    explicit NamedMutex(const std::u16string& name);
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex();

    class Lock {
    public:
        // Waits without a time limit; a mutex whose holder died is taken over.
        explicit Lock(NamedMutex& mutex);
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        ~Lock();

    private:
        HANDLE m_held = nullptr;
    };

private:
    HANDLE m_handle = nullptr;
};
