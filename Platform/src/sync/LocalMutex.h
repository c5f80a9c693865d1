// A mutex of this process (unnamed, or named without a device server): recursive per thread.
#pragma once

#include "sync/MutexObject.h"

namespace ce::detail {

class LocalMutex : public MutexObject {
public:
    // With an owner, the mutex starts owned once by that thread.
    explicit LocalMutex(DWORD ownerThread) : owner_(ownerThread), count_(ownerThread != 0 ? 1 : 0) {}

    bool IsSignaled(DWORD threadId) override;
    void Acquire(DWORD threadId) override;
    DWORD Release(DWORD threadId) override;

private:
    DWORD owner_;  // under the wait lock; 0 when free
    DWORD count_;
};

}  // namespace ce::detail
