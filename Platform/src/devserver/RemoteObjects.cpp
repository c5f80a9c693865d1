#include "devserver/RemoteObjects.h"

#include "devserver/DeviceServerConnection.h"
#include "devserver/Protocol.h"
#include "devserver/RemoteEvent.h"
#include "devserver/RemoteMutex.h"

namespace ce::devserver {
namespace {

// Sends a request that opens an object and wraps the id and slot it gives in a handle's object of
// type T.
template <class T>
detail::OpenedObject OpenAt(const Message& request) {
    detail::OpenedObject result;
    DeviceServerConnection& connection = DeviceServerConnection::Instance();
    uint64_t generation = 0;
    std::optional<Message> reply;
    // A server that was just ending for being idle closes a new connection unanswered; the second
    // attempt reaches the server started in its place. Nothing of the first attempt stays open there.
    for (int attempt = 0; attempt < 2 && !reply; ++attempt) {
        generation = connection.Generation();
        reply = generation != 0 ? connection.Call(request, generation) : std::nullopt;
    }
    if (!reply) {
        result.error = ERROR_CANTOPEN;  // no device server to reach
        return result;
    }
    if (DWORD status = static_cast<DWORD>(reply->Int(0)); status != ERROR_SUCCESS) {
        result.error = status;
        return result;
    }
    uint64_t id = static_cast<uint64_t>(reply->Int(1));
    auto slot = static_cast<uint32_t>(reply->Int(3));
    auto area = connection.Area(generation, static_cast<uint64_t>(reply->Int(4)));
    if (!area || slot >= SharedObjectArea::kSlotCount) {
        Message close(Request::CloseObject);
        connection.Call(close.Add(static_cast<int64_t>(id)), generation);
        result.error = ERROR_CANTOPEN;  // the server's area is not there to map
        return result;
    }
    result.object = std::make_shared<T>(id, generation, std::move(area), slot);
    result.error = reply->Int(2) != 0 ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return result;
}

}  // namespace

detail::OpenedObject CreateRemoteMutex(const std::u16string& name, DWORD ownerThread) {
    Message request(Request::CreateMutex);
    request.Add(ToUtf8(name)).Add(static_cast<int64_t>(ownerThread)).Add(ownerThread != 0 ? 1 : 0);
    detail::OpenedObject opened = OpenAt<RemoteMutex>(request);
    if (opened.object && ownerThread != 0 && opened.error != ERROR_ALREADY_EXISTS) {
        detail::RememberOwnedMutex(std::static_pointer_cast<RemoteMutex>(opened.object), ownerThread);
    }
    return opened;
}

detail::OpenedObject CreateRemoteEvent(const std::u16string& name, bool manualReset, bool initialState) {
    Message request(Request::CreateEvent);
    request.Add(ToUtf8(name)).Add(manualReset ? 1 : 0).Add(initialState ? 1 : 0);
    return OpenAt<RemoteEvent>(request);
}

detail::OpenedObject OpenRemoteEvent(const std::u16string& name) {
    Message request(Request::OpenEvent);
    request.Add(ToUtf8(name));
    return OpenAt<RemoteEvent>(request);
}

}  // namespace ce::devserver
