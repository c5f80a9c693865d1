// WaitForSingleObject, WaitForMultipleObjects and Sleep, all on the layer's clock.
#include <set>
#include <thread>
#include <vector>

#include "ce/device.h"
#include "ce/kernel.h"
#include "kernel/HandleTable.h"
#include "sync/ThreadObject.h"
#include "sync/Waits.h"

namespace {

using ce::detail::KernelObject;

std::shared_ptr<KernelObject> Waitable(HANDLE handle) {
    std::shared_ptr<KernelObject> object = handle == ce::detail::kCurrentThreadHandle
                                               ? ce::detail::ThreadObject::Current()
                                               : ce::detail::LookupHandle(handle);
    return object && object->IsWaitable() ? object : nullptr;
}

DWORD Failed(DWORD error) {
    SetLastError(error);
    return WAIT_FAILED;
}

}  // namespace

extern "C" {

CE_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

CE_API DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
        return Failed(ERROR_INVALID_PARAMETER);
    }
    std::vector<std::shared_ptr<KernelObject>> objects;
    std::set<KernelObject*> distinct;
    for (DWORD i = 0; i < count; ++i) {
        auto object = Waitable(handles[i]);
        if (!object) {
            return Failed(ERROR_INVALID_HANDLE);
        }
        distinct.insert(object.get());
        objects.push_back(std::move(object));
    }
    // Waiting for all of an object twice would take it twice at once.
    if (waitAll && distinct.size() != objects.size()) {
        return Failed(ERROR_INVALID_PARAMETER);
    }
    return ce::detail::WaitForObjects(objects, waitAll != FALSE, milliseconds);
}

// Under the virtual clock, Sleep lasts until that clock has moved on by the time asked.
CE_API void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    auto never = std::make_shared<ce::detail::KernelObject>();
    ce::detail::WaitForObjects({never}, false, milliseconds);
}

}  // extern "C"
