#include "sync/LocalEvent.h"

#include "sync/Waits.h"

namespace ce::detail {

bool LocalEvent::IsSignaled(DWORD /*threadId*/) {
    return signaled_;
}

void LocalEvent::Acquire(DWORD /*threadId*/) {
    if (!manualReset_) {
        signaled_ = false;
    }
}

bool LocalEvent::Set() {
    std::lock_guard guard(WaitLock());
    signaled_ = true;
    NotifyWaiters();
    return true;
}

bool LocalEvent::Reset() {
    std::lock_guard guard(WaitLock());
    signaled_ = false;
    return true;
}

bool LocalEvent::Pulse() {
    std::lock_guard guard(WaitLock());
    PulseWaiters(this, manualReset_);
    signaled_ = false;
    return true;
}

bool LocalEvent::SetData(DWORD data) {
    std::lock_guard guard(WaitLock());
    data_ = data;
    return true;
}

std::optional<DWORD> LocalEvent::Data() {
    std::lock_guard guard(WaitLock());
    return data_;
}

}  // namespace ce::detail
