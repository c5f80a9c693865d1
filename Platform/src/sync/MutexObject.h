// What a mutex handle offers, whether the mutex lives in this process or in the device server.
#pragma once

#include "kernel/KernelObject.h"

namespace ce::detail {

class MutexObject : public KernelObject {
public:
    bool IsWaitable() const override { return true; }
    // Gives up one level of the thread's ownership: 0, ERROR_NOT_OWNER for a thread that does not own
    // it, or ERROR_INVALID_HANDLE when the mutex can no longer be reached.
    virtual DWORD Release(DWORD threadId) = 0;
};

}  // namespace ce::detail
