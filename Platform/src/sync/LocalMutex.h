// A mutex of this process (unnamed, or named without a device server): recursive per thread.
#pragma once

#include <memory>

#include "sync/MutexObject.h"

namespace ce::detail {

class LocalMutex : public MutexObject {
public:
    // With an owner, the mutex starts owned once by that thread (the calling one).
    static std::shared_ptr<LocalMutex> Make(DWORD ownerThread);

    bool IsSignaled(DWORD threadId) override;
    void Acquire(DWORD threadId) override;
    DWORD Release(DWORD threadId) override;
    void Abandon(DWORD threadId) override;

private:
    LocalMutex() = default;

    DWORD owner_ = 0;  // under the wait lock; 0 when free
    DWORD count_ = 0;
};

}  // namespace ce::detail
