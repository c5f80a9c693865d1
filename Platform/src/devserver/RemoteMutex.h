// A named mutex of the device, kept by the device server.
#pragma once

#include "devserver/RemoteLink.h"
#include "sync/MutexObject.h"

namespace ce::devserver {

class RemoteMutex : public detail::MutexObject {
public:
    RemoteMutex(uint64_t id, uint64_t generation) : link_(id, generation) {}

    bool NeedsPolling() const override { return true; }
    detail::TakeResult TryAcquire(DWORD threadId) override;
    void Untake(DWORD threadId) override { link_.Send(Request::Untake, threadId); }
    DWORD Release(DWORD threadId) override { return link_.Send(Request::ReleaseMutex, threadId); }
    void Abandon(DWORD threadId) override { link_.Send(Request::AbandonMutex, threadId); }

private:
    RemoteLink link_;
};

}  // namespace ce::devserver
