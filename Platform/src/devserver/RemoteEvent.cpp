#include "devserver/RemoteEvent.h"

namespace ce::devserver {

std::optional<DWORD> RemoteEvent::Data() {
    std::optional<Message> reply;
    if (link_.Send(Request::GetEventData, std::nullopt, &reply) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return static_cast<DWORD>(reply->Int(1));
}

}  // namespace ce::devserver
