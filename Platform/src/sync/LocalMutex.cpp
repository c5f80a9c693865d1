#include "sync/LocalMutex.h"

#include "sync/Waits.h"

namespace ce::detail {

std::shared_ptr<LocalMutex> LocalMutex::Make(DWORD ownerThread) {
    std::shared_ptr<LocalMutex> mutex(new LocalMutex);
    if (ownerThread != 0) {
        std::lock_guard guard(WaitLock());
        mutex->Acquire(ownerThread);
    }
    return mutex;
}

bool LocalMutex::IsSignaled(DWORD threadId) {
    return count_ == 0 || owner_ == threadId;
}

void LocalMutex::Acquire(DWORD threadId) {
    if (count_++ == 0) {
        owner_ = threadId;
        RememberOwnedMutex(shared_from_this(), threadId);
    }
}

DWORD LocalMutex::Release(DWORD threadId) {
    std::lock_guard guard(WaitLock());
    if (count_ == 0 || owner_ != threadId) {
        return ERROR_NOT_OWNER;
    }
    if (--count_ == 0) {
        owner_ = 0;
        NotifyWaiters();
    }
    return ERROR_SUCCESS;
}

void LocalMutex::Abandon(DWORD threadId) {
    if (count_ != 0 && owner_ == threadId) {
        owner_ = 0;
        count_ = 0;
    }
}

}  // namespace ce::detail
