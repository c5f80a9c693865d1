#include "devserver/RemoteMutex.h"

namespace ce::devserver {

detail::TakeResult RemoteMutex::TryAcquire(DWORD threadId) {
    detail::TakeResult result = link_.TryAcquire(threadId);
    if (result == detail::TakeResult::Taken) {
        detail::RememberOwnedMutex(shared_from_this(), threadId);
    }
    return result;
}

DWORD RemoteMutex::Release(DWORD threadId) {
    SharedSlot* slot = link_.Slot();
    if (slot == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (!slot->ReleaseMutex(RemoteLink::Caller(threadId))) {
        return ERROR_NOT_OWNER;
    }
    RemoteLink::WakeWaitersHere();
    return ERROR_SUCCESS;
}

// Wait lock held, so no waking here.
void RemoteMutex::Untake(DWORD threadId) {
    if (SharedSlot* slot = link_.Slot()) {
        slot->ReleaseMutex(RemoteLink::Caller(threadId));
    }
}

void RemoteMutex::Abandon(DWORD threadId) {
    if (SharedSlot* slot = link_.Slot()) {
        slot->AbandonMutex(RemoteLink::Caller(threadId));
    }
}

}  // namespace ce::devserver
