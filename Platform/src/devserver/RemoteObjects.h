// Named mutexes and events made or opened at the device server.
#pragma once

#include <string>

#include "sync/NamedObjects.h"

namespace ce::devserver {

detail::OpenedObject CreateRemoteMutex(const std::u16string& name, DWORD ownerThread);
detail::OpenedObject CreateRemoteEvent(const std::u16string& name, bool manualReset, bool initialState);
detail::OpenedObject OpenRemoteEvent(const std::u16string& name);

}  // namespace ce::devserver
