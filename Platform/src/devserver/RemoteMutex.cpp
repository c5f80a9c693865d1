#include "devserver/RemoteMutex.h"

namespace ce::devserver {

detail::TakeResult RemoteMutex::TryAcquire(DWORD threadId) {
    detail::TakeResult result = link_.TryAcquire(threadId);
    if (result == detail::TakeResult::Taken) {
        detail::RememberOwnedMutex(shared_from_this(), threadId);
    }
    return result;
}

}  // namespace ce::devserver
