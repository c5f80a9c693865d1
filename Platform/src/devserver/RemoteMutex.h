// A named mutex of the device, in the shared object area.
#pragma once

#include "devserver/RemoteLink.h"
#include "sync/MutexObject.h"

namespace ce::devserver {

class RemoteMutex : public detail::MutexObject {
public:
    RemoteMutex(uint64_t id, uint64_t generation, std::shared_ptr<SharedObjectArea> area, uint32_t slot)
        : link_(id, generation, std::move(area), slot) {}

    bool NeedsPolling() const override { return true; }
    detail::TakeResult TryAcquire(DWORD threadId) override;
    void Untake(DWORD threadId) override;
    DWORD Release(DWORD threadId) override;
    void Abandon(DWORD threadId) override;

private:
    RemoteLink link_;
};

}  // namespace ce::devserver
