#include "sync/NamedObjects.h"

#include "ce/device.h"
#include "devserver/RemoteObjects.h"
#include "sync/LocalEvent.h"
#include "sync/LocalMutex.h"
#include "sync/LocalNames.h"

namespace ce::detail {
namespace {

bool DeviceServerKeepsNames() {
    return !DeviceRoot().empty();
}

}  // namespace

OpenedObject CreateMutexObject(const std::u16string* name, DWORD ownerThread) {
    std::function<std::shared_ptr<LocalMutex>()> make = [ownerThread] {
        return LocalMutex::Make(ownerThread);
    };
    if (name == nullptr) {
        return {make(), ERROR_SUCCESS};
    }
    if (DeviceServerKeepsNames()) {
        return devserver::CreateRemoteMutex(*name, ownerThread);
    }
    return LocalNames::Instance().Create<LocalMutex>(*name, make);
}

OpenedObject CreateEventObject(const std::u16string* name, bool manualReset, bool initialState) {
    std::function<std::shared_ptr<LocalEvent>()> make = [manualReset, initialState] {
        return std::make_shared<LocalEvent>(manualReset, initialState);
    };
    if (name == nullptr) {
        return {make(), ERROR_SUCCESS};
    }
    if (DeviceServerKeepsNames()) {
        return devserver::CreateRemoteEvent(*name, manualReset, initialState);
    }
    return LocalNames::Instance().Create<LocalEvent>(*name, make);
}

OpenedObject OpenEventObject(const std::u16string& name) {
    if (DeviceServerKeepsNames()) {
        return devserver::OpenRemoteEvent(name);
    }
    return LocalNames::Instance().Create<LocalEvent>(name, nullptr);
}

}  // namespace ce::detail
