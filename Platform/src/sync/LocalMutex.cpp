#include "sync/LocalMutex.h"

#include "sync/Waits.h"

namespace ce::detail {

bool LocalMutex::IsSignaled(DWORD threadId) { return count_ == 0 || owner_ == threadId; }

void LocalMutex::Acquire(DWORD threadId) {
    owner_ = threadId;
    ++count_;
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

}  // namespace ce::detail
