// A named event of the device with its event data, in the shared object area.
#pragma once

#include "devserver/RemoteLink.h"
#include "sync/EventObject.h"

namespace ce::devserver {

class RemoteEvent : public detail::EventObject {
public:
    RemoteEvent(uint64_t id, uint64_t generation, std::shared_ptr<SharedObjectArea> area, uint32_t slot)
        : link_(id, generation, std::move(area), slot) {}

    bool NeedsPolling() const override { return true; }
    detail::TakeResult TryAcquire(DWORD threadId) override { return link_.TryAcquire(threadId); }
    void Untake(DWORD threadId) override;
    void WaitEnded(DWORD threadId) override;

    bool Set() override;
    bool Reset() override;
    bool Pulse() override;
    bool SetData(DWORD data) override;
    std::optional<DWORD> Data() override;

private:
    RemoteLink link_;
};

}  // namespace ce::devserver
