// Events, with the event data that the device keeps alongside each.
#include "ce/kernel.h"
#include "kernel/HandleTable.h"
#include "sync/EventObject.h"
#include "sync/NamedObjects.h"

using ce::detail::EventObject;

namespace {

std::shared_ptr<EventObject> EventOrError(HANDLE handle) {
    auto event = ce::detail::LookupHandleAs<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return event;
}

BOOL Done(bool ok) {
    if (!ok) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return ok ? TRUE : FALSE;
}

// Hands out a handle for what a create or open call gave, with its last error as the platform sets it.
HANDLE HandleFor(const ce::detail::OpenedObject& opened) {
    SetLastError(opened.error);
    return opened.object ? ce::detail::InsertHandle(opened.object) : nullptr;
}

}  // namespace

extern "C" {

CE_API HANDLE CreateEventW(LPSECURITY_ATTRIBUTES /*security*/, BOOL manualReset, BOOL initialState,
                           LPCWSTR name) {
    bool named = name != nullptr && name[0] != 0;  // an empty name makes an unnamed object
    std::u16string text = named ? std::u16string(name) : std::u16string();
    return HandleFor(
        ce::detail::CreateEventObject(named ? &text : nullptr, manualReset != FALSE, initialState != FALSE));
}

CE_API HANDLE OpenEventW(DWORD /*access*/, BOOL /*inherit*/, LPCWSTR name) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto opened = ce::detail::OpenEventObject(name);
    if (opened.error == ERROR_ALREADY_EXISTS) {
        opened.error = ERROR_SUCCESS;  // opening finds what exists; that is no news
    }
    return HandleFor(opened);
}

CE_API BOOL SetEvent(HANDLE handle) {
    auto event = EventOrError(handle);
    return event ? Done(event->Set()) : FALSE;
}

CE_API BOOL ResetEvent(HANDLE handle) {
    auto event = EventOrError(handle);
    return event ? Done(event->Reset()) : FALSE;
}

CE_API BOOL PulseEvent(HANDLE handle) {
    auto event = EventOrError(handle);
    return event ? Done(event->Pulse()) : FALSE;
}

CE_API BOOL SetEventData(HANDLE handle, DWORD data) {
    auto event = EventOrError(handle);
    return event ? Done(event->SetData(data)) : FALSE;
}

// 0 with ERROR_INVALID_HANDLE for a handle that is no event; callers that store 0 clear the last error
// first to tell the two apart.
CE_API DWORD GetEventData(HANDLE handle) {
    auto event = EventOrError(handle);
    if (!event) {
        return 0;
    }
    auto data = event->Data();
    Done(data.has_value());
    return data.value_or(0);
}

}  // extern "C"
