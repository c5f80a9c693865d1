// Where mutexes and events are made. Unnamed ones stay in the process. Named ones are the device's,
// kept by the device server, when a device root is set; without one they are named within the process.
#pragma once

#include <memory>
#include <string>

#include "kernel/KernelObject.h"

namespace ce::detail {

struct OpenedObject {
    std::shared_ptr<KernelObject> object;  // null on failure
    DWORD error = ERROR_SUCCESS;           // ERROR_ALREADY_EXISTS for an existing name, or the failure
};

// ownerThread 0: not owned. An existing mutex is opened, not owned.
OpenedObject CreateMutexObject(const std::u16string* name, DWORD ownerThread);
// An existing event is opened, its reset mode and state unchanged.
OpenedObject CreateEventObject(const std::u16string* name, bool manualReset, bool initialState);
OpenedObject OpenEventObject(const std::u16string& name);

}  // namespace ce::detail
