// What a mutex handle offers, whether the mutex lives in this process or in the device server.
#pragma once

#include <memory>

#include "kernel/KernelObject.h"

namespace ce::detail {

class MutexObject : public KernelObject, public std::enable_shared_from_this<MutexObject> {
public:
    bool IsWaitable() const override { return true; }
    // Gives up one level of the thread's ownership: 0, ERROR_NOT_OWNER for a thread that does not own
    // it, or ERROR_INVALID_HANDLE when the mutex can no longer be reached.
    virtual DWORD Release(DWORD threadId) = 0;
    // The thread has ended while owning the mutex: its ownership goes, whatever its count, and the next
    // waiter takes the mutex (as WAIT_OBJECT_0). Wait lock held.
    virtual void Abandon(DWORD threadId) = 0;
};

// Notes that the calling thread has taken the mutex, so that it is abandoned when the thread ends.
void RememberOwnedMutex(const std::shared_ptr<MutexObject>& mutex, DWORD threadId);
// Abandons what the calling thread owns; run as the thread ends (and again when its thread-local data
// goes, for threads the layer did not start).
void AbandonMutexesOfThisThread();

}  // namespace ce::detail
