// A named event of the device, kept by the device server with its event data.
#pragma once

#include "devserver/RemoteLink.h"
#include "sync/EventObject.h"

namespace ce::devserver {

class RemoteEvent : public detail::EventObject {
public:
    RemoteEvent(uint64_t id, uint64_t generation) : link_(id, generation) {}

    bool NeedsPolling() const override { return true; }
    detail::TakeResult TryAcquire(DWORD threadId) override { return link_.TryAcquire(threadId); }
    void Untake(DWORD threadId) override { link_.Send(Request::Untake, threadId); }
    void WaitEnded(DWORD threadId) override { link_.Send(Request::WaitEnded, threadId); }

    bool Set() override { return link_.Send(Request::SetEvent) == ERROR_SUCCESS; }
    bool Reset() override { return link_.Send(Request::ResetEvent) == ERROR_SUCCESS; }
    bool Pulse() override { return link_.Send(Request::PulseEvent) == ERROR_SUCCESS; }
    bool SetData(DWORD data) override { return link_.Send(Request::SetEventData, data) == ERROR_SUCCESS; }
    std::optional<DWORD> Data() override;

private:
    RemoteLink link_;
};

}  // namespace ce::devserver
