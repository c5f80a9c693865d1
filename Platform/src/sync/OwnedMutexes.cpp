// The mutexes each thread has taken, given up when the thread ends.
#include <vector>

#include "sync/MutexObject.h"
#include "sync/Waits.h"

namespace ce::detail {
namespace {

struct OwnedMutexes {
    DWORD threadId = 0;
    std::vector<std::weak_ptr<MutexObject>> mutexes;

    void AbandonAll() {
        if (mutexes.empty()) {
            return;
        }
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

thread_local OwnedMutexes owned;

}  // namespace

void RememberOwnedMutex(const std::shared_ptr<MutexObject>& mutex, DWORD threadId) {
    owned.threadId = threadId;
    std::erase_if(owned.mutexes,
                  [&mutex](const auto& held) { return held.expired() || held.lock() == mutex; });
    owned.mutexes.push_back(mutex);
}

void AbandonMutexesOfThisThread() {
    owned.AbandonAll();
}

}  // namespace ce::detail
