// A mutex of this process (unnamed, or named without a device server): recursive per thread. A thread
// that ends while owning it gives it up, and the next waiter takes it.
#pragma once

#include <memory>

#include "sync/MutexObject.h"

namespace ce::detail {

class LocalMutex : public MutexObject, public std::enable_shared_from_this<LocalMutex> {
public:
    // With an owner, the mutex starts owned once by that thread (the calling one).
    static std::shared_ptr<LocalMutex> Make(DWORD ownerThread);

    bool IsSignaled(DWORD threadId) override;
    void Acquire(DWORD threadId) override;
    DWORD Release(DWORD threadId) override;
    // Gives up what the calling thread owns, as it ends (also done when its thread-local data goes).
    static void AbandonAllOfThisThread();

private:
    friend struct OwnedMutexes;
    LocalMutex() = default;
    void Abandon(DWORD threadId);  // lock held

    DWORD owner_ = 0;  // under the wait lock; 0 when free
    DWORD count_ = 0;
};

}  // namespace ce::detail
