// The link of a handle to a named object kept by the device server: the object's id on the connection
// that opened it. Closing the last handle drops the process's reference there.
#pragma once

#include <cstdint>
#include <optional>

#include "devserver/Message.h"
#include "devserver/Protocol.h"
#include "kernel/KernelObject.h"

namespace ce::devserver {

class RemoteLink {
public:
    RemoteLink(uint64_t id, uint64_t generation) : id_(id), generation_(generation) {}
    ~RemoteLink();
    RemoteLink(const RemoteLink&) = delete;
    RemoteLink& operator=(const RemoteLink&) = delete;

    // Sends a request about the object (its id first, then the values); the reply's status, or
    // ERROR_INVALID_HANDLE when the server cannot be reached any more.
    DWORD Send(Request kind, std::optional<int64_t> value = std::nullopt,
               std::optional<Message>* reply = nullptr);
    detail::TakeResult TryAcquire(DWORD threadId);

private:
    uint64_t id_;
    uint64_t generation_;
};

}  // namespace ce::devserver
