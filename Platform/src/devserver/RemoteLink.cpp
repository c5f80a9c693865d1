#include "devserver/RemoteLink.h"

#include "devserver/DeviceServerConnection.h"

namespace ce::devserver {

RemoteLink::~RemoteLink() {
    Send(Request::CloseObject);
}

DWORD RemoteLink::Send(Request kind, std::optional<int64_t> value, std::optional<Message>* reply) {
    Message request(kind);
    request.Add(static_cast<int64_t>(id_));
    if (value) {
        request.Add(*value);
    }
    auto answer = DeviceServerConnection::Instance().Call(request, generation_);
    if (!answer) {
        return ERROR_INVALID_HANDLE;
    }
    DWORD status = static_cast<DWORD>(answer->Int(0));
    if (reply != nullptr) {
        *reply = std::move(answer);
    }
    return status;
}

detail::TakeResult RemoteLink::TryAcquire(DWORD threadId) {
    std::optional<Message> reply;
    if (Send(Request::TryAcquire, threadId, &reply) != ERROR_SUCCESS) {
        return detail::TakeResult::Failed;
    }
    return reply->Int(1) != 0 ? detail::TakeResult::Taken : detail::TakeResult::Busy;
}

}  // namespace ce::devserver
