// Mutexes: recursive per thread; only the owner releases.
#include "ce/kernel.h"
#include "kernel/HandleTable.h"
#include "sync/MutexObject.h"
#include "sync/NamedObjects.h"

extern "C" {

CE_API HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES /*security*/, BOOL initialOwner, LPCWSTR name) {
    bool named = name != nullptr && name[0] != 0;  // an empty name makes an unnamed object
    std::u16string text = named ? std::u16string(name) : std::u16string();
    DWORD owner = initialOwner ? GetCurrentThreadId() : 0;
    auto opened = ce::detail::CreateMutexObject(named ? &text : nullptr, owner);
    SetLastError(opened.error);
    return opened.object ? ce::detail::InsertHandle(opened.object) : nullptr;
}

CE_API BOOL ReleaseMutex(HANDLE handle) {
    auto mutex = ce::detail::LookupHandleAs<ce::detail::MutexObject>(handle);
    DWORD error = mutex ? mutex->Release(GetCurrentThreadId()) : ERROR_INVALID_HANDLE;
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
