// The link of a handle to a named object of the device: the object's id on the connection that opened
// it, and its slot in that server's shared object area, where the object's state lives. Closing the
// last handle drops the process's reference at the server. Once the connection is gone (its server
// ended or died) the object can no longer be reached: a new server knows nothing of it.
#pragma once

#include <cstdint>
#include <memory>

#include "devserver/SharedObjectArea.h"
#include "kernel/KernelObject.h"

namespace ce::devserver {

class RemoteLink {
public:
    RemoteLink(uint64_t id, uint64_t generation, std::shared_ptr<SharedObjectArea> area, uint32_t slot)
        : id_(id), generation_(generation), area_(std::move(area)), slot_(area_->Slot(slot)) {}
    ~RemoteLink();
    RemoteLink(const RemoteLink&) = delete;
    RemoteLink& operator=(const RemoteLink&) = delete;

    // The object's state, or nullptr when it can no longer be reached.
    SharedSlot* Slot();
    detail::TakeResult TryAcquire(DWORD threadId);
    // Threads of this process waiting for a changed object look again at once (not with the wait lock
    // held); those of other processes find the change on their next look.
    static void WakeWaitersHere();
    // The calling process's thread.
    static SharedCaller Caller(DWORD threadId);

private:
    uint64_t id_;
    uint64_t generation_;
    std::shared_ptr<SharedObjectArea> area_;
    SharedSlot& slot_;
};

}  // namespace ce::devserver
