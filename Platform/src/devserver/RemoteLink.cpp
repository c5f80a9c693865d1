#include "devserver/RemoteLink.h"

#include <unistd.h>

#include "devserver/DeviceServerConnection.h"
#include "devserver/Protocol.h"
#include "sync/Waits.h"

namespace ce::devserver {

RemoteLink::~RemoteLink() {
    Message request(Request::CloseObject);
    request.Add(static_cast<int64_t>(id_));
    DeviceServerConnection::Instance().Call(request, generation_);
}

SharedSlot* RemoteLink::Slot() {
    return DeviceServerConnection::Instance().Alive(generation_) ? &slot_ : nullptr;
}

void RemoteLink::WakeWaitersHere() {
    // Taking the lock once orders the change before any wait that has not looked yet.
    { std::lock_guard guard(detail::WaitLock()); }
    detail::NotifyWaiters();
}

SharedCaller RemoteLink::Caller(DWORD threadId) {
    return {static_cast<int32_t>(getpid()), static_cast<uint32_t>(threadId)};
}

detail::TakeResult RemoteLink::TryAcquire(DWORD threadId) {
    SharedSlot* slot = Slot();
    if (slot == nullptr) {
        return detail::TakeResult::Failed;
    }
    return slot->TryAcquire(Caller(threadId)) == SharedSlot::TakeOutcome::Taken ? detail::TakeResult::Taken
                                                                                 : detail::TakeResult::Busy;
}

}  // namespace ce::devserver
