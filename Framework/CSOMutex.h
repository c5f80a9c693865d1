// A named mutex held for the span of one operation, across threads and processes.
#pragma once

#include "ce/kernel.h"

class CSOMutex {
public:
    // With wait set, a mutex that already existed is waited for without a time limit.
    CSOMutex(BOOL initialOwner, LPCWSTR name, BOOL wait);
    CSOMutex(const CSOMutex&) = delete;
    CSOMutex& operator=(const CSOMutex&) = delete;
    virtual ~CSOMutex();

private:
    HANDLE m_mutex = nullptr;
};
