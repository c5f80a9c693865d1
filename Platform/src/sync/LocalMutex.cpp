#include "sync/LocalMutex.h"

#include <vector>

#include "sync/Waits.h"

namespace ce::detail {

// The mutexes a thread has taken, given up when it ends.
struct OwnedMutexes {
    DWORD threadId = 0;
    std::vector<std::weak_ptr<LocalMutex>> mutexes;

    void AbandonAll() {
        std::lock_guard guard(WaitLock());
        for (const auto& held : mutexes) {
            if (auto mutex = held.lock()) {
                mutex->Abandon(threadId);
            }
        }
        mutexes.clear();
        NotifyWaiters();
    }
    ~OwnedMutexes() { AbandonAll(); }
};

namespace {

thread_local OwnedMutexes owned;

void Remember(const std::shared_ptr<LocalMutex>& mutex, DWORD threadId) {
    owned.threadId = threadId;
    std::erase_if(owned.mutexes, [](const auto& held) { return held.expired(); });
    owned.mutexes.push_back(mutex);
}

}  // namespace

std::shared_ptr<LocalMutex> LocalMutex::Make(DWORD ownerThread) {
    std::shared_ptr<LocalMutex> mutex(new LocalMutex);
    if (ownerThread != 0) {
        std::lock_guard guard(WaitLock());
        mutex->Acquire(ownerThread);
    }
    return mutex;
}

bool LocalMutex::IsSignaled(DWORD threadId) { return count_ == 0 || owner_ == threadId; }

void LocalMutex::Acquire(DWORD threadId) {
    if (count_++ == 0) {
        owner_ = threadId;
        Remember(shared_from_this(), threadId);
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

void LocalMutex::AbandonAllOfThisThread() { owned.AbandonAll(); }

void LocalMutex::Abandon(DWORD threadId) {
    if (count_ != 0 && owner_ == threadId) {
        owner_ = 0;
        count_ = 0;
    }
}

}  // namespace ce::detail
